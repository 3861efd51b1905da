#include "platforms/memory/memory_form_layer.h"

#include <algorithm>
#include <stdexcept>

#include "forms/bmp_file.h"
#include "settings/profile_file_io.h"

namespace virelta {

class MemoryPeer : public ControlPeer {
 public:
  MemoryPeer(MemoryPlatform& platform, Control& control) : platform_(platform), control_(control) {}
  // A control that goes away takes the focus with it (never left dangling).
  ~MemoryPeer() override {
    if (platform_.focused == &control_) platform_.focused = nullptr;
  }
  void refresh(const Rect* area) override {
    if (control_.kind() == Control::Kind::Surface || control_.kind() == Control::Kind::Window)
      platform_.note_refresh(static_cast<Surface&>(control_), area);
  }
  void set_focus() override { platform_.focus(control_); }
  int bits_per_pixel() const override { return platform_.screen_info.bits_per_pixel; }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(&control_); }

 protected:
  MemoryPlatform& platform_;
  Control& control_;
};

class MemoryWindowPeer : public WindowPeer {
 public:
  MemoryWindowPeer(MemoryPlatform& platform, Window& window) : platform_(platform), window_(window) {}
  ~MemoryWindowPeer() override { forget(); }
  void refresh(const Rect* area) override { platform_.note_refresh(window_, area); }
  int bits_per_pixel() const override { return platform_.screen_info.bits_per_pixel; }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(&window_); }
  void set_focus() override { platform_.focus(window_); }
  void geometry_changed() override { window_.outer_bounds = window_.bounds(); }
  void show() override {
    auto& shown = platform_.shown_windows;
    if (std::find(shown.begin(), shown.end(), &window_) == shown.end()) shown.push_back(&window_);
    if (!resized_) {
      resized_ = true;
      if (window_.on_resize) window_.on_resize();
    }
  }
  void show_modal() override {
    show();
    if (platform_.modal_driver) {
      platform_.modal_driver(window_);
      return;
    }
    while (window_.loaded() && platform_.pending() > 0) platform_.do_events();
  }
  void hide() override { forget(); }
  void unloaded() override { forget(); }

 private:
  void forget() {
    auto& shown = platform_.shown_windows;
    shown.erase(std::remove(shown.begin(), shown.end(), &window_), shown.end());
    if (platform_.focused == &window_ || (platform_.focused && platform_.focused->form() == &window_))
      platform_.focused = nullptr;
  }
  MemoryPlatform& platform_;
  Window& window_;
  bool resized_ = false;
};

MemoryPlatform::MemoryPlatform() { desktop = Image(screen_info.width, screen_info.height, 0); }

void MemoryPlatform::do_events() {
  // Only what is pending now; events posted meanwhile wait for the next pump.
  std::size_t n = queue_.size();
  for (std::size_t i = 0; i < n && !queue_.empty(); ++i) {
    auto event = std::move(queue_.front());
    queue_.pop_front();
    event();
  }
}

void MemoryPlatform::message_box(const std::string& title, const std::string& text, MessageIcon icon) {
  messages.push_back({title, text, icon});
  if (on_message) on_message(messages.back());
}

void MemoryPlatform::end_program(int code) {
  exit_code = code;
  throw ProgramEnded{code};
}

std::unique_ptr<ControlPeer> MemoryPlatform::make_peer(Control& control) {
  if (control.kind() == Control::Kind::Window)
    return std::make_unique<MemoryWindowPeer>(*this, static_cast<Window&>(control));
  return std::make_unique<MemoryPeer>(*this, control);
}

bool MemoryPlatform::capture_screen(Image& target, const Rect& area, int target_x, int target_y) {
  target.copy_from(desktop, area.left - screen_info.left, area.top - screen_info.top, area.width, area.height,
                   target_x, target_y);
  return true;
}

namespace {
const Control* deepest_surface_at(const Surface& surface, int x, int y) {
  // Later children lie on top.
  const auto& children = surface.children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const Control* child = *it;
    if (!child->visible() || !child->bounds().contains(x, y)) continue;
    if (child->kind() == Control::Kind::Surface || child->kind() == Control::Kind::Spin) {
      if (child->kind() == Control::Kind::Spin) return child;
      return deepest_surface_at(static_cast<const Surface&>(*child), x - child->left(), y - child->top());
    }
  }
  return &surface;
}
}  // namespace

const Control* MemoryPlatform::control_under_cursor() const {
  if (!cursor) return nullptr;
  for (auto it = shown_windows.rbegin(); it != shown_windows.rend(); ++it) {
    const Window* w = *it;
    Rect on_screen{w->left(), w->top(), w->width(), w->height()};
    if (on_screen.contains(cursor->x, cursor->y))
      return deepest_surface_at(*w, cursor->x - w->left(), cursor->y - w->top());
  }
  return nullptr;
}

bool MemoryPlatform::load_picture(const std::string& path, Image& picture) { return read_bmp(path, picture); }

bool MemoryPlatform::save_picture(const Image& picture, const std::string& path) {
  std::vector<std::uint8_t> bytes = encode_bmp(picture);
  return replace_file_bytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> MemoryPlatform::file_dialog(const FileDialogRequest& request) {
  file_dialog_requests.push_back(request);
  if (file_dialog_answers.empty()) return std::nullopt;
  auto answer = file_dialog_answers.front();
  file_dialog_answers.pop_front();
  return answer;
}

std::optional<std::uint32_t> MemoryPlatform::choose_colour(std::uint32_t (&custom_colours)[16], std::uintptr_t) {
  if (colour_dialog_edits) colour_dialog_edits(custom_colours);
  if (colour_answers.empty()) return std::nullopt;
  auto answer = colour_answers.front();
  colour_answers.pop_front();
  return answer;
}

bool MemoryPlatform::find_window(const std::string& caption) {
  calls.push_back("FindWindow " + caption);
  for (const auto& c : foreign_captions)
    if (c == caption) return true;
  for (const Window* w : shown_windows)
    if (w->caption() == caption) return true;
  return false;
}

int MemoryPlatform::show_cursor(bool show) {
  cursor_count += show ? 1 : -1;
  calls.push_back(std::string("ShowCursor ") + (show ? "1" : "0"));
  return cursor_count;
}

Long MemoryPlatform::system_parameters_info(unsigned action, Long parameter) {
  calls.push_back("SystemParametersInfo " + std::to_string(action) + " " + std::to_string(parameter));
  return 1;
}

std::optional<Rect> MemoryPlatform::window_rect(std::uintptr_t window) {
  for (const auto& [handle, rect] : foreign_windows)
    if (handle == window) return rect;
  for (const Window* w : shown_windows)
    if (w->handle() == window) return w->outer_bounds;
  return std::nullopt;
}

bool MemoryPlatform::is_window(std::uintptr_t window) { return window_rect(window).has_value(); }

void MemoryPlatform::draw_animated_rects(std::uintptr_t, int kind, const Rect& from, const Rect& to) {
  calls.push_back("DrawAnimatedRects " + std::to_string(kind) + " " + std::to_string(from.left) + "," +
                  std::to_string(from.top) + "," + std::to_string(from.width) + "," + std::to_string(from.height) +
                  " " + std::to_string(to.left) + "," + std::to_string(to.top) + "," + std::to_string(to.width) +
                  "," + std::to_string(to.height));
}

std::optional<bool> MemoryPlatform::verify_screen_save_password(std::uintptr_t) {
  calls.push_back("VerifyScreenSavePwd");
  if (password_answers.empty()) return std::nullopt;
  bool answer = password_answers.front();
  password_answers.pop_front();
  return answer;
}

Long MemoryPlatform::shell_open(std::uintptr_t, const std::string& target) {
  calls.push_back("ShellExecute open " + target);
  return 33;
}

void MemoryPlatform::embed_in(Window& window, std::uintptr_t host) {
  calls.push_back("SetParent " + std::to_string(host));
  embedded_host = host;
  if (auto r = window_rect(host)) window.move(0, 0, r->width, r->height);
}

void MemoryPlatform::wait_for_frame() {
  ++frame_waits;
  now_ms_ += kFrameMs;
}

void MemoryPlatform::wait_while_display_off() {
  while (!display_on) {
    if (queue_.empty()) throw std::logic_error("the display stays off and nothing is left to switch it on");
    ++display_off_pumps;
    do_events();
  }
}

void MemoryPlatform::watch_window(std::uintptr_t window, std::function<void()> gone) {
  calls.push_back("WatchWindow " + std::to_string(window));
  watchers_.emplace_back(window, std::move(gone));
}

void MemoryPlatform::remove_foreign_window(std::uintptr_t window) {
  std::erase_if(foreign_windows, [&](const auto& entry) { return entry.first == window; });
  for (auto it = watchers_.begin(); it != watchers_.end();) {
    if (it->first == window) {
      post(std::move(it->second));
      it = watchers_.erase(it);
    } else {
      ++it;
    }
  }
  do_events();
}

void MemoryPlatform::advance(int milliseconds) {
  long long from = now_ms_;
  now_ms_ += milliseconds;
  std::vector<Timer*> due;
  for (Window* w : shown_windows)
    for (Timer* t : w->timers())
      if (t->enabled() && t->interval() > 0 && (now_ms_ / t->interval()) > (from / t->interval())) due.push_back(t);
  for (Timer* t : due) t->fire();
}

namespace {
MouseEvent centre_event(const Control& control, int button, int shift) {
  return {button, shift, control.width() / 2.0f, control.height() / 2.0f};
}
}  // namespace

namespace {
// The surface a press gives the focus to: the control itself or the nearest
// container that can hold the focus (a press on a user control's label
// focuses the user control).
Control* focus_target(Control& control) {
  for (Control* c = &control; c; c = c->container()) {
    if (c->kind() == Control::Kind::Surface && static_cast<Surface*>(c)->focusable) return c->enabled() ? c : nullptr;
  }
  return nullptr;
}
}  // namespace

void MemoryPlatform::press(Control& control, int button, int shift) {
  post([this, &control, button, shift] {
    if (!control.enabled()) return;
    if (control.on_mouse_down) control.on_mouse_down(centre_event(control, button, shift));
    // A focusable surface takes the focus on a left press only.
    if (button != kLeftButton) return;
    if (Control* target = focus_target(control)) focus(*target);
  });
  do_events();
}

void MemoryPlatform::release(Control& control, int button, int shift) {
  post([&control, button, shift] {
    if (!control.enabled()) return;
    if (control.on_mouse_up) control.on_mouse_up(centre_event(control, button, shift));
    if (control.on_click) control.on_click();
  });
  do_events();
}

void MemoryPlatform::click(Control& control, int button, int shift) {
  press(control, button, shift);
  release(control, button, shift);
}

void MemoryPlatform::double_click(Control& control, int button) {
  click(control, button);
  post([&control, button] {
    if (!control.enabled()) return;
    if (control.on_dbl_click) control.on_dbl_click();
    if (control.on_mouse_up) control.on_mouse_up(centre_event(control, button, 0));
  });
  do_events();
}

void MemoryPlatform::move_mouse(Control& control) {
  Rect r = control.window_bounds();
  if (const Window* w = control.form()) cursor = Point{w->left() + r.left + r.width / 2, w->top() + r.top + r.height / 2};
  post([&control] {
    if (control.enabled() && control.on_mouse_move) control.on_mouse_move(centre_event(control, 0, 0));
  });
  do_events();
}

void MemoryPlatform::key_down(Window& window, int key_code, int shift) {
  post([&window, key_code, shift] {
    if (window.on_key_down) window.on_key_down(key_code, shift);
  });
  do_events();
}

void MemoryPlatform::focus(Control& control) {
  if (focused == &control) return;
  Control* previous = focused;
  focused = &control;
  if (previous && previous->on_lost_focus) previous->on_lost_focus();
  if (control.on_got_focus) control.on_got_focus();
}

void MemoryPlatform::note_refresh(const Surface& surface, const Rect* area) {
  auto it = std::find_if(refreshes_.begin(), refreshes_.end(), [&](auto& p) { return p.first == &surface; });
  if (it == refreshes_.end()) refreshes_.push_back({&surface, 1});
  else ++it->second;
  if (on_refresh) on_refresh(surface, area);
}

int MemoryPlatform::refresh_count(const Surface& surface) const {
  auto it = std::find_if(refreshes_.begin(), refreshes_.end(), [&](auto& p) { return p.first == &surface; });
  return it == refreshes_.end() ? 0 : it->second;
}

}  // namespace virelta
