// The start-up module: the entry procedure, its mode dispatch, the platform
// routines the windows share, and the module state that belongs to them.
#pragma once

#include "runtime/runtime.h"

namespace virelta {

// Screen point (pixels) from which the settings dialog zooms open and into
// which it zooms shut; 0 until the dialog sets it.
extern Integer ZoomOriginX;
extern Integer ZoomOriginY;

// Captions by which a second start finds a running copy.
inline constexpr const char* kSaverCaption = "Virelta_Main";
inline constexpr const char* kSettingsCaption = "Vireltaの設定";  // UTF-8 in code
// The dialog's caption where Japanese is not the display language.
inline constexpr const char* kSettingsCaptionEnglish = "Virelta Settings";

}  // namespace virelta

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace virelta {

// The windows that serve the modes; start-up only knows them by these entries.
struct ModeWindows {
  // Shows the settings dialog modally; returns when it has closed.
  std::function<void()> show_settings;
  // Loads the saver window (its load handler shows it).
  std::function<void()> load_saver;
  // Shows the still preview inside the host window named on the command line.
  std::function<void(const std::string& command_line)> show_preview;
};

// The mode switch: the second character of the upper-cased command line, or
// 0 when the command line is shorter than two characters.
char mode_switch(const std::string& command_line);

// The window handle after a switch ("/p 1234", "/c:1234"): the number from
// the fourth character on; nothing when there is none or it is 0. Handles
// are 32-bit values, sign-extended on 64-bit builds.
std::optional<std::uintptr_t> handle_after_switch(const std::string& command_line);

// The entry procedure: single-instance guard, mode dispatch, settings.
void Main(const ModeWindows& windows);

// Tells the platform a saver is running (allow = false) or not (true).
void AllowSystemKeys(bool allow);
bool IsWindowsNT();
void ZoomWindowOpen(std::uintptr_t hWnd);
void ZoomWindowClose(std::uintptr_t hWnd);

}  // namespace virelta
