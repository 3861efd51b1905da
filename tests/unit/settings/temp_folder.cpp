#include "temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>

namespace virelta::testing {

namespace fs = std::filesystem;

std::string to_utf8(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path from_utf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

TempFolder::TempFolder(std::string_view name_part) {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::string name = std::string(name_part) + "-" + std::to_string(stamp) + "-" +
                     std::to_string(counter++);
  path_ = fs::temp_directory_path() / from_utf8(name);
  // Under Wine with a C locale, names outside ASCII cannot be made: the
  // test using such a name checks created() and skips.
  std::error_code ec;
  fs::create_directories(path_, ec);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  make_writable(path_);
  for (const auto& entry : fs::directory_iterator(path_, ec)) make_writable(entry.path());
  fs::remove_all(path_, ec);
}

bool TempFolder::created() const { return fs::is_directory(path_); }

std::string TempFolder::utf8() const { return to_utf8(path_); }

std::string TempFolder::file(std::string_view name) const { return utf8() + "\\" + std::string(name); }

void TempFolder::put(std::string_view name, std::string_view bytes) const {
  std::ofstream out(path_ / from_utf8(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::bytes(std::string_view name) const {
  std::ifstream in(path_ / from_utf8(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempFolder::exists(std::string_view name) const { return fs::exists(path_ / from_utf8(name)); }

bool make_read_only(const fs::path& path) {
  std::error_code ec;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove, ec);
  if (fs::is_directory(path)) {
    fs::path probe = path / "probe.tmp";
    bool created = static_cast<bool>(std::ofstream(probe));
    fs::remove(probe, ec);
    return !created;
  }
  return !std::ofstream(path, std::ios::binary | std::ios::app);
}

void make_writable(const fs::path& path) {
  std::error_code ec;
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
}

}  // namespace virelta::testing
