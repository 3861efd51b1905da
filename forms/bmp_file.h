// Windows bitmap files: reading uncompressed 24- and 32-bit pictures (rows
// bottom-up or top-down) and writing 32-bit BI_RGB bottom-up files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/image.h"

namespace virelta {

// Reads a bitmap held in memory. The fourth byte of each pixel is kept as
// stored in 32-bit files and is 0 for 24-bit ones. On failure returns false
// and says why in `error`.
bool decode_bmp(const std::vector<std::uint8_t>& bytes, Image& picture, std::string* error = nullptr);
std::vector<std::uint8_t> encode_bmp(const Image& picture);

bool read_file_bytes(const std::string& utf8_path, std::vector<std::uint8_t>& bytes);
bool write_file_bytes(const std::string& utf8_path, const std::vector<std::uint8_t>& bytes);

bool read_bmp(const std::string& utf8_path, Image& picture, std::string* error = nullptr);
bool write_bmp(const std::string& utf8_path, const Image& picture);

}  // namespace virelta
