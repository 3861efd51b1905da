#include "settings/profile_file_io.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

namespace virelta {

namespace fs = std::filesystem;

namespace {

enum class NewFile { Written, NotCreated, Failed };

NewFile write_new_file(const fs::path& path, std::string_view bytes) {
  bool ok = false;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return NewFile::NotCreated;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    ok = out.good();
    out.close();
    ok = ok && !out.fail();
  }
  if (!ok) {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
  return ok ? NewFile::Written : NewFile::Failed;
}

bool is_writable(const fs::path& path) {
  std::ofstream probe(path, std::ios::binary | std::ios::app);
  return static_cast<bool>(probe);
}

bool read_whole(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool write_over(const fs::path& path, std::string_view bytes) {
  {
    // No truncation on open: nothing is lost before the new bytes are written.
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out.good()) return false;
  }
  std::error_code ec;
  if (fs::file_size(path, ec) > bytes.size()) fs::resize_file(path, bytes.size(), ec);
  return !ec;
}

// When the new bytes do not all fit (a full disk), the old ones, which fit
// where they were, go back.
bool overwrite_in_place(const fs::path& path, std::string_view bytes) {
  std::string old;
  if (!read_whole(path, old)) return false;
  if (write_over(path, bytes)) return true;
  write_over(path, old);
  return false;
}

}  // namespace

fs::path native_path(const std::string& utf8_path) {
#ifdef _WIN32
  return fs::path(std::u8string(utf8_path.begin(), utf8_path.end()));
#else
  std::string path = utf8_path;
  std::replace(path.begin(), path.end(), '\\', '/');
  return fs::path(path);
#endif
}

FileBytes read_file_bytes(const std::string& utf8_path) {
  FileBytes result;
  try {
    fs::path path = native_path(utf8_path);
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return result;
    result.state = FileState::Unreadable;
    if (status.type() != fs::file_type::regular) return result;
    std::ifstream in(path, std::ios::binary);
    if (!in) return result;
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
      bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return result;
    result.state = FileState::Read;
    result.bytes = std::move(bytes);
  } catch (const std::exception&) {
    // Unconvertible path or no memory: the file counts as unreadable.
    result.state = FileState::Unreadable;
    result.bytes.clear();
  }
  return result;
}

bool replace_file_bytes(const std::string& utf8_path, std::string_view bytes) {
  try {
    fs::path target = native_path(utf8_path);
    std::error_code ec;
    fs::file_status status = fs::status(target, ec);
    bool exists = status.type() == fs::file_type::regular;
    if (!exists && status.type() != fs::file_type::not_found) return false;
    // A rename would replace even a read-only file on some systems.
    if (exists && !is_writable(target)) return false;

    fs::path temp = target;
    temp += ".tmp";
    switch (write_new_file(temp, bytes)) {
      case NewFile::Written:
        if (exists) fs::permissions(temp, status.permissions(), ec);
        fs::rename(temp, target, ec);
        if (!ec) return true;
        fs::remove(temp, ec);
        break;
      case NewFile::NotCreated:
        break;
      case NewFile::Failed:
        // A write that failed beside the file would fail over it too.
        return false;
    }
    return exists && overwrite_in_place(target, bytes);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace virelta
