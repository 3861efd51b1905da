#include "forms/image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace virelta {

namespace {
// Copies `count` pixels between rows that do not overlap. The saver copies
// every tile twice a frame; under Wine the C runtime's memcpy runs these
// copies at a fraction of the processor's speed, so the loop is our own.
void copy_pixels(void* to, const void* from, int count) {
#if defined(__SSE2__)
  auto* out = static_cast<std::uint8_t*>(to);
  const auto* in = static_cast<const std::uint8_t*>(from);
  std::size_t bytes = static_cast<std::size_t>(count) * 4u, i = 0;
  for (; i + 32 <= bytes; i += 32) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 16), b);
  }
  for (; i < bytes; i += 4) _mm_storeu_si32(out + i, _mm_loadu_si32(in + i));
#else
  std::memcpy(to, from, static_cast<std::size_t>(count) * 4u);
#endif
}
}  // namespace

Rect intersect(const Rect& a, const Rect& b) {
  int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
  int right = std::min(a.right(), b.right()), bottom = std::min(a.bottom(), b.bottom());
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

Rect unite(const Rect& a, const Rect& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
  return {left, top, std::max(a.right(), b.right()) - left, std::max(a.bottom(), b.bottom()) - top};
}

Image::Image(int width, int height, std::uint32_t fill_pixel) { resize(width, height, fill_pixel); }

void Image::resize(int width, int height, std::uint32_t fill_pixel) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, fill_pixel);
  int keep_w = std::min(width, width_), keep_h = std::min(height, height_);
  for (int y = 0; y < keep_h; ++y)
    std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width, row(y), keep_w * 4u);
  pixels_.swap(pixels);
  width_ = width;
  height_ = height;
}

void Image::fill(std::uint32_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel); }

void Image::fill_rect(const Rect& area, std::uint32_t pixel) {
  Rect r = intersect(area, bounds());
  for (int y = r.top; y < r.bottom(); ++y) std::fill(row(y) + r.left, row(y) + r.right(), pixel);
}

void Image::copy_from(const Image& source, int source_x, int source_y, int width, int height,
                      int target_x, int target_y) {
  // Clip against the source, then against the target, keeping the offsets paired.
  Rect from = intersect({source_x, source_y, width, height}, source.bounds());
  if (from.empty()) return;
  Rect to{target_x + (from.left - source_x), target_y + (from.top - source_y), from.width, from.height};
  Rect clipped = intersect(to, bounds());
  if (clipped.empty()) return;
  int sx = from.left + (clipped.left - to.left), sy = from.top + (clipped.top - to.top);
  if (&source == this && clipped.top > sy) {
    for (int y = clipped.height - 1; y >= 0; --y)
      std::memmove(row(clipped.top + y) + clipped.left, source.row(sy + y) + sx, clipped.width * 4u);
  } else if (&source == this) {
    for (int y = 0; y < clipped.height; ++y)
      std::memmove(row(clipped.top + y) + clipped.left, source.row(sy + y) + sx, clipped.width * 4u);
  } else {
    for (int y = 0; y < clipped.height; ++y) copy_pixels(row(clipped.top + y) + clipped.left, source.row(sy + y) + sx, clipped.width);
  }
}

void Image::stretch_from(const Image& source, const Rect& from, const Rect& to) {
  if (from.empty() || to.empty()) return;
  Rect clipped = intersect(to, bounds());
  for (int y = clipped.top; y < clipped.bottom(); ++y) {
    int sy = from.top + static_cast<int>(static_cast<long long>(y - to.top) * from.height / to.height);
    if (sy < 0 || sy >= source.height()) continue;
    for (int x = clipped.left; x < clipped.right(); ++x) {
      int sx = from.left + static_cast<int>(static_cast<long long>(x - to.left) * from.width / to.width);
      if (sx < 0 || sx >= source.width()) continue;
      at(x, y) = source.at(sx, sy);
    }
  }
}

void Image::draw_line(int x0, int y0, int x1, int y1, std::uint32_t pixel) {
  // Bresenham; like the platform's lines, the last point is not drawn.
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (!(x0 == x1 && y0 == y1)) {
    if (bounds().contains(x0, y0)) at(x0, y0) = pixel;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

void Image::draw_frame(const Rect& area, std::uint32_t pixel) {
  if (area.empty()) return;
  int r = area.right() - 1, b = area.bottom() - 1;
  draw_line(area.left, area.top, r, area.top, pixel);
  draw_line(r, area.top, r, b, pixel);
  draw_line(r, b, area.left, b, pixel);
  draw_line(area.left, b, area.left, area.top, pixel);
}

void Image::gradient_vertical(const Rect& area, std::uint32_t top_pixel, std::uint32_t bottom_pixel) {
  Rect r = intersect(area, bounds());
  if (r.empty()) return;
  // Each channel as 16-bit values (the byte in the high half), interpolated
  // from the first row to the last the way the platform's gradient fill does.
  auto channel = [](std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF) << 8; };
  for (int y = r.top; y < r.bottom(); ++y) {
    int span = area.height;
    int pos = y - area.top;
    std::uint32_t value = 0;
    for (int shift : {0, 8, 16}) {
      int a = channel(top_pixel, shift), b = channel(bottom_pixel, shift);
      int v = a + static_cast<int>(static_cast<long long>(b - a) * pos / span);
      value |= static_cast<std::uint32_t>((v >> 8) & 0xFF) << shift;
    }
    std::fill(row(y) + r.left, row(y) + r.right(), value);
  }
}

void Image::read_bottom_up(std::uint8_t* out, int width, int height) const {
  int lines = std::min(height, height_), columns = std::min(width, width_);
  for (int line = 0; line < lines; ++line)
    std::memcpy(out + static_cast<std::size_t>(line) * width * 4, row(height_ - 1 - line), columns * 4u);
}

void Image::write_bottom_up(const std::uint8_t* in, int width, int height) {
  // Row `line` of the input (from the bottom) lands on picture row height-1-line.
  for (int line = 0; line < height; ++line) {
    int y = height - 1 - line;
    if (y < 0 || y >= height_) continue;
    int columns = std::min(width, width_);
    copy_pixels(row(y), in + static_cast<std::size_t>(line) * width * 4, columns);
  }
}

}  // namespace virelta
