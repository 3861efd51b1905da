// The form layer: the windows and controls every window of the program is
// built from, written once and shown by a platform. Controls are plain
// portable objects (geometry, pictures, texts, events); a platform attaches a
// peer to each one to put it on a real screen (Win32) or to record what
// happened (the in-memory platform of tests and tools).
//
// Lengths are pixels unless a name says twips; the screen's twips per pixel
// come from the platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/platform.h"

namespace virelta {

// Something placed in a window: geometry relative to its container's client
// area, visibility, enablement and mouse events.
class Control {
 public:
  enum class Kind { Window, Surface, Label, Picture, Shape, Line, Spin };

  Control(Kind kind, Surface* container, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  Surface* container() const { return container_; }
  // The top-level window this control lies in (itself for a window).
  Window* form();
  const Window* form() const;

  const Rect& bounds() const { return bounds_; }
  int left() const { return bounds_.left; }
  int top() const { return bounds_.top; }
  int width() const { return bounds_.width; }
  int height() const { return bounds_.height; }
  // Outer size in twips, as a Single.
  Single width_twips() const;
  Single height_twips() const;
  // Negative sizes raise "invalid property value" and leave the control as it was.
  virtual void move(int left, int top, int width, int height);
  void move_twips(double left, double top, double width, double height);
  // Bounds on the top-level window's client area.
  Rect window_bounds() const;

  bool visible() const { return visible_; }
  void set_visible(bool visible);
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  // Gives the control the keyboard focus (its form keeps track of it).
  void set_focus();
  bool has_focus() const;
  // Tab and Shift+Tab stop at the control.
  bool tab_stop = false;
  // What a screen reader says of the control: its name (the caption or the
  // text beside it) and its role; the state comes from the control itself.
  enum class Role { None, PushButton, CheckBox, SpinButton, Link, Text };
  std::string accessible_name;
  Role accessible_role = Role::None;
  // Checked state of a check box (nothing for other roles).
  std::function<bool()> accessible_checked;

  // Mouse pointer over the control: 0 default (the container's), 11 hourglass,
  // kCustomPointer: the cursor resource `mouse_icon` (0: the program's
  // pointing hand, kHandCursorResource). Read whenever the pointer moves.
  int mouse_pointer = 0;
  int mouse_icon = 0;

  std::function<void(const MouseEvent&)> on_mouse_down;
  std::function<void(const MouseEvent&)> on_mouse_up;
  std::function<void(const MouseEvent&)> on_mouse_move;
  std::function<void()> on_click;
  std::function<void()> on_dbl_click;
  std::function<void()> on_got_focus;
  std::function<void()> on_lost_focus;
  // A key went down or up while the control had the focus; a press handler
  // returns true when it used the key.
  std::function<bool(int key_code, int shift)> on_key_press;
  std::function<void(int key_code, int shift)> on_key_release;

  ControlPeer* peer() const { return peer_.get(); }
  // Called by the constructor of the most derived class.
  void attach_peer();

 protected:
  void notify_content() {
    if (peer_) peer_->content_changed();
  }
  Rect bounds_{0, 0, 100, 100};

 private:
  Kind kind_;
  Surface* container_;
  std::string name_;
  bool visible_ = true;
  bool enabled_ = true;
  std::unique_ptr<ControlPeer> peer_;
};

// A picture surface: a picture box, a panel, a window's client area or a user
// control. It keeps a persistent image: drawing goes into the image and a
// refresh shows it. Windowless controls inside it are drawn over the image.
class Surface : public Control {
 public:
  // A class deriving from Surface passes attach = false and attaches the peer
  // at the end of its own constructor.
  Surface(Surface* container, std::string name, bool attach = true);

  Image& image() { return image_; }
  const Image& image() const { return image_; }
  std::uint32_t back_color() const { return back_color_; }
  void set_back_color(std::uint32_t colour) { back_color_ = colour; }
  // Clears the image to the background colour ("Cls", or an empty Picture).
  void clear();
  void refresh();
  void refresh(const Rect& area);
  int bits_per_pixel() const;
  // The image follows the surface's size.
  void move(int left, int top, int width, int height) override;

  const std::vector<Control*>& children() const { return children_; }

  // The surface can hold the keyboard focus (a user control such as the
  // button): a mouse press gives it the focus and Tab stops at it.
  bool focusable = false;

 protected:
  Surface(Kind kind, Surface* container, std::string name);

 private:
  friend class Control;
  Image image_;
  std::uint32_t back_color_ = 0x8000000F;
  std::vector<Control*> children_;
};

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog };

class Window : public Surface {
 public:
  explicit Window(std::string name);
  ~Window() override;

  const std::string& caption() const { return caption_; }
  void set_caption(const std::string& caption);

  BorderStyle border = BorderStyle::Sizable;
  bool control_box = true;
  bool min_button = true;
  bool max_button = true;
  bool show_in_taskbar = true;
  // A window of another program this one belongs to (0: none): it stays in
  // front of that window and goes with it.
  std::uintptr_t owner = 0;
  bool key_preview = false;
  int icon_resource = 0;
  // A window's bounds are its outer top-left corner on the screen (in its
  // host's client area once embedded) and its client size; move() takes the
  // same. Client size the window asks for (border and caption come on top):
  void set_client_size(int width, int height);
  // The outer rectangle on the screen (client plus frame); the platform fills
  // it in, the in-memory platform makes it equal to the client.
  Rect outer_bounds;

  bool loaded() const { return loaded_; }
  void load();
  void show();
  void show_modal();
  void hide();
  // Runs the unload handler and takes the window off the screen.
  void unload();
  // Someone outside asks the window to close (its close box, WM_CLOSE, a
  // session that ends): on_close_request decides when set, else it unloads.
  void request_close();
  void make_topmost();
  std::uintptr_t handle() const;

  std::function<void()> on_load;
  std::function<void()> on_resize;
  std::function<void()> on_unload;
  std::function<void()> on_close_request;
  std::function<void(int key_code, int shift)> on_key_down;

  // ---- Keyboard focus. The form knows which of its controls has the focus
  // (a windowless one included) and routes the keys: Tab and Shift+Tab walk
  // the tab order, the focused control sees a key first, then Enter and Esc
  // run the default and cancel actions.
  Control* focused_control() const { return focused_; }
  // The controls Tab visits: `tab_order` when given, else every tab stop in
  // creation order; hidden and disabled ones are passed over.
  std::vector<Control*> tab_order;
  std::vector<Control*> tab_stops() const;
  void focus_next(bool backwards);
  std::function<void()> on_default_key;  // Enter
  std::function<void()> on_cancel_key;   // Esc
  // A key arrived for the form (the platform calls these for every key it
  // dispatches to the form or its controls); true when it was used.
  bool key_press(int key_code, int shift);
  void key_release(int key_code, int shift);
  // The platform reports that a control got or lost the system's focus.
  void note_focus(Control* control);
  void note_focus_lost(Control* control);
  // A control of this form goes away.
  void forget_control(const Control* control);

  // Timers belong to a window and die with it.
  void add_timer(Timer* timer) { timers_.push_back(timer); }
  void remove_timer(Timer* timer);
  const std::vector<Timer*>& timers() const { return timers_; }
  // Tells the platform that a timer changed (Timer calls it).
  void timers_changed();

 private:
  WindowPeer* window_peer() const { return static_cast<WindowPeer*>(peer()); }
  std::string caption_;
  bool loaded_ = false;
  std::vector<Timer*> timers_;
  Control* focused_ = nullptr;
};

class Label : public Control {
 public:
  Label(Surface* container, std::string name, std::string caption = std::string());
  const std::string& caption() const { return caption_; }
  void set_caption(const std::string& caption);
  Font font;
  std::uint32_t fore_color = 0x80000008;  // the system's window-text colour
  Alignment alignment = Alignment::Left;
  bool auto_size = false;
  bool transparent = true;
  void changed() { notify_content(); }

 private:
  std::string caption_;
};

// An image control: shows a picture (shared, never copied) at its top left.
class Picture : public Control {
 public:
  Picture(Surface* container, std::string name);
  const Image* picture() const { return picture_; }
  void set_picture(const Image* picture);

 private:
  const Image* picture_ = nullptr;
};

// A rectangle outline (transparent inside).
class Shape : public Control {
 public:
  Shape(Surface* container, std::string name);
  std::uint32_t border_color = 0x80000008;
};

class Line : public Control {
 public:
  Line(Surface* container, std::string name);
  void set_points(int x1, int y1, int x2, int y2);
  Point from, to;
  std::uint32_t border_color = 0;
};

// A vertical scroll bar short enough to show only its two arrows: a spin
// button. One arrow click changes the value by one.
class SpinButton : public Control {
 public:
  SpinButton(Surface* container, std::string name, int min, int max, int value);
  int min() const { return min_; }
  int max() const { return max_; }
  int value() const { return value_; }
  // A value outside min..max raises "invalid property value" (380).
  void set_value(int value);
  // The user pressed an arrow: +1 (up) or -1 (down), stopping at the range's end.
  void step(int direction);
  // Moves by `amount` (any size), stopping at the range's ends.
  void step_by(int amount);
  std::function<void()> on_change;

 private:
  int min_, max_, value_;
};

// A window's timer. Its handler is never entered again while it still runs.
class Timer {
 public:
  Timer(Window& owner, int interval_ms);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  int interval() const { return interval_ms_; }
  void set_interval(int interval_ms);
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  std::function<void()> on_timer;
  // Called by the platform when the interval has passed.
  void fire();
  bool running() const { return running_; }

 private:
  friend class Window;
  Window* owner_;
  int interval_ms_;
  bool enabled_ = true;
  bool running_ = false;
};

}  // namespace virelta
