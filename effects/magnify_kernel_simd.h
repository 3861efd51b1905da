// What the fast magnify kernel needs from the processor-specific file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effects/kernel_block.h"

namespace virelta::effects::magnify_simd {

// True when the processor and the system support AVX2.
bool cpu_has_avx2();

// The fast kernel with its processor-specific part fixed: without AVX2, and
// with it (only where cpu_has_avx2()). magnify_kernel picks one at run time.
void magnify_kernel_baseline(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
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
