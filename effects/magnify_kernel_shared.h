// Pieces the magnify entries share: the frame the rule derives from the block and the per-call values, and what the
// SSE2 file takes from the AVX2 one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <bit>

#include "effects/kernel_block.h"

namespace virelta::effects::magnify_simd {

// The table's fast entries: SSE2 alone, and with AVX2 where cpu_has_avx2_fma().
void magnify_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                             std::uint32_t lparam);
void magnify_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);

// One row segment of the bilinear rule: destination pixel i samples the
// 2 x 2 block whose lower-left pixel is column[i] (0-based; -1 = take the
// fill) of the row at `lower`, the upper row `stride` bytes further on, with
// weights weight[i] across and `dy` up. Blue, green and red are written.
void bilinear_row_avx2(std::uint8_t* destination, const std::uint8_t* lower, std::size_t stride,
                       const std::int32_t* column, const float* weight, std::int32_t count, double dy,
                       std::uint32_t fill);

}  // namespace virelta::effects::magnify_simd

namespace virelta::effects::magnify_rules {

// What the kernel derives from the block and the per-call values.
struct Frame {
  std::int32_t width = 0;
  std::int32_t height = 0;
  const std::uint8_t* source = nullptr;  // layer 3
  std::uint8_t* destination = nullptr;   // layer 2
  float centre_x = 0;                    // X, from the left
  float centre_row = 0;                  // cy = H - centre y, from the bottom
  std::int32_t tenths = 0;               // q
  std::uint32_t fill = 0;                // the colour as a pixel: B, G, R in bytes 0..2
};

inline bool make_frame(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam,
                       Frame& frame) {
  if (!block.store || block.width <= 0 || block.height <= 0) return false;
  if (block.opcode != 0 && block.opcode != 1) return false;
  frame.width = block.width;
  frame.height = block.height;
  frame.source = block.layer(3);
  frame.destination = block.layer(2);
  frame.centre_x = std::bit_cast<float>(msg);
  frame.centre_row = static_cast<float>(static_cast<double>(block.height) - std::bit_cast<float>(wparam));
  frame.tenths = static_cast<std::int32_t>(lparam);
  frame.fill = colour_pixel(block.colour);
  return true;
}

// Writes blue, green and red of `rgb` (bytes 0..2) and keeps the fourth byte.
inline void put_rgb(std::uint8_t* pixel, std::uint32_t rgb) {
  pixel[0] = static_cast<std::uint8_t>(rgb);
  pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
  pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
}

}  // namespace virelta::effects::magnify_rules
