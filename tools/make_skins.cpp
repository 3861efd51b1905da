// Draws the Command button's six skins from controls/skin_design.h and
// writes them as 24-bit Windows bitmaps. Run after changing a colour:
//   make_skins [folder]        (default: resources/skins)
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "forms/bmp_file.h"
#include "controls/skins.h"

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// BI_RGB, 24 bits, rows bottom-up padded to four bytes.
std::vector<std::uint8_t> encode_bmp_24(const virelta::Image& picture) {
  const int w = picture.width(), h = picture.height();
  const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  const std::uint32_t pixels_size = stride * static_cast<std::uint32_t>(h);
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + pixels_size);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(w));
  put32(out, static_cast<std::uint32_t>(h));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);
  put32(out, pixels_size);
  put32(out, 3780);  // 96 dots per inch
  put32(out, 3780);
  put32(out, 0);
  put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    std::size_t start = out.size();
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = picture.at(x, y);
      out.push_back(static_cast<std::uint8_t>(p));
      out.push_back(static_cast<std::uint8_t>(p >> 8));
      out.push_back(static_cast<std::uint8_t>(p >> 16));
    }
    while (out.size() - start < stride) out.push_back(0);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "resources/skins";
  int failures = 0;
  for (virelta::SkinName skin : virelta::kAllSkins) {
    const std::string path = folder + "/" + std::string(virelta::skin_name_text(skin)) + ".bmp";
    if (virelta::write_file_bytes(path, encode_bmp_24(virelta::draw_skin(skin)))) {
      std::printf("wrote %s\n", path.c_str());
    } else {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
