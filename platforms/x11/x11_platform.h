// The form layer on an X server: one X window (the root, a window given by
// id or by xscreensaver, or one of the program's own) shows the saver
// window's visible picture; its timers, the frame wait and the input run on
// the X connection. Only what the saver window needs is here: every other
// member of the platform ends the program with a message rather than
// pretend it worked.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "forms/form_layer.h"
#include "platforms/x11/options.h"
#include "platforms/x11/pixel_transfer.h"
#include "platforms/x11/xlib.h"

namespace virelta::x11 {

class X11Platform final : public Platform {
 public:
  // Opens the display and finds or makes the window; throws
  // std::runtime_error with the reason when it cannot.
  explicit X11Platform(const Options& options);
  ~X11Platform() override;

  // Runs the window's timers, input and pacing until the program ends.
  [[noreturn]] void run(virelta::Window& form);

  // ---- The form layer. What the saver window uses:
  ScreenInfo screen() const override;
  // The saver's mode switches are the Windows screen-saver ones; none of
  // them applies here (a key or click simply ends the program).
  std::string command_line() const override { return std::string(); }
  void do_events() override;
  void message_box(const std::string& title, const std::string& text, MessageIcon icon) override;
  [[noreturn]] void end_program(int exit_code) override;
  std::unique_ptr<ControlPeer> make_peer(Control& control) override;
  bool capture_screen(Image& target, const Rect& screen_area, int target_x, int target_y) override;
  void wait_for_frame() override;
  // "On" while the window can be seen (mapped and not fully covered).
  bool display_is_on() const override { return mapped_ && !obscured_; }
  void wait_while_display_off() override;
  // ... and what it does not:
  std::string program_folder() const override { unsupported("program_folder"); }
  std::optional<Point> cursor_position() const override { unsupported("cursor_position"); }
  const Control* control_under_cursor() const override { unsupported("control_under_cursor"); }
  void set_mouse_pointer(int) override { unsupported("set_mouse_pointer"); }
  bool load_picture(const std::string&, Image&) override { unsupported("load_picture"); }
  bool save_picture(const Image&, const std::string&) override { unsupported("save_picture"); }
  std::optional<std::string> file_dialog(const FileDialogRequest&) override { unsupported("file_dialog"); }
  std::optional<std::uint32_t> choose_colour(std::uint32_t (&)[16], std::uintptr_t) override {
    unsupported("choose_colour");
  }

  // ---- The system's own calls. What the saver window uses:
  // X has no such system settings: nothing was done.
  Long system_parameters_info(unsigned, Long) override { return 0; }
  // Not Windows: the version call fails.
  std::optional<int> version_platform_id() override { return std::nullopt; }
  // ... and what it does not:
  std::string user_settings_folder() const override { unsupported("user_settings_folder"); }
  bool find_window(const std::string&) override { unsupported("find_window"); }
  int show_cursor(bool) override { unsupported("show_cursor"); }
  std::optional<Rect> window_rect(std::uintptr_t) override { unsupported("window_rect"); }
  bool is_window(std::uintptr_t) override { unsupported("is_window"); }
  void draw_animated_rects(std::uintptr_t, int, const Rect&, const Rect&) override {
    unsupported("draw_animated_rects");
  }
  std::optional<bool> verify_screen_save_password(std::uintptr_t) override {
    unsupported("verify_screen_save_password");
  }
  Long shell_open(std::uintptr_t, const std::string&) override { unsupported("shell_open"); }
  void embed_in(virelta::Window&, std::uintptr_t) override { unsupported("embed_in"); }
  void watch_window(std::uintptr_t, std::function<void()>) override { unsupported("watch_window"); }

 private:
  class FormPeer;
  class SurfacePeer;
  [[noreturn]] static void unsupported(const char* member);
  // Three quarters of the screen, centred, or all of it; not shown yet.
  void create_own_window(int screen, bool fullscreen);

  // The picture the saver turns: as the target shows it, through
  // xscreensaver's image helper first when xscreensaver started the program.
  bool read_picture(Image& target, const Rect& area, int to_x, int to_y);
  bool run_image_helper();
  void handle(const XEvent& event);
  // Waits for the X connection until `deadline` (none: for ever).
  void wait_for_input(const std::chrono::steady_clock::time_point* deadline);
  // Shows the part `area` (window pixels) of every visible surface.
  void repaint(const Rect& area);

  ::Display* display_ = nullptr;
  ::Window window_ = 0;
  bool own_window_ = false;
  bool from_xscreensaver_ = false;
  int width_ = 0, height_ = 0;
  // Where the window lies on the screen (own window: where it asked to be).
  int screen_x_ = 0, screen_y_ = 0;
  GC gc_ = nullptr;
  Atom delete_window_ = 0;
  std::unique_ptr<PixelTransfer> pixels_;
  bool mapped_ = true;
  bool obscured_ = false;
  virelta::Window* form_ = nullptr;
  std::chrono::steady_clock::time_point next_frame_{};
};

}  // namespace virelta::x11
