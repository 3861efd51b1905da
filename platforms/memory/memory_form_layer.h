// The in-memory platform: a real implementation of the form layer whose
// screen is a picture in memory. Surfaces are pixel buffers, the event pump
// runs queued events, timers fire when the clock is advanced, message boxes
// are recorded, and ending the program throws ProgramEnded. Tests, the
// command-line tools and the benchmarks run the program's windows on it.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "forms/form_layer.h"

namespace virelta {

struct RecordedMessage {
  std::string title;
  std::string text;
  MessageIcon icon;
};

class MemoryPlatform : public Platform {
 public:
  MemoryPlatform();

  // ---- Platform
  ScreenInfo screen() const override { return screen_info; }
  std::string program_folder() const override { return folder; }
  std::string user_settings_folder() const override { return user_folder; }
  std::string command_line() const override { return command; }
  void do_events() override;
  void message_box(const std::string& title, const std::string& text, MessageIcon icon) override;
  [[noreturn]] void end_program(int exit_code) override;
  std::unique_ptr<ControlPeer> make_peer(Control& control) override;
  bool capture_screen(Image& target, const Rect& screen_area, int target_x, int target_y) override;
  std::optional<Point> cursor_position() const override { return cursor; }
  const Control* control_under_cursor() const override;
  void set_mouse_pointer(int pointer) override { mouse_pointer = pointer; }
  bool load_picture(const std::string& path, Image& picture) override;
  bool save_picture(const Image& picture, const std::string& path) override;
  std::optional<std::string> file_dialog(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> choose_colour(std::uint32_t (&custom_colours)[16], std::uintptr_t owner) override;

  bool find_window(const std::string& caption) override;
  int show_cursor(bool show) override;
  Long system_parameters_info(unsigned action, Long parameter) override;
  std::optional<int> version_platform_id() override { return platform_id; }
  std::optional<Rect> window_rect(std::uintptr_t window) override;
  bool is_window(std::uintptr_t window) override;
  void draw_animated_rects(std::uintptr_t window, int kind, const Rect& from, const Rect& to) override;
  std::optional<bool> verify_screen_save_password(std::uintptr_t window) override;
  Long shell_open(std::uintptr_t window, const std::string& target) override;
  void embed_in(Window& window, std::uintptr_t host) override;
  void wait_for_frame() override;
  bool display_is_on() const override { return display_on; }
  void wait_while_display_off() override;
  void watch_window(std::uintptr_t window, std::function<void()> gone) override;

  // ---- The simulated machine
  ScreenInfo screen_info;
  std::string folder = ".";
  std::string user_folder;
  std::string command;
  // What the screen shows before any of our windows (what a capture sees).
  Image desktop;
  std::optional<Point> cursor = Point{0, 0};
  int mouse_pointer = 0;
  std::vector<RecordedMessage> messages;
  // Called for every message box (after recording it), e.g. to fail a test.
  std::function<void(const RecordedMessage&)> on_message;
  // Called whenever a surface is refreshed (area null: the whole surface).
  std::function<void(const Surface&, const Rect*)> on_refresh;
  // Runs a modal window: given the window, it works the window and returns
  // once it has unloaded it. Without a driver the pump runs until the window
  // is unloaded or nothing is left to do.
  std::function<void(Window&)> modal_driver;
  // Windows shown and still loaded, in the order they were shown.
  std::vector<Window*> shown_windows;
  int exit_code = -1;
  // Windows of other programs, by caption (for the single-instance guard),
  // and foreign windows by handle with their screen rectangles.
  std::vector<std::string> foreign_captions;
  std::vector<std::pair<std::uintptr_t, Rect>> foreign_windows;
  // The platform family GetVersionExA reports (nothing: the call fails).
  std::optional<int> platform_id = 2;
  // Answers of the 9x password dialog, in order (empty: the service is absent).
  std::deque<bool> password_answers;
  // The cursor's show count as ShowCursor keeps it (0 = visible).
  int cursor_count = 0;
  // Every system call made, in order, as readable text ("ShowCursor 0",
  // "SystemParametersInfo 97 -1", "VerifyScreenSavePwd", ...).
  std::vector<std::string> calls;
  std::uintptr_t embedded_host = 0;  // Scripted answers of the common dialogs, taken in order (nothing left or
  // an empty answer: the user cancels), and the requests they were given.
  std::deque<std::optional<std::string>> file_dialog_answers;
  std::vector<FileDialogRequest> file_dialog_requests;
  // Colour dialog: the answer, and custom colours the user leaves behind.
  std::deque<std::optional<std::uint32_t>> colour_answers;
  std::function<void(std::uint32_t (&)[16])> colour_dialog_edits;

  // Animation frames waited for; each moves the clock on by kFrameMs (no
  // timer fires for it: the waiting handler is still running).
  static constexpr int kFrameMs = 16;
  int frame_waits = 0;
  // The display's power state. While it is off, wait_while_display_off runs
  // the queued events (one of them is expected to switch it back on, or to
  // end the program) and counts the pumps; with nothing queued it throws
  // std::logic_error instead of waiting for ever.
  bool display_on = true;
  int display_off_pumps = 0;
  // A foreign window goes away (destroyed, or its process died): it leaves
  // foreign_windows and its watchers hear of it through one pump.
  void remove_foreign_window(std::uintptr_t window);

  // Queues an event for the next pump.
  void post(std::function<void()> event) { queue_.push_back(std::move(event)); }
  std::size_t pending() const { return queue_.size(); }
  // Moves the clock on; fires every enabled timer of a shown window whose
  // interval has passed (each at most once per call), in creation order.
  void advance(int milliseconds);
  long long now_ms() const { return now_ms_; }

  // Simulated user input, delivered through the event queue and pumped once.
  // A press also gives the focus to the pressed focusable surface (or its
  // nearest focusable container), after the press handler.
  void click(Control& control, int button = kLeftButton, int shift = 0);
  void press(Control& control, int button = kLeftButton, int shift = 0);
  void release(Control& control, int button = kLeftButton, int shift = 0);
  void double_click(Control& control, int button = kLeftButton);
  void move_mouse(Control& control);
  void key_down(Window& window, int key_code, int shift = 0);
  void focus(Control& control);

  // Count of refreshes of a surface since the platform started.
  int refresh_count(const Surface& surface) const;
  Control* focused = nullptr;

 private:
  friend class MemoryPeer;
  friend class MemoryWindowPeer;
  std::deque<std::function<void()>> queue_;
  long long now_ms_ = 0;
  std::vector<std::pair<const Surface*, int>> refreshes_;
  std::vector<std::pair<std::uintptr_t, std::function<void()>>> watchers_;
  void note_refresh(const Surface& surface, const Rect* area);
};

// Installs a MemoryPlatform for the lifetime of the object (tests, tools).
class ScopedMemoryPlatform {
 public:
  ScopedMemoryPlatform() { set_platform(&platform_); }
  ~ScopedMemoryPlatform() { set_platform(nullptr); }
  MemoryPlatform& operator*() { return platform_; }
  MemoryPlatform* operator->() { return &platform_; }
  const MemoryPlatform* operator->() const { return &platform_; }

 private:
  MemoryPlatform platform_;
};

}  // namespace virelta
