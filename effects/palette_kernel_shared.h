// Pieces the palette entries share: the rules one byte or one pixel at a time (the plain kernel and the
// tails of the fast ones), and what the
// SSE2 file takes from the AVX2 one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effects/kernel_block.h"
#include "effects/kernel_sse2.h"

namespace virelta::effects::palette_simd {

// The table's fast entries: SSE2 alone, and with AVX2 where cpu_has_avx2_fma().
void palette_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                             std::uint32_t lparam);
void palette_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);

// Runs pair opcode `opcode` with `pattern` over the leading whole 32-byte
// blocks of `bytes`; returns how many bytes it did (a multiple of 32).
std::size_t pairs_avx2(std::uint8_t* bytes, std::size_t count, std::int32_t opcode, std::uint32_t pattern);

}  // namespace virelta::effects::palette_simd

namespace virelta::effects::palette_rules {

// The walk of the pair opcodes (0 to 9 and 11): how many 8-byte words.
inline std::uint32_t pair_count(std::uint32_t pixels) { return pixels / 2; }

inline bool is_pair_opcode(std::int32_t opcode) { return (opcode >= 0 && opcode <= 9) || opcode == 11; }
inline bool is_pixel_opcode(std::int32_t opcode) { return opcode >= 12 && opcode <= 19; }

// One byte of a pair word against the pattern byte it meets.
inline std::uint8_t pair_byte(std::int32_t opcode, std::uint8_t value, std::uint8_t pattern) {
  int v = value, p = pattern;
  switch (opcode) {
    case 0: case 2: case 4: case 6: return static_cast<std::uint8_t>(v + p > 255 ? 255 : v + p);
    case 1: case 3: case 5: case 7: return static_cast<std::uint8_t>(v - p < 0 ? 0 : v - p);
    case 8: return static_cast<std::uint8_t>(v + p);
    case 9: return static_cast<std::uint8_t>(v - p);
    case 11: return static_cast<std::uint8_t>(255 - v);
    default: return value;
  }
}

// Opcodes 12 to 19 on one pixel (blue, green, red; the unused byte is kept).
inline void pixel_rule(std::int32_t opcode, std::uint8_t* pixel) {
  std::uint8_t& blue = pixel[0];
  std::uint8_t& green = pixel[1];
  std::uint8_t& red = pixel[2];
  auto set_all = [&](std::uint8_t v) { blue = green = red = v; };
  const bool all_black = blue == 0 && green == 0 && red == 0;
  const bool all_white = blue == 255 && green == 255 && red == 255;
  switch (opcode) {
    case 12: set_all(static_cast<std::uint8_t>((blue + green + red) / 3)); break;
    case 13: if (blue <= 24 && green <= 24 && red <= 24) set_all(0); break;
    case 14: if (blue > 248 && green > 248 && red > 248) set_all(255); break;
    case 15: if (all_black) set_all(255); break;
    case 16: if (all_white) set_all(0); break;
    case 17: if (!all_white) set_all(0); break;
    case 18: if (!all_black) set_all(255); break;
    case 19: set_all(red >= 180 || (blue < 180 && green >= 180) ? 255 : 0); break;
    default: break;
  }
}

}  // namespace virelta::effects::palette_rules
