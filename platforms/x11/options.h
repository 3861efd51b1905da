// The command line of the X11 program, in xscreensaver's style: where to
// draw, and options that mirror the settings of Virelta.ini.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace virelta::x11 {

enum class Target {
  OwnWindow,     // a window of the program's own (-window, or no target given)
  Root,          // -root
  GivenWindow,   // -window-id ID
  SaverWindow,   // the window xscreensaver names in XSCREENSAVER_WINDOW
};

struct Options {
  Target target = Target::OwnWindow;
  std::uintptr_t window = 0;  // GivenWindow, SaverWindow
  bool fullscreen = false;
  std::string display;  // -display NAME; empty: $DISPLAY
  std::optional<std::string> settings_file;
  // Overrides of what the settings file (or its defaults) says.
  std::optional<int> speed, turns, tiles, antialias;
  bool random_size = false;
  std::optional<std::pair<int, int>> size;
  std::optional<long> seed;
  bool fps = false;
  long frames = 0;  // end after this many frames (0: run until stopped)
  bool help = false;
};

// Reads the arguments (without the program name) and XSCREENSAVER_WINDOW
// (`saver_window`, null when unset). On a bad option it returns nothing and
// says why in `problem`.
std::optional<Options> parse_options(const std::vector<std::string>& args, const char* saver_window,
                                     std::string& problem);

// Loads the settings file (or the defaults without one) into the shared
// settings state, then applies the options that override it. False when the
// settings file cannot be read.
bool apply_settings(const Options& options);

extern const char* const kUsage;

}  // namespace virelta::x11
