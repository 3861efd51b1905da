// The form layer on Win32: the product's platform. Every surface and window
// is a window of its own whose painting shows the surface's stored picture;
// labels, pictures, shapes and lines are drawn over it by their surface.
// Text is UTF-8 inside the program and UTF-16 at every system call.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "forms/form_layer.h"
#include "platforms/win32/handles.h"

namespace virelta::win32 {

class Win32Peer;
class FormPeer;

class Win32Platform final : public Platform, public SystemCalls {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  SystemCalls& system() override { return *this; }

  // ---- Platform
  ScreenInfo screen() const override;
  std::string program_folder() const override;
  std::string command_line() const override;
  bool japanese_display() const override;
  void do_events() override;
  void message_box(const std::string& title, const std::string& text, MessageIcon icon) override;
  [[noreturn]] void end_program(int exit_code) override;
  std::unique_ptr<ControlPeer> make_peer(Control& control) override;
  bool capture_screen(Image& target, const Rect& screen_area, int target_x, int target_y) override;
  std::optional<Point> cursor_position() const override;
  const Control* control_under_cursor() const override;
  void set_mouse_pointer(int pointer) override;
  bool load_picture(const std::string& path, Image& picture) override;
  bool save_picture(const Image& picture, const std::string& path) override;
  std::optional<std::string> file_dialog(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> choose_colour(std::uint32_t (&custom_colours)[16], std::uintptr_t owner) override;

  bool find_window(const std::string& caption) override;
  int show_cursor(bool show) override;
  Long system_parameters_info(unsigned action, Long parameter) override;
  std::optional<int> version_platform_id() override;
  std::optional<Rect> window_rect(std::uintptr_t window) override;
  bool is_window(std::uintptr_t window) override;
  void draw_animated_rects(std::uintptr_t window, int kind, const Rect& from, const Rect& to) override;
  std::optional<bool> verify_screen_save_password(std::uintptr_t window) override;
  Long shell_open(std::uintptr_t window, const std::string& target) override;
  void embed_in(Window& window, std::uintptr_t host) override;
  void wait_for_frame() override;
  void watch_window(std::uintptr_t window, std::function<void()> gone) override;
  bool display_is_on() const override { return display_on_; }
  void wait_while_display_off() override;
  std::string user_settings_folder() const override;

  // ---- Current Windows
  // The thread runs on the secure "Screen-saver" desktop, where a copy of
  // the screen shows only a plain colour.
  bool on_saver_desktop() const;
  // The monitors' rectangles in screen coordinates.
  std::vector<Rect> monitor_rects() const;

  // ---- The message loop
  // Runs until the last window is gone (or the program ends).
  void run();
  // Runs while a modal window stays up.
  void run_modal(const std::function<bool()>& keep_running);
  // Runs a piece of program code; an error nobody trapped is reported the
  // way the run-time reports it and ends the program. Exceptions never travel
  // through the system's frames.
  void guarded(const std::function<void()>& code) noexcept;
  [[noreturn]] void report_unhandled_error(const char* description, int number) noexcept;

  // ---- What the peers share
  HINSTANCE instance() const { return instance_; }
  // A hidden window that owns the windows kept off the taskbar.
  HWND owner_window() const { return owner_; }
  void register_window(HWND window, Win32Peer* peer);
  void forget_window(HWND window);
  // The peer of one of our windows (or of its nearest window of ours).
  Win32Peer* peer_of(HWND window) const;
  // Forms on the screen; the program ends when the last one is gone.
  void form_shown(FormPeer& form);
  void form_gone(FormPeer& form);
  const std::vector<FormPeer*>& forms() const { return forms_; }
  // Embedded windows are watched: a host that vanishes ends them.
  void watch_embedded(FormPeer& form);
  HFONT font(const Font& font);
  int dpi_y() const { return dpi_y_; }
  // The DPI windows are laid out and fonts made for: the primary monitor's,
  // read at start. Setting it lays out windows made afterwards at another.
  void set_dpi(int dpi_x, int dpi_y);
  // The cursor for a pointer number (and resource for the custom pointer).
  HCURSOR cursor(int pointer, int resource) const;
  int application_pointer() const { return application_pointer_; }

 private:
  static LRESULT CALLBACK owner_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void dispatch(MSG& message);
  bool preview_key(const MSG& message);
  void check_end();
  void close_forms();
  void check_embedded();
  void update_cursor_now();
  void check_watched();
  void register_display_power();
  void display_power_changed(const POWERBROADCAST_SETTING& setting);
  // The user's wallpaper laid out over the background colour on every
  // monitor, made once, covering the whole screen.
  const Image& saver_desktop_picture();

  HINSTANCE instance_;
  HWND owner_ = nullptr;
  int dpi_x_ = 96;
  int dpi_y_ = 96;
  // The screen's facts, asked once and again after a display change: under
  // Wine each metric costs round trips to the window system, and the form
  // layer converts twips through them many times at every tile move.
  mutable std::optional<ScreenInfo> screen_;
  int application_pointer_ = 0;
  std::unordered_map<HWND, Win32Peer*> windows_;
  std::vector<FormPeer*> forms_;
  std::vector<FormPeer*> embedded_;
  struct MadeFont {
    Font font;
    int dpi;
    unique_hfont handle;
  };
  std::vector<MadeFont> fonts_;
  std::vector<std::pair<HWND, std::function<void()>>> watched_;
  // Frame pacing.
  std::int64_t last_frame_ = 0;
  HANDLE frame_timer_ = nullptr;
  // Whether Sleep keeps to the millisecond here (asked at the first frame wait).
  enum class SleepKind { Unknown, Precise, Coarse } sleep_kind_ = SleepKind::Unknown;
  unique_hmodule dwm_;
  // The display's power state (GUID_CONSOLE_DISPLAY_STATE).
  bool display_on_ = true;
  HANDLE display_notification_ = nullptr;
  Image saver_desktop_;
  bool saver_desktop_made_ = false;
};

// Dots per inch of the primary monitor (where the dialogs are centred):
// GetDpiForMonitor when the system has it, else the screen's LOGPIXELSX/Y.
int primary_monitor_dpi(bool horizontal);

// The command-line text after the program path (quoted or not), leading
// blanks removed.
std::string text_after_program_path(const wchar_t* command_line);

// The platform installed by the program's entry.
Win32Platform& win32_platform();

// A system colour (top bit set, index in the low byte) or a plain &H00BBGGRR.
COLORREF colour_ref(std::uint32_t colour);

// Registers the window classes of the peers (once).
void register_window_classes(HINSTANCE instance);
inline constexpr wchar_t kFormClass[] = L"VireltaForm";
inline constexpr wchar_t kSurfaceClass[] = L"VireltaSurface";
inline constexpr wchar_t kOwnerClass[] = L"VireltaOwner";

}  // namespace virelta::win32
