#include "forms/form_layer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace virelta {

namespace {
Platform* current_platform = nullptr;

// Stores `value` in `field`; true when that changed it, so that a setter
// tells its peer only of real changes.
template <class T>
bool assign_if_new(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

Platform& platform() {
  // A program that forgot to install its platform must stop here, where the
  // mistake is, rather than run on a stand-in that reports success (and
  // not by throwing, which a skip-on-error handler would swallow).
  if (!current_platform) {
    std::fputs("virelta: no platform installed before its first use\n", stderr);
    std::abort();
  }
  return *current_platform;
}

void set_platform(Platform* p) { current_platform = p; }

double twips_x(double pixels) { return pixels * platform().screen().twips_per_pixel_x; }
double twips_y(double pixels) { return pixels * platform().screen().twips_per_pixel_y; }
int pixels_from_twips_x(double twips) {
  return static_cast<int>(round_half_even(twips / platform().screen().twips_per_pixel_x));
}
int pixels_from_twips_y(double twips) {
  return static_cast<int>(round_half_even(twips / platform().screen().twips_per_pixel_y));
}

// ---- Control

Control::Control(Kind kind, Surface* container, std::string name)
    : kind_(kind), container_(container), name_(std::move(name)) {
  if (container_) container_->children_.push_back(this);
}

Control::~Control() {
  if (container_) {
    if (Window* w = form()) w->forget_control(this);
    auto& siblings = container_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void Control::attach_peer() { peer_ = platform().make_peer(*this); }

Window* Control::form() {
  Control* c = this;
  while (c->container_) c = c->container_;
  return c->kind_ == Kind::Window ? static_cast<Window*>(c) : nullptr;
}

const Window* Control::form() const { return const_cast<Control*>(this)->form(); }

Single Control::width_twips() const { return static_cast<Single>(twips_x(bounds_.width)); }
Single Control::height_twips() const { return static_cast<Single>(twips_y(bounds_.height)); }

void Control::move(int left, int top, int width, int height) {
  if (width < 0 || height < 0) raise(ErrorNumber::InvalidPropertyValue);
  if (assign_if_new(bounds_, Rect{left, top, width, height}) && peer_) peer_->geometry_changed();
}

void Control::move_twips(double left, double top, double width, double height) {
  move(pixels_from_twips_x(left), pixels_from_twips_y(top), pixels_from_twips_x(width),
       pixels_from_twips_y(height));
}

Rect Control::window_bounds() const {
  Rect r = bounds_;
  for (const Control* c = container_; c && c->container_; c = c->container_) {
    r.left += c->bounds_.left;
    r.top += c->bounds_.top;
  }
  return r;
}

void Control::set_visible(bool visible) {
  if (assign_if_new(visible_, visible) && peer_) peer_->visibility_changed();
}

void Control::set_enabled(bool enabled) {
  if (assign_if_new(enabled_, enabled) && peer_) peer_->enabled_changed();
}

// ---- Surface

Surface::Surface(Surface* container, std::string name, bool attach)
    : Control(Kind::Surface, container, std::move(name)) {
  image_.resize(bounds_.width, bounds_.height, 0);
  if (attach) attach_peer();
}

Surface::Surface(Kind kind, Surface* container, std::string name) : Control(kind, container, std::move(name)) {
  image_.resize(bounds_.width, bounds_.height, 0);
}

void Surface::clear() {
  // System colours (top bit set) clear to their usual face colour.
  std::uint32_t colour = (back_color_ & 0x80000000u) ? rgb(0xF0, 0xF0, 0xF0) : back_color_;
  image_.fill(pixel_from_colour(colour));
}

void Surface::refresh() {
  if (peer()) peer()->refresh(nullptr);
}

void Surface::refresh(const Rect& area) {
  if (peer()) peer()->refresh(&area);
}

int Surface::bits_per_pixel() const { return peer() ? peer()->bits_per_pixel() : 32; }

void Surface::move(int left, int top, int width, int height) {
  if (width < 0 || height < 0) raise(ErrorNumber::InvalidPropertyValue);
  image_.resize(width, height, 0);
  Control::move(left, top, width, height);
}

// ---- Window

Window::Window(std::string name) : Surface(Kind::Window, nullptr, std::move(name)) { attach_peer(); }

Window::~Window() {
  for (Timer* t : timers_) t->owner_ = nullptr;
}

void Window::remove_timer(Timer* timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
  timers_changed();
}

void Window::timers_changed() {
  if (window_peer()) window_peer()->timers_changed();
}

void Window::set_caption(const std::string& caption) {
  caption_ = caption;
  if (window_peer()) window_peer()->caption_changed();
}

void Window::set_client_size(int width, int height) { move(left(), top(), width, height); }

void Window::load() {
  if (loaded_) return;
  loaded_ = true;
  if (on_load) on_load();
}

void Window::show() {
  load();
  if (window_peer()) window_peer()->show();
}

void Window::show_modal() {
  load();
  if (window_peer()) window_peer()->show_modal();
}

void Window::hide() {
  if (window_peer()) window_peer()->hide();
}

void Window::unload() {
  if (!loaded_) return;
  if (on_unload) on_unload();
  loaded_ = false;
  focused_ = nullptr;
  for (Timer* t : timers_) t->set_enabled(false);
  if (window_peer()) window_peer()->unloaded();
}

void Window::request_close() {
  if (!loaded_) return;
  if (on_close_request) on_close_request();
  else unload();
}

void Window::make_topmost() {
  if (window_peer()) window_peer()->make_topmost();
}

std::uintptr_t Window::handle() const { return peer() ? peer()->handle() : 0; }

// ---- Label, Picture, Shape, Line

Label::Label(Surface* container, std::string name, std::string caption)
    : Control(Kind::Label, container, std::move(name)), caption_(std::move(caption)) {
  attach_peer();
}

void Label::set_caption(const std::string& caption) {
  if (assign_if_new(caption_, caption)) notify_content();
}

Picture::Picture(Surface* container, std::string name) : Control(Kind::Picture, container, std::move(name)) {
  attach_peer();
}

void Picture::set_picture(const Image* picture) {
  picture_ = picture;
  notify_content();
}

Shape::Shape(Surface* container, std::string name) : Control(Kind::Shape, container, std::move(name)) {
  attach_peer();
}

Line::Line(Surface* container, std::string name) : Control(Kind::Line, container, std::move(name)) {
  attach_peer();
}

void Line::set_points(int x1, int y1, int x2, int y2) {
  from = {x1, y1};
  to = {x2, y2};
  move(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
  notify_content();
}

// ---- SpinButton

SpinButton::SpinButton(Surface* container, std::string name, int min, int max, int value)
    : Control(Kind::Spin, container, std::move(name)), min_(min), max_(max), value_(value) {
  tab_stop = true;
  accessible_role = Role::SpinButton;
  // Arrows step by one, Page Up and Page Down by ten, Home and End go to the
  // lowest and the highest value.
  on_key_press = [this](int key, int shift) {
    if ((shift & (kCtrlMask | kAltMask)) != 0) return false;
    const int low = std::min(min_, max_), high = std::max(min_, max_);
    switch (key) {
      case kKeyUp: case kKeyRight: step_by(1); return true;
      case kKeyDown: case kKeyLeft: step_by(-1); return true;
      case kKeyPageUp: step_by(10); return true;
      case kKeyPageDown: step_by(-10); return true;
      case kKeyHome: step_by(low - value_); return true;
      case kKeyEnd: step_by(high - value_); return true;
      default: return false;
    }
  };
  attach_peer();
}

void SpinButton::set_value(int value) {
  int low = std::min(min_, max_), high = std::max(min_, max_);
  if (value < low || value > high) raise(ErrorNumber::InvalidPropertyValue);
  if (value == value_) return;
  value_ = value;
  notify_content();
  if (on_change) on_change();
}

void SpinButton::step(int direction) { step_by(direction > 0 ? 1 : -1); }

// ---- Timer

Timer::Timer(Window& owner, int interval_ms) : owner_(&owner), interval_ms_(interval_ms) {
  owner.add_timer(this);
  owner.timers_changed();
}

Timer::~Timer() {
  if (owner_) owner_->remove_timer(this);
}

void Timer::set_interval(int interval_ms) {
  if (assign_if_new(interval_ms_, interval_ms) && owner_) owner_->timers_changed();
}

void Timer::set_enabled(bool enabled) {
  if (assign_if_new(enabled_, enabled) && owner_) owner_->timers_changed();
}

void Timer::fire() {
  if (running_ || !enabled_ || interval_ms_ <= 0 || !on_timer) return;
  running_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{running_};
  on_timer();
}

}  // namespace virelta
