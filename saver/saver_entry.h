// Entries start-up uses to reach the saver window and the preview.
#pragma once

#include <string>

namespace virelta::saver {

// Loads the full-screen saver window (its load handler shows it).
void load_saver_window();
// Shows the still preview inside the host window named on the command line.
void show_preview_window(const std::string& command_line);

}  // namespace virelta::saver
