// Where the settings file lives. It stays beside the program; when that
// folder cannot be written (a saver installed under System32 or Program
// Files), the settings go to a per-user folder instead, and a per-user file,
// once it exists, is the one read and written.
#pragma once

#include <string>

namespace virelta {

// The folder whose "\Virelta.ini" start-up reads.
std::string settings_folder_for_reading();
// The folder the settings dialog saves to (created when it is missing).
std::string settings_folder_for_writing();
// True when the folder's settings file can be changed, or the folder takes
// new files (a read-only file in a writable folder still counts: saving
// there fails and is reported).
bool folder_takes_settings(const std::string& folder);

}  // namespace virelta
