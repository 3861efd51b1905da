// Kernel K4, fast: the source column of every destination column and the
// source row of every destination row are worked out once (columns in
// blocks, so nothing is allocated), leaving a copy or a 2 x 2 interpolation
// per pixel with the plain rule's arithmetic (with AVX2, all channels of a
// pixel at once).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "runtime/runtime.h"
#include "effects/magnify_kernel.h"
#include "effects/magnify_kernel_shared.h"

namespace virelta::effects {

namespace {

using magnify_rules::Frame;

constexpr std::int32_t kBlockColumns = 256;

inline std::uint32_t load_pixel(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Blue, green and red from `rgb`; the destination's fourth byte stays.
inline void store_rgb(std::uint8_t* p, std::uint32_t rgb) {
  const std::uint32_t v = (load_pixel(p) & 0xFF000000u) | (rgb & 0x00FFFFFFu);
  std::memcpy(p, &v, 4);
}

inline std::size_t row_offset(const Frame& f, std::int64_t row_index) {
  return static_cast<std::size_t>(row_index) * static_cast<std::size_t>(f.width) * 4;
}

void fill_all(const Frame& f) {
  const std::size_t count = static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height);
  for (std::size_t i = 0; i < count; ++i) store_rgb(f.destination + i * 4, f.fill);
}

// The nearest rule's source index (0-based) of one coordinate, or -1 when the
// rounded position lies outside 1..limit.
inline std::int32_t nearest_index(double position, float centre, float s, std::int32_t limit) {
  const double r = round_half_even((position - static_cast<double>(centre)) * s + centre);
  return r >= 1 && r <= limit ? static_cast<std::int32_t>(r) - 1 : -1;
}

void nearest(const Frame& f, float s) {
  std::int32_t column[kBlockColumns];
  for (std::int32_t x0 = 0; x0 < f.width; x0 += kBlockColumns) {
    const std::int32_t n = std::min(kBlockColumns, f.width - x0);
    for (std::int32_t i = 0; i < n; ++i) column[i] = nearest_index(x0 + i + 1.0, f.centre_x, s, f.width);
    for (std::int32_t y = 1; y <= f.height; ++y) {
      std::uint8_t* d = f.destination + row_offset(f, y - 1) + static_cast<std::size_t>(x0) * 4;
      const std::int32_t row = nearest_index(y, f.centre_row, s, f.height);
      if (row < 0) {
        for (std::int32_t i = 0; i < n; ++i) store_rgb(d + i * 4, f.fill);
        continue;
      }
      const std::uint8_t* src = f.source + row_offset(f, row);
      for (std::int32_t i = 0; i < n; ++i)
        store_rgb(d + i * 4, column[i] >= 0 ? load_pixel(src + static_cast<std::size_t>(column[i]) * 4) : f.fill);
    }
  }
}

// The bilinear rule's sample of one coordinate: the lower partner (0-based)
// or -1 when it lies outside 1..limit-1, and the weight of the upper one.
struct Sample {
  std::int32_t index;
  float weight;
};

inline Sample bilinear_sample(double position, float centre, float s, std::int32_t limit) {
  const float p = static_cast<float>((position - static_cast<double>(centre)) * s + centre);
  const double i = round_half_even(p - 0.5);
  if (!(i >= 1 && i < limit)) return {-1, 0.0f};
  return {static_cast<std::int32_t>(i) - 1, static_cast<float>(p - i)};
}

inline std::uint8_t interpolate(double a, double b, double c, double d, double dx, double dy) {
  const double bottom = a + (b - a) * dx;
  const double top = c + (d - c) * dx;
  // Default rounding mode: to nearest, halves to even.
  const long v = std::lrint(bottom + (top - bottom) * dy);
  return static_cast<std::uint8_t>(std::clamp(v, 0L, 255L));
}

void bilinear(const Frame& f, float s, bool avx2) {
  std::int32_t column[kBlockColumns];
  float column_weight[kBlockColumns];
  const std::size_t stride = static_cast<std::size_t>(f.width) * 4;
  for (std::int32_t x0 = 0; x0 < f.width; x0 += kBlockColumns) {
    const std::int32_t n = std::min(kBlockColumns, f.width - x0);
    for (std::int32_t i = 0; i < n; ++i) {
      const Sample sample = bilinear_sample(x0 + i + 1.0, f.centre_x, s, f.width);
      column[i] = sample.index;
      column_weight[i] = sample.weight;
    }
    for (std::int32_t y = 1; y <= f.height; ++y) {
      std::uint8_t* d = f.destination + row_offset(f, y - 1) + static_cast<std::size_t>(x0) * 4;
      const Sample row = bilinear_sample(y, f.centre_row, s, f.height);
      if (row.index < 0) {
        for (std::int32_t i = 0; i < n; ++i) store_rgb(d + i * 4, f.fill);
        continue;
      }
      const std::uint8_t* lower = f.source + row_offset(f, row.index);
      const double dy = row.weight;
      if (avx2) {
        magnify_simd::bilinear_row_avx2(d, lower, stride, column, column_weight, n, dy, f.fill);
        continue;
      }
      for (std::int32_t i = 0; i < n; ++i, d += 4) {
        if (column[i] < 0) {
          store_rgb(d, f.fill);
          continue;
        }
        const std::uint8_t* p = lower + static_cast<std::size_t>(column[i]) * 4;
        const std::uint8_t* q = p + stride;
        const double dx = column_weight[i];
        d[0] = interpolate(p[0], p[4], q[0], q[4], dx, dy);
        d[1] = interpolate(p[1], p[5], q[1], q[5], dx, dy);
        d[2] = interpolate(p[2], p[6], q[2], q[6], dx, dy);
      }
    }
  }
}

void magnify_fast(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam,
                  bool avx2) {
  Frame f;
  if (!magnify_rules::make_frame(block, msg, wparam, lparam, f)) return;
  if (f.tenths == 0) {
    fill_all(f);
    return;
  }
  const float s = magnify_scale(f.tenths);
  if (block.opcode == 0)
    nearest(f, s);
  else
    bilinear(f, s, avx2);
}

}  // namespace

namespace magnify_simd {

void magnify_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                             std::uint32_t lparam) {
  magnify_fast(block, msg, wparam, lparam, false);
}

void magnify_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  magnify_fast(block, msg, wparam, lparam, true);
}

}  // namespace magnify_simd

}  // namespace virelta::effects
