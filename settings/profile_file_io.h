// Whole-file reads and replacements for the profile file, with paths given in
// UTF-8 so that names outside the system code page work on every platform.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace virelta {

// The program joins folder and file name with a backslash; on platforms whose
// separator is '/', backslashes are read as separators.
std::filesystem::path native_path(const std::string& utf8_path);

enum class FileState { Missing, Read, Unreadable };

struct FileBytes {
  FileState state = FileState::Missing;
  std::string bytes;
};

FileBytes read_file_bytes(const std::string& utf8_path);

// Replaces the file's contents (creating it when missing). The new bytes go to
// a temporary file beside it that is then renamed over it, so a failure leaves
// the old bytes and no temporary file. Only when the folder refuses new files
// is an existing, writable file overwritten in place (its old bytes put back
// when the new ones do not fit). False on any failure.
bool replace_file_bytes(const std::string& utf8_path, std::string_view bytes);

}  // namespace virelta
