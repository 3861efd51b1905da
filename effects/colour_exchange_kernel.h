// The colour-exchange kernel: paints with, or around, one colour, in place on
// the current layer (2), so later steps of a call see the changes of earlier
// ones.
//
// Block words read: width, height, store, amount, colour, opcode. Msg and
// wParam carry two Singles, X and Y; lParam is not read.
//   opcode 0      one dot at (X, Y) given as fractions of the width and height
//   opcodes 1-3   row lines, column lines, grid dots every `amount` pixels
//   opcode 4      bleed toward the colour around every matching pixel
//   opcodes 5-8   streaks up, down, left, right from every matching pixel
//                 (X the starting weight, Y the weight step)
//   opcode 9      burst of light around (X, H - Y)
// A pixel matches when blue x 65536 + green x 256 + red equals the colour in
// all 32 bits. Amounts for which a scan would not end or would leave the
// layer, and any other opcode, change nothing.
#pragma once

#include <cstdint>

#include "effects/kernel_block.h"
#include "effects/kernel_tables.h"

namespace virelta::effects {

// States every rule as written, one byte at a time.
void colour_exchange_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                                  std::uint32_t lparam);

// The single-precision weights the class passes for the bleed and streaks.
inline constexpr float kStartingWeight = 0.9f;
inline constexpr float kWeightStep = 0.1f;

// Reach of the bleed and the streaks: (amount + 2) shifted right by one,
// except that 5 becomes 4.
std::int32_t colour_exchange_reach(std::int32_t amount);

}  // namespace virelta::effects
