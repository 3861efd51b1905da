// The pixel effects kernel: four blurs, an edge filter, relief, a vertical
// wave, emboss and a twirl. It reads the previous layer (3) and writes the
// current layer (2), so no effect ever reads a pixel it has already changed.
//
// Block words read: width, height, store, amount, colour, opcode.
//   opcode 0  blur; amount 1 horizontal, 2 vertical, 4 diagonal, 8 ring
//   opcode 1  edge filter plus colour
//   opcode 2  relief (difference to the upper-right neighbour)
//   opcode 3  vertical wave through the host's wave table (see below)
//   opcode 4  emboss, overflow shown in the colour
//   opcode 5  twirl about the centre; amount 1, 2, 4 or other picks the twist
// Any other opcode, and any picture too small for the filter, changes nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/kernel_tables.h"

namespace virelta::effects {

// States every rule as written, one byte at a time.
void pixel_effects_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                                std::uint32_t lparam);

// Msg, wParam and lParam of every call but the wave's; the kernel reads none.
inline constexpr std::uint32_t kPixelEffectsMsg = 0x40000000;     // 2.0 as a Single
inline constexpr std::uint32_t kPixelEffectsWParam = 0x40400000;  // 3.0 as a Single
inline constexpr std::uint32_t kPixelEffectsLParam = 4;

// The wave table T(1..max(W, H)), element 0 holding T(1):
// T(i) = 2 sin(i / 5) x amount + i, kept within 1..H.
std::vector<float> build_wave_table(std::int32_t amount, std::int32_t width, std::int32_t height);

// The wave table travels as its address. On a 32-bit build the address is
// lParam and wParam keeps its usual 3.0; a 64-bit address does not fit one
// word, so its high half rides in wParam, which the wave never reads
// otherwise.
struct WaveTableWords {
  std::uint32_t wparam = 0;
  std::uint32_t lparam = 0;
};
WaveTableWords wave_table_words(const float* table);
const float* wave_table_from_words(std::uint32_t wparam, std::uint32_t lparam);

}  // namespace virelta::effects
