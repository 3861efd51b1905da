// The keyboard side of a form: which control has the focus (a windowless
// one included, which the platform cannot know of), the tab order, and the
// way a key goes to the focused control first and then to the form.
#include <algorithm>

#include "forms/form_layer.h"

namespace virelta {

namespace {
bool takes_tab(const Control& c) {
  if (c.tab_stop) return true;
  return c.kind() == Control::Kind::Surface && static_cast<const Surface&>(c).focusable;
}

// A control and every surface it lies in are shown and enabled.
bool reachable(const Control& c) {
  for (const Control* p = &c; p && p->kind() != Control::Kind::Window; p = p->container())
    if (!p->visible() || !p->enabled()) return false;
  return true;
}

void collect(const Surface& surface, std::vector<Control*>& stops) {
  for (Control* child : surface.children()) {
    if (takes_tab(*child)) stops.push_back(child);
    if (child->kind() == Control::Kind::Surface) collect(static_cast<const Surface&>(*child), stops);
  }
}

void cue_changed(Control* c) {
  if (c && c->peer()) c->peer()->focus_cue_changed();
}
}  // namespace

void Control::set_focus() {
  Window* w = form();
  if (w && w != this) w->note_focus(this);
  if (peer_) peer_->set_focus();
}

bool Control::has_focus() const {
  const Window* w = form();
  return w && w->focused_control() == this;
}

std::vector<Control*> Window::tab_stops() const {
  std::vector<Control*> stops = tab_order;
  if (stops.empty()) collect(*this, stops);
  stops.erase(std::remove_if(stops.begin(), stops.end(), [](Control* c) { return !reachable(*c); }), stops.end());
  return stops;
}

void Window::focus_next(bool backwards) {
  const std::vector<Control*> stops = tab_stops();
  if (stops.empty()) return;
  const int n = static_cast<int>(stops.size());
  auto it = std::find(stops.begin(), stops.end(), focused_);
  const int at = it == stops.end() ? -1 : static_cast<int>(it - stops.begin());
  const int next = backwards ? (at <= 0 ? n - 1 : at - 1) : (at + 1) % n;
  stops[next]->set_focus();
}

bool Window::key_press(int key_code, int shift) {
  const bool plain = (shift & (kCtrlMask | kAltMask)) == 0;
  if (key_code == kKeyTab && plain) {
    if (tab_stops().empty()) return false;
    focus_next((shift & kShiftMask) != 0);
    return true;
  }
  if (Control* c = focused_; c && reachable(*c) && c->on_key_press && c->on_key_press(key_code, shift)) return true;
  if (!plain) return false;
  // The handler may unload the form: nothing of it is touched afterwards.
  if (key_code == kKeyEnter && on_default_key) {
    auto action = on_default_key;
    action();
    return true;
  }
  if (key_code == kKeyEscape && on_cancel_key) {
    auto action = on_cancel_key;
    action();
    return true;
  }
  return false;
}

void Window::key_release(int key_code, int shift) {
  if (Control* c = focused_; c && c->on_key_release) c->on_key_release(key_code, shift);
}

void Window::note_focus(Control* control) {
  // The form's own window holding the system focus stands for whichever of
  // its controls has it (a windowless one draws its cue on its surface).
  if (control == this || control == focused_) return;
  Control* previous = focused_;
  focused_ = control;
  if (previous) {
    cue_changed(previous);
    if (previous->on_lost_focus) previous->on_lost_focus();
  }
  // A lost-focus handler may have moved the focus on already.
  if (control && focused_ == control) {
    cue_changed(control);
    if (control->on_got_focus) control->on_got_focus();
  }
}

void Window::note_focus_lost(Control* control) {
  if (!control || control != focused_) return;
  focused_ = nullptr;
  cue_changed(control);
  if (control->on_lost_focus) control->on_lost_focus();
}

void Window::forget_control(const Control* control) {
  if (focused_ == control) focused_ = nullptr;
  tab_order.erase(std::remove(tab_order.begin(), tab_order.end(), control), tab_order.end());
}

void SpinButton::step_by(int amount) {
  const long long next = std::clamp<long long>(static_cast<long long>(value_) + amount, std::min(min_, max_),
                                               std::max(min_, max_));
  if (next != value_) set_value(static_cast<int>(next));
}

}  // namespace virelta
