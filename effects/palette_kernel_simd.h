// What the fast palette kernel needs from the processor-specific files.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define VIRELTA_PALETTE_SSE2 1
#endif

namespace virelta::effects::palette_simd {

// True when the processor and the system support AVX2.
bool cpu_has_avx2();

// Runs pair opcode `opcode` with `pattern` over the leading whole 32-byte
// blocks of `bytes`; returns how many bytes it did (a multiple of 32).
std::size_t pairs_avx2(std::uint8_t* bytes, std::size_t count, std::int32_t opcode, std::uint32_t pattern);

}  // namespace virelta::effects::palette_simd
