// Entries start-up uses to reach the saver window and the preview.
#pragma once

#include <string>

namespace virelta::saver {

class Virelta_S;
class Virelta_R;

// Loads the full-screen saver window (its load handler shows it).
void load_saver_window();
// Shows the still preview inside the host window named on the command line.
void show_preview_window(const std::string& command_line);

// The windows those entries made (null before), for tests and tools.
Virelta_S* saver_window();
Virelta_R* preview_window();
// Drops them (tests run start-up many times in one process).
void release_windows();

}  // namespace virelta::saver
