#include "settings/settings_location.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "forms/form_layer.h"
#include "settings/profile_file_io.h"
#include "settings/settings.h"

namespace virelta {

namespace {
bool file_exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(native_path(path), ec);
}
}  // namespace

bool folder_takes_settings(const std::string& folder) {
  std::error_code ec;
  const std::string file = settings_file_path(folder);
  if (file_exists(file)) {
    // Opening for appending changes nothing but fails on a read-only file.
    std::ofstream probe(native_path(file), std::ios::binary | std::ios::app);
    if (probe) return true;
  }
  // The folder takes new files: try one and take it away. A read-only file
  // in a writable folder stays the place to save, so that the user is told
  // the save failed rather than finding the settings somewhere else.
  const std::string trial = folder + "\\Virelta.ini.probe";
  {
    std::ofstream probe(native_path(trial), std::ios::binary | std::ios::trunc);
    if (!probe) return false;
  }
  std::filesystem::remove(native_path(trial), ec);
  return true;
}

std::string settings_folder_for_reading() {
  const std::string user = platform().user_settings_folder();
  if (!user.empty() && file_exists(settings_file_path(user))) return user;
  return platform().program_folder();
}

std::string settings_folder_for_writing() {
  const std::string user = platform().user_settings_folder();
  if (!user.empty() && file_exists(settings_file_path(user))) return user;
  const std::string program = platform().program_folder();
  if (user.empty() || folder_takes_settings(program)) return program;
  std::error_code ec;
  std::filesystem::create_directories(native_path(user), ec);
  return user;
}

}  // namespace virelta
