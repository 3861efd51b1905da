// A folder of its own for each test, removed afterwards, with helpers to put
// exact bytes into it and read them back.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace virelta::testing {

class TempFolder {
 public:
  // `name_part` lets a test put characters outside the system code page into
  // the folder's name (UTF-8).
  explicit TempFolder(std::string_view name_part = "virelta");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  bool created() const;
  // The folder in UTF-8, the way the program reports its own folder.
  std::string utf8() const;
  // The folder joined to a file name with a backslash, as the program does.
  std::string file(std::string_view name) const;

  void put(std::string_view name, std::string_view bytes) const;
  std::string bytes(std::string_view name) const;
  bool exists(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Takes away write permission and reports whether the platform now refuses
// writes (it does not for the superuser on POSIX systems).
bool make_read_only(const std::filesystem::path& path);
void make_writable(const std::filesystem::path& path);

std::string to_utf8(const std::filesystem::path& path);
std::filesystem::path from_utf8(std::string_view text);

}  // namespace virelta::testing
