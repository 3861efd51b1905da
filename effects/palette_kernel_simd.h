// What the fast palette kernel needs from the processor-specific files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effects/kernel_block.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define VIRELTA_PALETTE_SSE2 1
#endif

namespace virelta::effects::palette_simd {

// True when the processor and the system support AVX2.
bool cpu_has_avx2();

// The fast kernel with its processor-specific part fixed: without AVX2, and
// with it (only where cpu_has_avx2()). palette_kernel picks one at run time.
void palette_kernel_baseline(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                             std::uint32_t lparam);
void palette_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);

// Runs pair opcode `opcode` with `pattern` over the leading whole 32-byte
// blocks of `bytes`; returns how many bytes it did (a multiple of 32).
std::size_t pairs_avx2(std::uint8_t* bytes, std::size_t count, std::int32_t opcode, std::uint32_t pattern);

}  // namespace virelta::effects::palette_simd
