// Makes the pictures the saver ships and its documentation shows:
//
//   virelta-preview-picture desktop WIDTH HEIGHT OUT.bmp
//       a synthetic desktop (background, icons, two windows, a taskbar)
//   virelta-preview-picture preview OUT.bmp OUT.inc
//       the 152 x 112 preview picture: that desktop with four tiles turned at
//       different angles by the engine (black corners), drawn at four times
//       the size and averaged down; OUT.inc holds the bitmap file's bytes for
//       the program to compile in.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "forms/bmp_file.h"
#include "forms/form_layer.h"
#include "platforms/memory/memory_form_layer.h"
#include "effects/cls_asm_pic.h"

using namespace virelta;

namespace {

constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;
constexpr int kOversample = 4;

std::uint32_t px(int r, int g, int b) { return pixel_from_colour(rgb(r, g, b)); }

int scaled(double fraction, int side) { return static_cast<int>(std::lround(fraction * side)); }

Rect area(const Image& im, double x, double y, double w, double h) {
  return {scaled(x, im.width()), scaled(y, im.height()), scaled(w, im.width()), scaled(h, im.height())};
}

void fill_disc(Image& im, double cx, double cy, double radius, std::uint32_t pixel) {
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x) {
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= radius * radius) im.at(x, y) = pixel;
    }
}

// A window with a title bar, three caption buttons and a client area.
Rect draw_window(Image& im, const Rect& r, std::uint32_t title_top, std::uint32_t title_bottom) {
  im.fill_rect(r, px(212, 208, 200));
  im.draw_frame(r, px(64, 64, 64));
  int bar = std::max(3, r.height / 12);
  Rect title{r.left + 2, r.top + 2, r.width - 4, bar};
  im.gradient_vertical(title, title_top, title_bottom);
  int button = std::max(2, bar - 2);
  for (int k = 0; k < 3; ++k)
    im.fill_rect({title.right() - (k + 1) * (button + 1) - 1, title.top + 1, button, button}, px(212, 208, 200));
  Rect client{r.left + 3, title.bottom() + 2, r.width - 6, r.height - bar - 7};
  im.fill_rect(client, px(255, 255, 255));
  return client;
}

Image synthetic_desktop(int width, int height) {
  Image im(width, height, 0);
  im.gradient_vertical(im.bounds(), px(22, 48, 110), px(36, 150, 160));
  // A low sun and hills give the turning tiles shapes to show.
  fill_disc(im, width * 0.80, height * 0.30, height * 0.12, px(250, 210, 90));
  for (int x = 0; x < width; ++x) {
    double t = static_cast<double>(x) / width;
    int top = scaled(0.72 + 0.06 * std::sin(t * 9.0) + 0.03 * std::sin(t * 23.0), height);
    for (int y = std::max(top, 0); y < height; ++y) im.at(x, y) = px(40, 110 + (y - top) * 60 / height, 60);
  }
  // Icons down the left edge, each with its label bar.
  const std::uint32_t icon_colours[] = {px(240, 200, 60), px(90, 150, 240), px(80, 190, 90), px(220, 80, 70)};
  for (int k = 0; k < 4; ++k) {
    im.fill_rect(area(im, 0.02, 0.04 + k * 0.13, 0.045, 0.06), icon_colours[k]);
    im.fill_rect(area(im, 0.015, 0.11 + k * 0.13, 0.055, 0.012), px(255, 255, 255));
  }
  // A text window.
  Rect text = draw_window(im, area(im, 0.16, 0.08, 0.46, 0.50), px(10, 36, 106), px(120, 160, 230));
  const int thickness = std::max(1, text.height / 40);
  for (int line = 0;; ++line) {
    int length = text.width * (40 + (line * 37) % 55) / 100;
    int y = text.top + 4 + line * std::max(3, text.height / 14);
    if (y + thickness + 3 > text.bottom()) break;
    im.fill_rect({text.left + 4, y, length - 8, thickness}, px(90, 90, 110));
  }
  // A picture viewer with colour bands and a checkerboard.
  Rect view = draw_window(im, area(im, 0.50, 0.36, 0.42, 0.48), px(100, 20, 60), px(230, 120, 160));
  const std::uint32_t bands[] = {px(230, 60, 60), px(240, 160, 40), px(240, 230, 60),
                                 px(70, 190, 80), px(60, 130, 230), px(140, 80, 200)};
  for (int k = 0; k < 6; ++k)
    im.fill_rect({view.left, view.top + k * view.height / 12, view.width, view.height / 12 + 1}, bands[k]);
  int cell = std::max(2, view.width / 16);
  for (int y = view.top + view.height / 2; y < view.bottom(); ++y)
    for (int x = view.left; x < view.right(); ++x)
      im.at(x, y) = (((x - view.left) / cell + (y - view.top) / cell) % 2) ? px(30, 30, 30) : px(245, 245, 245);
  // The taskbar.
  Rect bar = area(im, 0, 0.94, 1, 0.06);
  bar.height = height - bar.top;
  im.fill_rect(bar, px(192, 192, 192));
  im.fill_rect({0, bar.top, width, std::max(1, height / 300)}, px(255, 255, 255));
  im.fill_rect(area(im, 0.005, 0.95, 0.07, 0.04), px(60, 160, 70));
  im.fill_rect(area(im, 0.90, 0.95, 0.09, 0.04), px(168, 168, 168));
  return im;
}

// Turns one rectangle of the picture in place with the engine, as the saver
// does: bilinear, black where the turned picture leaves corners.
void turn_tile(Image& picture, const Rect& place, int angle) {
  Surface tile(nullptr, "tile");
  tile.move(0, 0, place.width, place.height);
  tile.image().copy_from(picture, place.left, place.top, place.width, place.height, 0, 0);
  effects::clsASMpic engine;
  engine.PictureBox(tile);
  engine.ASM_Rotate(static_cast<Integer>(angle), true, true, 0);
  picture.copy_from(tile.image(), 0, 0, place.width, place.height, place.left, place.top);
}

Image average_down(const Image& big, int factor) {
  Image small(big.width() / factor, big.height() / factor, 0);
  for (int y = 0; y < small.height(); ++y)
    for (int x = 0; x < small.width(); ++x) {
      unsigned sum[3] = {0, 0, 0};
      for (int dy = 0; dy < factor; ++dy)
        for (int dx = 0; dx < factor; ++dx) {
          std::uint32_t p = big.at(x * factor + dx, y * factor + dy);
          for (int c = 0; c < 3; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
        }
      std::uint32_t out = 0;
      for (int c = 0; c < 3; ++c) out |= ((sum[c] + factor * factor / 2) / (factor * factor)) << (8 * c);
      small.at(x, y) = out;
    }
  return small;
}

Image preview_picture() {
  ScopedMemoryPlatform platform;
  Image big = synthetic_desktop(kPreviewWidth * kOversample, kPreviewHeight * kOversample);
  struct Tile {
    Rect place;
    int angle;
  };
  const Tile tiles[] = {{{60, 44, 156, 140}, 20},
                        {{330, 36, 168, 152}, 335},
                        {{120, 236, 152, 144}, 305},
                        {{384, 240, 160, 140}, 55}};
  for (const Tile& t : tiles) turn_tile(big, t.place, t.angle);
  return average_down(big, kOversample);
}

bool write_include(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << "// The preview picture's bitmap file, made by tools/virelta-preview-picture.cpp.\n";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out << static_cast<unsigned>(bytes[i]) << ',';
    if (i % 24 == 23) out << '\n';
  }
  out << '\n';
  return static_cast<bool>(out);
}

int usage() {
  std::fprintf(stderr,
               "usage: virelta-preview-picture desktop WIDTH HEIGHT OUT.bmp\n"
               "       virelta-preview-picture preview OUT.bmp OUT.inc\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "desktop") {
    int width = std::atoi(args[1].c_str()), height = std::atoi(args[2].c_str());
    if (width < 16 || height < 16 || width > 16384 || height > 16384) return usage();
    ScopedMemoryPlatform platform;
    if (!write_bmp(args[3], synthetic_desktop(width, height))) {
      std::fprintf(stderr, "cannot write %s\n", args[3].c_str());
      return 1;
    }
    return 0;
  }
  if (args.size() == 3 && args[0] == "preview") {
    Image picture = preview_picture();
    std::vector<std::uint8_t> bytes = encode_bmp(picture);
    if (!write_file_bytes(args[1], bytes) || !write_include(args[2], bytes)) {
      std::fprintf(stderr, "cannot write the preview picture\n");
      return 1;
    }
    return 0;
  }
  return usage();
}
