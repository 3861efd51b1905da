// Kernel K4 as its rule reads.
#include <algorithm>
#include <cstddef>

#include "runtime/runtime.h"
#include "effects/magnify_kernel.h"
#include "effects/magnify_kernel_shared.h"

namespace virelta::effects {

float magnify_scale(std::int32_t tenths) { return static_cast<float>(1.0 / (tenths / 10.0)); }

namespace {

using magnify_rules::Frame;
using magnify_rules::put_rgb;

template <class Byte>
Byte* pixel_at(Byte* layer, const Frame& f, std::int64_t x, std::int64_t y) {
  return layer + (static_cast<std::size_t>(y - 1) * static_cast<std::size_t>(f.width) + static_cast<std::size_t>(x - 1)) * 4;
}

void nearest(const Frame& f, float s) {
  for (std::int64_t y = f.height; y >= 1; --y) {
    for (std::int64_t x = f.width; x >= 1; --x) {
      std::uint8_t* d = pixel_at(f.destination, f, x, y);
      const double sx = round_half_even((x - static_cast<double>(f.centre_x)) * s + f.centre_x);
      if (!(sx >= 1 && sx <= f.width)) {
        put_rgb(d, f.fill);
        continue;
      }
      const double sy = round_half_even((y - static_cast<double>(f.centre_row)) * s + f.centre_row);
      if (!(sy >= 1 && sy <= f.height)) {
        put_rgb(d, f.fill);
        continue;
      }
      const std::uint8_t* p = pixel_at(f.source, f, static_cast<std::int64_t>(sx), static_cast<std::int64_t>(sy));
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
    }
  }
}

void bilinear(const Frame& f, float s) {
  for (std::int64_t y = f.height; y >= 1; --y) {
    for (std::int64_t x = f.width; x >= 1; --x) {
      std::uint8_t* d = pixel_at(f.destination, f, x, y);
      const float fx = static_cast<float>((x - static_cast<double>(f.centre_x)) * s + f.centre_x);
      const float fy = static_cast<float>((y - static_cast<double>(f.centre_row)) * s + f.centre_row);
      const double ix = round_half_even(fx - 0.5);
      const double iy = round_half_even(fy - 0.5);
      if (!(ix >= 1 && ix < f.width && iy >= 1 && iy < f.height)) {
        put_rgb(d, f.fill);
        continue;
      }
      const float dx = static_cast<float>(fx - ix);
      const float dy = static_cast<float>(fy - iy);
      const std::uint8_t* p00 = pixel_at(f.source, f, static_cast<std::int64_t>(ix), static_cast<std::int64_t>(iy));
      const std::uint8_t* p01 = pixel_at(f.source, f, static_cast<std::int64_t>(ix), static_cast<std::int64_t>(iy) + 1);
      for (int c = 0; c < 3; ++c) {
        const double a = p00[c], b = p00[c + 4], cc = p01[c], dd = p01[c + 4];
        const double bottom = a + (b - a) * dx;
        const double top = cc + (dd - cc) * dx;
        const double v = round_half_even(bottom + (top - bottom) * dy);
        d[c] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
      }
    }
  }
}

}  // namespace

void magnify_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  Frame f;
  if (!magnify_rules::make_frame(block, msg, wparam, lparam, f)) return;
  if (f.tenths == 0) {  // no finite scale: every pixel takes the colour
    for (std::int64_t y = f.height; y >= 1; --y)
      for (std::int64_t x = f.width; x >= 1; --x) put_rgb(pixel_at(f.destination, f, x, y), f.fill);
    return;
  }
  const float s = magnify_scale(f.tenths);
  if (block.opcode == 0)
    nearest(f, s);
  else
    bilinear(f, s);
}

}  // namespace virelta::effects
