// The rotation kernel K0: turns the source layer (1 or 3) about a centre by a
// whole number of degrees into layer 2, by nearest neighbour or bilinear
// sampling; positions outside the picture take the fill colour.
//
//   msg    = bit pattern of the centre column (Single), pixels from the left
//   wparam = bit pattern of the centre row (Single), pixels from the top
//   lparam = Angle + 360 (signed)
//   block.opcode: 0 layer 3 nearest, 1 layer 3 bilinear, 2 layer 1 nearest,
//                 3 layer 1 bilinear; any other opcode leaves the store alone
//   block.colour: fill colour &H00BBGGRR, written as the bytes B, G, R
//
// Only the blue, green and red bytes of layer 2 are written.
#pragma once

#include <cstdint>

#include "effects/kernel_block.h"
#include "effects/kernel_tables.h"

namespace virelta::effects {

// The rule written out step by step; the reference for the fast version.
void rotate_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                         std::uint32_t lparam);


}  // namespace virelta::effects
