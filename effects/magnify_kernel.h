// Kernel K4, magnify: every pixel of layer 2 samples layer 3 at its position
// scaled about a centre. Block words read: width, height, store, colour,
// opcode (0 nearest, 1 bilinear). Msg = centre x (bits of a float, pixels from
// the left), wParam = centre y (bits of a float, pixels from the top), lParam
// = the factor in tenths (32-bit signed). Only blue, green and red are written.
#pragma once

#include <cstdint>

#include "effects/kernel_block.h"
#include "effects/kernel_tables.h"

namespace virelta::effects {

// The inverse of the magnification as the kernel holds it (single precision).
// Not finite when tenths is 0.
float magnify_scale(std::int32_t tenths);

// The rule as written, one destination pixel at a time.
void magnify_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                          std::uint32_t lparam);

}  // namespace virelta::effects
