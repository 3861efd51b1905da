#include "platforms/x11/x11_platform.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

extern char** environ;

namespace virelta::x11 {

using Clock = std::chrono::steady_clock;

namespace {
// xscreensaver keeps no frame clock of its own for its programs; X offers
// none without GL either, so frames follow the usual 60 Hz.
constexpr auto kFramePeriod = std::chrono::microseconds(16667);

std::string hex(unsigned long id) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

// Shown when no picture of the screen can be had: squares and colour ramps,
// so that a turning tile is plain to see.
void fill_pattern(Image& image, const Rect& area) {
  for (int y = area.top; y < area.bottom(); ++y)
    for (int x = area.left; x < area.right(); ++x) {
      const std::uint32_t red = static_cast<std::uint32_t>((x - area.left) * 255 / std::max(area.width, 1));
      const std::uint32_t green = static_cast<std::uint32_t>((y - area.top) * 255 / std::max(area.height, 1));
      const std::uint32_t blue = ((x / 48 + y / 48) & 1) ? 0xE0 : 0x30;
      image.at(x, y) = (red << 16) | (green << 8) | blue;
    }
}
}  // namespace

class X11Platform::FormPeer final : public WindowPeer {
 public:
  FormPeer(X11Platform& platform, virelta::Window& form) : p_(platform), form_(form) { p_.form_ = &form; }
  void refresh(const Rect* area) override { p_.repaint(area ? *area : Rect{0, 0, p_.width_, p_.height_}); }
  // The X window keeps its size: it is the screen the saver covers.
  void geometry_changed() override {}
  // A window of someone else's is already shown: it gets the saver's
  // picture at once (its own picture, or the pattern that stands for it).
  void show() override {
    if (p_.own_window_) XMapRaised(p_.display_, p_.window_);
    else refresh(nullptr);
  }
  void hide() override {
    if (p_.own_window_) XUnmapWindow(p_.display_, p_.window_);
  }
  void unloaded() override { hide(); }
  void show_modal() override { unsupported("show_modal"); }
  void caption_changed() override {
    if (p_.own_window_) XStoreName(p_.display_, p_.window_, form_.caption().c_str());
  }
  void make_topmost() override {
    if (p_.own_window_) XRaiseWindow(p_.display_, p_.window_);
  }
  std::uintptr_t handle() const override { return p_.window_; }

 private:
  X11Platform& p_;
  virelta::Window& form_;
};

// A picture surface: shown on the X window when it and its containers are
// visible, kept in memory otherwise.
class X11Platform::SurfacePeer final : public ControlPeer {
 public:
  SurfacePeer(X11Platform& platform, Surface& surface) : p_(platform), surface_(surface) {}
  void refresh(const Rect* area) override {
    for (const Control* c = &surface_; c->container(); c = c->container())
      if (!c->visible()) return;
    const Rect place = surface_.window_bounds();
    if (place.left != 0 || place.top != 0) unsupported("surfaces away from the window's top left corner");
    p_.pixels_->put(p_.window_, p_.gc_, surface_.image(), area ? *area : surface_.image().bounds());
  }

 private:
  X11Platform& p_;
  Surface& surface_;
};

X11Platform::X11Platform(const Options& options) {
  display_ = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
  if (!display_) throw std::runtime_error(std::string("cannot open display ") + XDisplayName(options.display.c_str()));
  XSetErrorHandler(count_x_error);
  const int screen = DefaultScreen(display_);
  const ::Window root = RootWindow(display_, screen);
  Visual* visual = DefaultVisual(display_, screen);
  int depth = DefaultDepth(display_, screen);
  own_window_ = options.target == Target::OwnWindow;
  from_xscreensaver_ = options.target == Target::SaverWindow;

  if (own_window_) {
    create_own_window(screen, options.fullscreen);
  } else {
    window_ = options.target == Target::Root ? root : static_cast<::Window>(options.window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window_, &attributes))
      throw std::runtime_error("there is no window " + hex(window_));
    width_ = attributes.width;
    height_ = attributes.height;
    visual = attributes.visual;
    depth = attributes.depth;
    mapped_ = attributes.map_state == IsViewable;
    // Input stays with xscreensaver (or whoever owns the window).
    XSelectInput(display_, window_, ExposureMask | StructureNotifyMask | VisibilityChangeMask);
  }
  if (visual->c_class != TrueColor && visual->c_class != DirectColor)
    throw std::runtime_error("the window's visual is not a true-colour one");
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  XSetGraphicsExposures(display_, gc_, 0);
  pixels_ = std::make_unique<PixelTransfer>(display_, visual, depth, width_, height_);
}

void X11Platform::create_own_window(int screen, bool fullscreen) {
  const ::Window root = RootWindow(display_, screen);
  const int screen_width = DisplayWidth(display_, screen), screen_height = DisplayHeight(display_, screen);
  width_ = fullscreen ? screen_width : screen_width * 3 / 4;
  height_ = fullscreen ? screen_height : screen_height * 3 / 4;
  screen_x_ = (screen_width - width_) / 2;
  screen_y_ = (screen_height - height_) / 2;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display_, screen);
  // Key presses and clicks end the saver; moving the mouse does not.
  attributes.event_mask = KeyPressMask | ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask |
                          VisibilityChangeMask;
  window_ = XCreateWindow(display_, root, screen_x_, screen_y_, static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_), 0, CopyFromParent, InputOutput, nullptr,
                          CWBackPixel | CWEventMask, &attributes);
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  XSetWMNormalHints(display_, window_, &hints);
  XClassHint class_hint{const_cast<char*>("virelta"), const_cast<char*>("Virelta")};
  XSetClassHint(display_, window_, &class_hint);
  delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", 0);
  XSetWMProtocols(display_, window_, &delete_window_, 1);
  if (fullscreen) {
    Atom full = XInternAtom(display_, "_NET_WM_STATE_FULLSCREEN", 0);
    XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_STATE", 0), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&full), 1);
  }
  mapped_ = false;
}

X11Platform::~X11Platform() {
  pixels_.reset();
  if (gc_) XFreeGC(display_, gc_);
  if (own_window_) XDestroyWindow(display_, window_);
  XCloseDisplay(display_);
}

void X11Platform::unsupported(const char* member) {
  std::fprintf(stderr, "virelta: the X11 platform does not provide %s\n", member);
  std::abort();
}

ScreenInfo X11Platform::screen() const {
  ScreenInfo info;
  info.width = width_;
  info.height = height_;
  return info;
}

std::unique_ptr<ControlPeer> X11Platform::make_peer(Control& control) {
  switch (control.kind()) {
    case Control::Kind::Window:
      return std::make_unique<FormPeer>(*this, static_cast<virelta::Window&>(control));
    case Control::Kind::Surface:
      return std::make_unique<SurfacePeer>(*this, static_cast<Surface&>(control));
    default:
      unsupported("labels, images, shapes, lines or spin buttons");
  }
}

void X11Platform::repaint(const Rect& area) {
  if (!form_) return;
  for (Control* child : form_->children())
    if (child->kind() == Control::Kind::Surface && child->visible()) child->peer()->refresh(&area);
}

void X11Platform::message_box(const std::string& title, const std::string& text, MessageIcon) {
  std::fprintf(stderr, "virelta: %s: %s\n", title.c_str(), text.c_str());
}

void X11Platform::end_program(int exit_code) {
  // Everything drawn reaches the screen before the connection closes.
  XSync(display_, 0);
  std::fflush(stdout);
  std::exit(exit_code);
}

bool X11Platform::run_image_helper() {
  XSync(display_, 0);
  const std::string window = hex(window_);
  for (const char* program : {"xscreensaver-getimage", "/usr/libexec/xscreensaver/xscreensaver-getimage"}) {
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(window.c_str()), nullptr};
    pid_t child;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) continue;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return false;
}

bool X11Platform::read_picture(Image& target, const Rect& area, int to_x, int to_y) {
  // Under xscreensaver the picture (the desktop it kept, or one the user
  // chose) is drawn onto its window by its image helper; run by hand, the
  // program's own window has not been shown yet and the screen is read.
  if (from_xscreensaver_ && !run_image_helper()) return false;
  const ::Window source = own_window_ ? RootWindow(display_, DefaultScreen(display_)) : window_;
  const Rect from{area.left + screen_x_, area.top + screen_y_, area.width, area.height};
  if (!pixels_->get(source, from, target, to_x, to_y)) return false;
  // One colour all over (an empty window) is no picture: nothing would be
  // seen to turn.
  const Rect got = intersect({to_x, to_y, area.width, area.height}, target.bounds());
  const std::uint32_t first = got.empty() ? 0 : target.at(got.left, got.top);
  for (int y = got.top; y < got.bottom(); ++y)
    for (int x = got.left; x < got.right(); ++x)
      if (target.at(x, y) != first) return true;
  return false;
}

bool X11Platform::capture_screen(Image& target, const Rect& area, int to_x, int to_y) {
  if (read_picture(target, area, to_x, to_y)) return true;
  std::fprintf(stderr, "virelta: no picture of the screen could be had; turning a generated pattern\n");
  fill_pattern(target, intersect({to_x, to_y, area.width, area.height}, target.bounds()));
  return false;
}

void X11Platform::handle(const XEvent& event) {
  if (event.xany.window != window_) return;
  switch (event.type) {
    case Expose:
      repaint({event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height});
      break;
    case MapNotify:
      mapped_ = true;
      break;
    case UnmapNotify:
      mapped_ = false;
      break;
    case VisibilityNotify:
      obscured_ = event.xvisibility.state == VisibilityFullyObscured;
      break;
    case DestroyNotify:
      end_program(0);
    case ClientMessage:
      if (static_cast<Atom>(event.xclient.data.l[0]) == delete_window_ && form_) {
        form_->unload();
        end_program(0);
      }
      break;
    case KeyPress:
      if (form_ && form_->on_key_down) {
        // The run-time's shift state: 1 Shift, 2 Ctrl, 4 Alt.
        const unsigned state = event.xkey.state;
        const int shift = ((state & ShiftMask) ? 1 : 0) | ((state & ControlMask) ? 2 : 0) | ((state & Mod1Mask) ? 4 : 0);
        XKeyEvent key = event.xkey;
        form_->on_key_down(static_cast<int>(XLookupKeysym(&key, 0) & 0xFFFF), shift);
      }
      break;
    case ButtonPress:
    case ButtonRelease: {
      const unsigned b = event.xbutton.button;
      const int button = b == 1 ? kLeftButton : b == 3 ? kRightButton : b == 2 ? kMiddleButton : 0;
      if (!button || !form_) break;
      // The topmost visible surface under the pointer takes it.
      Control* under = form_;
      for (Control* child : form_->children())
        if (child->visible() && child->bounds().contains(event.xbutton.x, event.xbutton.y)) under = child;
      const Rect place = under == form_ ? Rect{} : under->window_bounds();
      const MouseEvent mouse{button, 0, static_cast<float>(event.xbutton.x - place.left),
                             static_cast<float>(event.xbutton.y - place.top)};
      auto& handler = event.type == ButtonPress ? under->on_mouse_down : under->on_mouse_up;
      if (handler) handler(mouse);
      break;
    }
    default:
      break;
  }
}

void X11Platform::do_events() {
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    handle(event);
  }
}

void X11Platform::wait_for_input(const Clock::time_point* deadline) {
  XFlush(display_);
  if (XPending(display_)) return;
  timespec timeout{};
  if (deadline) {
    const auto left = std::max(*deadline - Clock::now(), Clock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timeout = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
  }
  pollfd connection{ConnectionNumber(display_), POLLIN, 0};
  ppoll(&connection, 1, deadline ? &timeout : nullptr, nullptr);
}

void X11Platform::wait_for_frame() {
  const auto now = Clock::now();
  next_frame_ += kFramePeriod;
  // Behind by a frame or more (a slow step, a stop): the rhythm starts anew.
  if (next_frame_ < now) next_frame_ = now;
  for (;;) {
    do_events();
    if (Clock::now() >= next_frame_) break;
    wait_for_input(&next_frame_);
  }
  // The last frame's pixels have been read before this frame's overwrite them.
  pixels_->settle();
}

void X11Platform::wait_while_display_off() {
  while (!display_is_on()) {
    wait_for_input(nullptr);
    do_events();
  }
}

void X11Platform::run(virelta::Window& form) {
  std::map<Timer*, Clock::time_point> last_fired;
  for (;;) {
    do_events();
    if (!form.loaded()) end_program(0);
    auto now = Clock::now();
    auto soonest = now + std::chrono::seconds(1);
    for (Timer* timer : form.timers()) {
      if (!timer->enabled() || timer->interval() <= 0) continue;
      auto due = last_fired.try_emplace(timer, now).first->second + std::chrono::milliseconds(timer->interval());
      if (due <= now) {
        last_fired[timer] = now;
        timer->fire();
        now = Clock::now();
        due = now + std::chrono::milliseconds(timer->interval());
      }
      soonest = std::min(soonest, due);
    }
    wait_for_input(&soonest);
  }
}

}  // namespace virelta::x11
