// A persistent 32-bit picture: what every surface keeps and shows when it is
// refreshed. Pixels are 32-bit values whose bytes in memory are blue, green,
// red, unused (0x00RRGGBB as a number); rows are stored top-down.
#pragma once

#include <cstdint>
#include <vector>

namespace virelta {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  bool contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
  bool operator==(const Rect&) const = default;
};

Rect intersect(const Rect& a, const Rect& b);
Rect unite(const Rect& a, const Rect& b);

// Colours are &H00BBGGRR (red in the low byte); pixels hold B, G, R in memory.
inline std::uint32_t pixel_from_colour(std::uint32_t colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}
inline std::uint32_t colour_from_pixel(std::uint32_t pixel) { return pixel_from_colour(pixel) & 0xFFFFFF; }
inline std::uint32_t rgb(int red, int green, int blue) {
  return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
         (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

class Image {
 public:
  Image() = default;
  Image(int width, int height, std::uint32_t fill_pixel = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ <= 0 || height_ <= 0; }
  Rect bounds() const { return {0, 0, width_, height_}; }

  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  std::uint32_t& at(int x, int y) { return row(y)[x]; }
  std::uint32_t at(int x, int y) const { return row(y)[x]; }
  std::uint32_t* data() { return pixels_.data(); }
  const std::uint32_t* data() const { return pixels_.data(); }

  // New size; what fits keeps its place at the top left, the rest is filled.
  void resize(int width, int height, std::uint32_t fill_pixel = 0);
  void fill(std::uint32_t pixel);
  void fill_rect(const Rect& area, std::uint32_t pixel);
  // Plain source copy of a rectangle (BitBlt with SRCCOPY), clipped to both
  // pictures; parts of the source outside `source` leave the target as it was.
  void copy_from(const Image& source, int source_x, int source_y, int width, int height, int target_x,
                 int target_y);
  // Nearest-neighbour stretch of a source rectangle onto a target rectangle.
  void stretch_from(const Image& source, const Rect& from, const Rect& to);
  void draw_line(int x0, int y0, int x1, int y1, std::uint32_t pixel);
  void draw_frame(const Rect& area, std::uint32_t pixel);
  // Vertical two-colour gradient over `area`, top colour first (pixels).
  void gradient_vertical(const Rect& area, std::uint32_t top_pixel, std::uint32_t bottom_pixel);

  // The picture's scan lines as 32-bit bottom-up rows of `width` pixels:
  // row 0 of the output is the bottom row of the picture. Lines and columns
  // beyond either picture are left untouched in `out` / dropped.
  void read_bottom_up(std::uint8_t* out, int width, int height) const;
  // One-to-one transfer of bottom-up rows onto the picture at (0, 0).
  void write_bottom_up(const std::uint8_t* in, int width, int height);

  bool operator==(const Image&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace virelta
