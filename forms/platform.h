// What a platform gives the form layer: the screen's facts, the event pump,
// message boxes, a peer for each control, pictures, the common dialogs, frame
// pacing and the way to the operating system's calls. A platform is a Win32
// one (the program), an X11 one (virelta) or the in-memory one of the tests
// and tools; the controls of form_layer.h are written against this.
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

#include "forms/image.h"
#include "forms/system_calls.h"
#include "runtime/runtime.h"

namespace virelta {

class Control;
class Surface;
class Window;
class Timer;

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct ScreenInfo {
  int width = 1024;  // pixels
  int height = 768;
  double twips_per_pixel_x = 15;
  double twips_per_pixel_y = 15;
  int bits_per_pixel = 32;
  // Origin of the area the saver covers (the virtual screen may start left of
  // or above the primary monitor).
  int left = 0;
  int top = 0;
  // The primary monitor, where dialogs are centred; empty: the whole area.
  Rect primary{};
};

// The primary monitor's rectangle (the whole screen when none is given).
inline Rect primary_monitor(const ScreenInfo& screen) {
  return screen.primary.empty() ? Rect{screen.left, screen.top, screen.width, screen.height} : screen.primary;
}

enum class MessageIcon { Critical, Information };

// What a picture-file dialog is asked to show.
struct FileDialogRequest {
  bool save = false;
  std::string title;
  // Description and pattern list pairs, in order.
  std::vector<std::pair<std::string, std::string>> filters;
  std::uintptr_t owner = 0;
};

// Mouse buttons as the event handlers receive them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

struct MouseEvent {
  int button = kLeftButton;
  int shift = 0;
  float x = 0;  // in the control's own pixels
  float y = 0;
};

struct Font {
  std::string name = "ＭＳ Ｐゴシック";
  double size = 9.75;  // points
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 128;  // Shift-JIS
  bool operator==(const Font&) const = default;
};

enum class Alignment { Left, Right, Center };

// Virtual key codes and shift bits as the key handlers receive them.
inline constexpr int kKeyTab = 0x09, kKeyEnter = 0x0D, kKeyEscape = 0x1B, kKeySpace = 0x20;
inline constexpr int kKeyPageUp = 0x21, kKeyPageDown = 0x22, kKeyEnd = 0x23, kKeyHome = 0x24;
inline constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;
inline constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

// Mouse pointers (Control::mouse_pointer, Platform::set_mouse_pointer).
inline constexpr int kDefaultPointer = 0;
inline constexpr int kHourglassPointer = 11;
inline constexpr int kCustomPointer = 99;
// Resources of the program file: its icon and the pointing-hand cursor
// (32 x 32, hot spot at the fingertip 12, 1).
inline constexpr int kProgramIconResource = 1;
inline constexpr int kHandCursorResource = 2;

// What a platform does for one control. Every hook has a do-nothing default.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void geometry_changed() {}
  virtual void visibility_changed() {}
  virtual void enabled_changed() {}
  // Text, picture, colour or value changed: show it.
  virtual void content_changed() {}
  // Surfaces: show the stored picture (the whole of it, or one area).
  virtual void refresh(const Rect* area) { (void)area; }
  virtual void set_focus() {}
  // The control gained or lost the focus: show or take away its focus cue.
  virtual void focus_cue_changed() {}
  // Bits per pixel of the surface's drawing context.
  virtual int bits_per_pixel() const { return 32; }
  // A platform handle for the control (window handle), 0 when it has none.
  virtual std::uintptr_t handle() const { return 0; }
};

class WindowPeer : public ControlPeer {
 public:
  virtual void show() {}
  virtual void hide() {}
  // Runs until the window is unloaded.
  virtual void show_modal() {}
  virtual void unloaded() {}
  virtual void caption_changed() {}
  virtual void make_topmost() {}
  // A timer of the window was switched on or off or got a new interval.
  virtual void timers_changed() {}
};

// The platform's services to the form layer (the program facts, event pump,
// message box, peers, pictures, common dialogs, frame pacing), and the way to
// its operating-system calls.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual ScreenInfo screen() const = 0;
  // The executable's folder as the platform reports it (no trailing separator).
  virtual std::string program_folder() const = 0;
  // The command-line text after the program path.
  virtual std::string command_line() const = 0;
  // Handles all pending events once, then returns.
  virtual void do_events() = 0;
  virtual void message_box(const std::string& title, const std::string& text, MessageIcon icon) = 0;
  // Ends the whole program at once (never returns).
  [[noreturn]] virtual void end_program(int exit_code) = 0;
  // Gives a new control its platform peer.
  virtual std::unique_ptr<ControlPeer> make_peer(Control& control) = 0;
  // Copies a rectangle of the screen as the user sees it into `target`.
  virtual bool capture_screen(Image& target, const Rect& screen_area, int target_x, int target_y) = 0;
  virtual std::optional<Point> cursor_position() const = 0;
  // The control whose area (or window) lies under the mouse cursor, if it is ours.
  virtual const Control* control_under_cursor() const = 0;
  // Application-wide mouse pointer (0 default, 11 hourglass).
  virtual void set_mouse_pointer(int pointer) = 0;
  // Picture files: load (BMP, GIF, JPEG, icon, cursor) and save as a Windows bitmap.
  virtual bool load_picture(const std::string& path, Image& picture) = 0;
  virtual bool save_picture(const Image& picture, const std::string& path) = 0;
  // The common dialogs. Each returns nothing when the user cancels.
  virtual std::optional<std::string> file_dialog(const FileDialogRequest& request) = 0;
  // `custom_colours` holds the 16 custom colours; the dialog may change them
  // (they are only kept by the caller when the user confirms).
  virtual std::optional<std::uint32_t> choose_colour(std::uint32_t (&custom_colours)[16], std::uintptr_t owner) = 0;
  RandomGenerator& random() { return program_random(); }
  // The user's display language is Japanese (else the windows speak English).
  virtual bool japanese_display() const = 0;
  // The operating system's own calls on this platform.
  virtual SystemCalls& system() = 0;
  // Embeds a window as a child of a foreign window (the preview host).
  virtual void embed_in(Window& window, std::uintptr_t host) = 0;

  // ---- Pacing and foreign windows (the saver's animation and its preview).
  // Returns when the display is ready for the next animation frame, so that
  // the saver draws at most one step per displayed frame (about 60 a second)
  // and the processor idles in between. Input that arrives meanwhile may be
  // handled here as the event pump would (its handlers may end the program)
  // or wait for the step's own event pump, a frame later at the most.
  // Win32: DwmFlush while composition works, then (as it can return early)
  // a sleep, or a high-resolution waitable timer where sleeps are coarse,
  // for whatever is left of the frame. The in-memory platform moves its
  // clock on one frame.
  virtual void wait_for_frame() = 0;
  // The display's power state. While the display is off the saver draws
  // nothing: wait_while_display_off returns once it is on again, handling
  // input meanwhile as the event pump would (its handlers may end the
  // program there) and leaving the processor idle. It never keeps the
  // display awake. Win32: GUID_CONSOLE_DISPLAY_STATE notifications and a
  // blocking wait for messages.
  virtual bool display_is_on() const = 0;
  virtual void wait_while_display_off() = 0;
  // The per-user folder for settings when the program's own folder cannot be
  // written (%APPDATA%\Virelta on Windows); empty when there is none.
  virtual std::string user_settings_folder() const = 0;
  // Calls `gone` once, on the user-interface thread, when the foreign window
  // no longer exists: destroyed by its owner, or vanished with its process
  // (then no message arrives at all). Win32: a thread timer polling IsWindow.
  virtual void watch_window(std::uintptr_t window, std::function<void()> gone) = 0;
};

// The platform the program runs on; set once at start-up (or by a test).
// Using it before one is set stops the program with a message.
Platform& platform();
void set_platform(Platform* platform);
// The installed platform's operating-system calls.
inline SystemCalls& system_calls() { return platform().system(); }

// Twips conversions with the screen's twips per pixel.
double twips_x(double pixels);
double twips_y(double pixels);
int pixels_from_twips_x(double twips);
int pixels_from_twips_y(double twips);

}  // namespace virelta
