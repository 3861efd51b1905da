// A folder of its own for each test, removed afterwards, with exact bytes put
// into it and read back.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace virelta::testing {

namespace fs = std::filesystem;

class TempFolder {
 public:
  // `name_part` in UTF-8 may hold characters outside the system code page.
  explicit TempFolder(std::string_view name_part = "virelta") {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::string name = std::string(name_part) + "-" + std::to_string(stamp) + "-" + std::to_string(counter++);
    path_ = fs::temp_directory_path() / fs::path(std::u8string(name.begin(), name.end()));
    std::error_code ec;
    fs::create_directories(path_, ec);  // Wine in a C locale cannot make every name: see created()
  }
  ~TempFolder() {
    for (auto p = locked_.rbegin(); p != locked_.rend(); ++p) set_locked(*p, false);
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& path() const { return path_; }
  bool created() const { return fs::is_directory(path_); }
  std::string utf8() const {
    const std::u8string text = path_.u8string();
    return std::string(text.begin(), text.end());
  }
  // Joined with a backslash, as the program joins its folder and file.
  std::string file(std::string_view name) const { return utf8() + "\\" + std::string(name); }
  void put(std::string_view name, std::string_view bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string bytes(std::string_view name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool exists(std::string_view name) const { return fs::exists(path_ / name); }

  // Makes a file or folder here refuse changes, even for the superuser where the
  // file system has an immutable flag; false where writes still succeed.
  bool lock(const fs::path& p) {
    locked_.push_back(p);
    set_locked(p, true);
    const bool folder = fs::is_directory(p);
    const bool refused = !std::ofstream(folder ? p / "probe.tmp" : p, std::ios::binary | std::ios::app);
    std::error_code ec;
    if (folder) fs::remove(p / "probe.tmp", ec);
    return refused;
  }

 private:
  static void set_locked(const fs::path& p, bool locked) {
#if !defined(_WIN32)
    if (std::system(("chattr " + std::string(locked ? "+i '" : "-i '") + p.string() + "' 2>/dev/null").c_str())) {
    }
#endif
    std::error_code ec;
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    locked ? fs::perm_options::remove : fs::perm_options::add, ec);
  }
  fs::path path_;
  std::vector<fs::path> locked_;
};

}  // namespace virelta::testing
