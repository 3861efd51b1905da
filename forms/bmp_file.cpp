#include "forms/bmp_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace virelta {

namespace {

std::uint32_t read_u32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t read_u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put_u16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

bool fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

std::filesystem::path to_path(const std::string& utf8_path) {
  return std::filesystem::path(std::u8string(utf8_path.begin(), utf8_path.end()));
}

}  // namespace

bool decode_bmp(const std::vector<std::uint8_t>& bytes, Image& picture, std::string* error) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return fail(error, "not a Windows bitmap");
  std::uint32_t offset = read_u32(&bytes[10]);
  std::uint32_t header_size = read_u32(&bytes[14]);
  if (header_size < 40 || 14 + static_cast<std::uint64_t>(header_size) > bytes.size())
    return fail(error, "unsupported bitmap header");
  std::int32_t width = static_cast<std::int32_t>(read_u32(&bytes[18]));
  std::int32_t height = static_cast<std::int32_t>(read_u32(&bytes[22]));
  std::uint16_t bits = read_u16(&bytes[28]);
  std::uint32_t compression = read_u32(&bytes[30]);
  if (bits != 24 && bits != 32) return fail(error, "only 24- and 32-bit bitmaps are read");
  if (compression != 0 && !(compression == 3 && bits == 32)) return fail(error, "compressed bitmaps are not read");
  if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min())
    return fail(error, "bad bitmap size");
  bool top_down = height < 0;
  std::int64_t rows = top_down ? -static_cast<std::int64_t>(height) : height;
  std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  if (static_cast<std::uint64_t>(width) * rows > (1u << 28)) return fail(error, "bitmap too large");
  if (offset > bytes.size() || stride * rows > bytes.size() - offset) return fail(error, "bitmap data cut short");
  picture = Image(width, static_cast<int>(rows));
  for (std::int64_t r = 0; r < rows; ++r) {
    const std::uint8_t* src = bytes.data() + offset + stride * r;
    int y = static_cast<int>(top_down ? r : rows - 1 - r);
    std::uint32_t* dst = picture.row(y);
    for (int x = 0; x < width; ++x) {
      if (bits == 32) dst[x] = read_u32(src + 4 * x);
      else dst[x] = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16);
    }
  }
  return true;
}

std::vector<std::uint8_t> encode_bmp(const Image& picture) {
  std::uint32_t data_size = static_cast<std::uint32_t>(picture.width()) * picture.height() * 4;
  std::vector<std::uint8_t> out;
  out.reserve(54 + data_size);
  out.push_back('B');
  out.push_back('M');
  put_u32(out, 54 + data_size);
  put_u32(out, 0);
  put_u32(out, 54);
  put_u32(out, 40);
  put_u32(out, static_cast<std::uint32_t>(picture.width()));
  put_u32(out, static_cast<std::uint32_t>(picture.height()));
  put_u16(out, 1);
  put_u16(out, 32);
  put_u32(out, 0);  // BI_RGB
  put_u32(out, data_size);
  put_u32(out, 3780);  // 96 dots per inch
  put_u32(out, 3780);
  put_u32(out, 0);
  put_u32(out, 0);
  for (int y = picture.height() - 1; y >= 0; --y) {
    const std::uint32_t* row = picture.row(y);
    for (int x = 0; x < picture.width(); ++x) put_u32(out, row[x]);
  }
  return out;
}

bool read_file_bytes(const std::string& utf8_path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(to_path(utf8_path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool write_file_bytes(const std::string& utf8_path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(to_path(utf8_path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

bool read_bmp(const std::string& utf8_path, Image& picture, std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (!read_file_bytes(utf8_path, bytes)) return fail(error, "cannot read the file");
  return decode_bmp(bytes, picture, error);
}

bool write_bmp(const std::string& utf8_path, const Image& picture) {
  return write_file_bytes(utf8_path, encode_bmp(picture));
}

}  // namespace virelta
