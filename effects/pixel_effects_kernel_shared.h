// Pieces the plain and the fast pixel effects kernels share, so that the two
// compute the floating-point parts of the wave and the twirl identically.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "effects/kernel_block.h"
#include "effects/kernel_sse2.h"

namespace virelta::effects::pixel_effects_detail {

// "From a down to 2, at least once": the first pass uses a even below 2.
struct DownToTwo {
  int lowest;
  int highest;
};
inline DownToTwo down_to_two(int first) { return {std::min(first, 2), first}; }

inline std::uint32_t load_pixel(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void store_pixel(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

// Blue, green and red from the source; the unused byte stays as it was.
inline std::uint32_t keep_unused_byte(std::uint32_t destination, std::uint32_t source) {
  return (destination & 0xFF000000u) | (source & 0x00FFFFFFu);
}

// Runs the effect that block.opcode names on `layers`. Each kernel has its
// own blur, edge, relief, wave, emboss and twirl for its own type of
// `layers`, which is how the calls below find them.
template <class Layers>
void run_effect(const KernelBlock& block, const Layers& layers, const float* wave_table) {
  switch (block.opcode) {
    case 0: blur(layers, block.amount); break;
    case 1: edge(layers, block.colour); break;
    case 2: relief(layers, block.colour); break;
    case 3: wave(layers, wave_table); break;
    case 4: emboss(layers, block.colour); break;
    case 5: twirl(layers, block.amount, block.colour); break;
    default: break;
  }
}

// The row the wave copies into row y, unrounded: T(y) kept within 1..H.
float wave_source_row(const float* table, int y, int height);

// The twirl's total twist for an amount, held in single precision.
float twirl_twist(std::int32_t amount);

// Rotation of one distance from the centre. d2 is the squared distance as a
// 32-bit integer (it wraps for giant pictures, as the original sum does).
struct TwirlTurn {
  double sin_a;
  double cos_a;
};
TwirlTurn twirl_turn(std::int32_t d2, std::int32_t longest_side, float twist);

inline std::int32_t twirl_d2(int dx, int dy) {
  std::uint32_t ux = static_cast<std::uint32_t>(dx), uy = static_cast<std::uint32_t>(dy);
  return static_cast<std::int32_t>(ux * ux + uy * uy);
}

// Unrounded source column and row of the destination at (dx, dy) from the
// centre (cx, cy).
struct TwirlSource {
  double x;
  double y;
};
inline TwirlSource twirl_source(int dx, int dy, const TwirlTurn& turn, int cx, int cy) {
  double fx = dx, fy = dy;
  return {fx * turn.cos_a - fy * turn.sin_a + cx, fx * turn.sin_a + fy * turn.cos_a + cy};
}

// Blurs the first pixels of one row eight at a time on processors with AVX2
// (called only by the AVX2 entry); returns how many pixels it did.
int blur_row_avx2(const std::uint8_t* source, std::uint8_t* destination, int pixels, const std::ptrdiff_t* offsets,
                  int count, std::uint32_t mask, int shift);

// The table's fast entries: SSE2 alone, and with AVX2 where cpu_has_avx2_fma().
void pixel_effects_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);
void pixel_effects_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);

}  // namespace virelta::effects::pixel_effects_detail
