// The peers that put controls on the screen: a window per surface, per form
// and per spin button; labels, pictures, shapes and lines are windowless and
// drawn by their surface.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "forms/form_layer.h"

namespace virelta::win32 {

// A peer that owns a window of the system.
class Win32Peer {
 public:
  Win32Peer();
  virtual ~Win32Peer();
  Win32Peer(const Win32Peer&) = delete;
  Win32Peer& operator=(const Win32Peer&) = delete;

  virtual Control& control() = 0;
  HWND hwnd() const { return hwnd_; }
  // Creates the window (again, after an unload destroyed it).
  virtual void create_handle() = 0;
  // The window went away (destroyed, or vanished with a foreign host).
  virtual void handle_lost();
  // Still alive after a handler ran?
  std::shared_ptr<bool> alive_token() const { return alive_; }

  // The window procedure of our own classes.
  static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  virtual LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  void destroy_handle();
  HWND hwnd_ = nullptr;

 private:
  std::shared_ptr<bool> alive_;
};

// Creates the windows of every control inside `surface` that has one.
void create_child_handles(Surface& surface);
// The window a control draws in: its own, or its surface's for windowless ones.
HWND window_of(const Control& control);
Win32Peer* win32_peer(const Control& control);

// The frame drawn around the focused control, on its surface, and a repaint of it.
Rect focus_cue_area(const Control& control);
void invalidate_focus_cue(const Control& control);

// What forms and surfaces have in common: painting the stored picture with
// the windowless controls over it, mouse events, focus, the pointer.
class SurfaceWindow : public Win32Peer {
 public:
  explicit SurfaceWindow(Surface& surface) : surface_(surface) {}
  Control& control() override { return surface_; }
  Surface& surface() { return surface_; }
  // Shows the stored picture now (all of it, or one area).
  void show_picture(const Rect* area);
  // A windowless control changed within `area` (surface pixels).
  void invalidate(const Rect& area);
  void handle_lost() override;

 protected:
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
  void paint(HDC dc, const RECT& area);

 private:
  void on_paint();
  void on_button_down(int button, WPARAM wparam, LPARAM lparam, bool double_click);
  void on_button_up(int button, WPARAM wparam, LPARAM lparam);
  void on_mouse_move(WPARAM wparam, LPARAM lparam);
  bool on_set_cursor(HWND under, LPARAM lparam);
  void on_vertical_scroll(WPARAM wparam, LPARAM lparam);
  // The control a mouse event at `point` goes to: a windowless child that
  // handles the mouse, else the surface; nothing when a disabled child swallows it.
  Control* mouse_target(POINT point);

  Surface& surface_;
  Control* capture_target_ = nullptr;
  int buttons_held_ = 0;
  bool after_double_click_ = false;
};

// The colour depth of the screen, which surfaces and forms report.
int screen_bits_per_pixel();

// The peer of a surface or a form (Peer: ControlPeer or WindowPeer), with the
// members both answer alike through their own window.
template <class Peer>
class SurfaceWindowPeer : public Peer, public SurfaceWindow {
 public:
  using SurfaceWindow::SurfaceWindow;
  void enabled_changed() override {
    if (hwnd_) EnableWindow(hwnd_, control().enabled());
  }
  void content_changed() override {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }
  void refresh(const Rect* area) override { show_picture(area); }
  int bits_per_pixel() const override { return screen_bits_per_pixel(); }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
};

class SurfacePeer final : public SurfaceWindowPeer<ControlPeer> {
 public:
  explicit SurfacePeer(Surface& surface);
  ~SurfacePeer() override;
  void create_handle() override;

  void geometry_changed() override;
  void visibility_changed() override;
  void set_focus() override;
  void focus_cue_changed() override { invalidate_focus_cue(surface()); }
};

class FormPeer final : public SurfaceWindowPeer<WindowPeer> {
 public:
  explicit FormPeer(Window& window);
  ~FormPeer() override;
  Window& window() { return window_; }
  void create_handle() override;
  void handle_lost() override;
  bool embedded() const { return embedded_; }
  HWND host() const { return host_; }
  void embed(HWND host);

  // ControlPeer
  void geometry_changed() override;
  void visibility_changed() override;
  void set_focus() override;
  // WindowPeer
  void show() override;
  void hide() override;
  void show_modal() override;
  void unloaded() override;
  void caption_changed() override;
  void make_topmost() override;
  void timers_changed() override;

 protected:
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void apply_frame();
  void read_position();
  void sync_timers();
  void set_icon();
  void on_activate(WPARAM wparam);
  void on_window_pos_changed();
  void on_timer(WPARAM id);
  void on_destroyed_from_outside();

  Window& window_;
  bool shown_ = false;
  bool resized_once_ = false;
  bool syncing_ = false;
  bool embedded_ = false;
  bool unloading_ = false;
  HWND host_ = nullptr;
  HWND last_focus_ = nullptr;
  std::vector<int> timer_intervals_;
};

class SpinButtonPeer final : public ControlPeer, public Win32Peer {
 public:
  explicit SpinButtonPeer(SpinButton& spin);
  ~SpinButtonPeer() override;
  Control& control() override { return spin_; }
  void create_handle() override;
  // A scroll request the scroll bar sent to its parent.
  void scrolled(int request);

  void geometry_changed() override;
  void visibility_changed() override;
  void enabled_changed() override;
  void content_changed() override;
  void set_focus() override;
  void focus_cue_changed() override { invalidate_focus_cue(spin_); }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }

 private:
  void show_value();
  SpinButton& spin_;
};

// Labels, pictures, shapes and lines: drawn by the surface that holds them.
class WindowlessPeer final : public ControlPeer {
 public:
  explicit WindowlessPeer(Control& control);
  ~WindowlessPeer() override;
  void geometry_changed() override;
  void visibility_changed() override { invalidate(); }
  void enabled_changed() override { invalidate(); }
  void content_changed() override;
  // The system's focus goes to the form's window; the form keeps the control.
  void set_focus() override;
  void focus_cue_changed() override { invalidate_focus_cue(control_); }

 private:
  void invalidate();
  Control& control_;
  Rect shown_bounds_;
};

// Draws one windowless control onto a context whose origin is its surface's.
void draw_windowless(HDC dc, const Control& control);
// Sizes an auto-sizing label to its text.
void fit_label(Label& label);
// Sizes every auto-sizing label inside a surface.
void fit_labels(Surface& surface);

}  // namespace virelta::win32
