// Reading and writing one key of a profile file on disk.
#include "settings/profile_file.h"

#include "settings/profile_file_io.h"

namespace virelta {

namespace {

// Names and values reach the platform's functions as C strings.
std::string_view up_to_nul(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string_view name_to_read(std::string_view name) { return trim(up_to_nul(name)); }

std::string_view name_to_write(std::string_view name) {
  return trim(up_to_nul(name).substr(0, kProfileNameLimit));
}

}  // namespace

std::string read_profile_string(std::string_view section, std::string_view key,
                                const std::string& file) {
  FileBytes contents = read_file_bytes(std::string(up_to_nul(file)));
  if (contents.state != FileState::Read) return {};
  return profile_value(contents.bytes, name_to_read(section), name_to_read(key)).value_or("");
}

bool write_profile_string(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& file) {
  std::string path(up_to_nul(file));
  section = name_to_write(section);
  key = name_to_write(key);
  value = up_to_nul(value);

  FileBytes contents = read_file_bytes(path);
  // Rewriting a file we could not read would lose its other keys.
  if (contents.state == FileState::Unreadable) return false;
  std::string updated = profile_with_value(contents.bytes, section, key, value);
  // A line break in the value, '=' in the key, ']' in the section and the
  // like would store something else than what was asked for.
  if (profile_value(updated, section, key) != profile_value_as_read(value)) return false;
  if (contents.state == FileState::Read && updated == contents.bytes) return true;
  return replace_file_bytes(path, updated);
}

}  // namespace virelta
