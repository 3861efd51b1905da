// Pieces the plain and the fast colour-exchange kernels share, so that the
// two compute every floating-point value identically.
#pragma once

#include <bit>
#include <cstdint>

#include "effects/kernel_block.h"
#include "effects/kernel_sse2.h"

namespace virelta::effects::colour_exchange_detail {

inline float single(std::uint32_t bits) { return std::bit_cast<float>(bits); }

inline bool matches(const std::uint8_t* pixel, std::uint32_t colour) {
  std::uint32_t value = (static_cast<std::uint32_t>(pixel[0]) << 16) | (pixel[1] << 8) | pixel[2];
  return value == colour;
}

// Blend of one channel toward the colour with weight t, before rounding.
inline double blend_value(double t, int channel, int colour_channel) {
  return t * channel + (1 - t) * colour_channel;
}
// The rounded blend: limited to 255 above, its low byte below.
inline std::uint8_t blend_byte(std::int32_t v) { return static_cast<std::uint8_t>(v > 255 ? 255 : v & 0xFF); }

// The burst's direction for a whole degree, with pi / 180 as a Single.
struct BurstDirection {
  double sin_theta;
  double cos_theta;
};
BurstDirection burst_direction(int theta);

// The ring factor 2 - rho / rings, held in single precision. rings = 0 makes
// it minus infinity, as the division by zero does on the x87 unit.
float burst_factor(std::int64_t rho, std::int64_t rings);

// A channel multiplied by the ring factor: the colour's channel once the
// rounded product, read as unsigned, exceeds 255.
inline std::uint8_t burst_byte(std::int32_t v, int colour_channel) {
  return static_cast<std::uint32_t>(v) > 255 ? static_cast<std::uint8_t>(colour_channel) : static_cast<std::uint8_t>(v);
}

}  // namespace virelta::effects::colour_exchange_detail

namespace virelta::effects::colour_exchange_detail {

// Unrounded position of the burst's sample at radius rho; centre_y counts
// from the bottom (H - Y).
struct BurstPoint {
  double x;
  double y;
};
inline BurstPoint burst_point(const BurstDirection& d, std::int64_t rho, float centre_x, double centre_y) {
  double r = static_cast<double>(rho);
  return {d.sin_theta * r + centre_x, d.cos_theta * r + centre_y};
}

// The dot's column or row: X x W + 1 rounded, no further than the last one.
inline double dot_position(float fraction, std::int32_t size) { return fraction * static_cast<double>(size) + 1; }

// The table's fast entry: whole pixels, SSE2 where the build has it.
void colour_exchange_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                                 std::uint32_t lparam);

}  // namespace virelta::effects::colour_exchange_detail
