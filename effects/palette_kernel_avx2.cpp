// The pair opcodes 32 bytes (four pairs) at a time. The rule is per byte, so
// a wider step gives the same bytes as the 8-byte walk.
#include "effects/palette_kernel_shared.h"

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>

namespace virelta::effects::palette_simd {

namespace {

template <class Op>
std::size_t walk(std::uint8_t* bytes, std::size_t count, Op op) {
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    auto* at = reinterpret_cast<__m256i*>(bytes + i);
    _mm256_storeu_si256(at, op(_mm256_loadu_si256(at)));
  }
  return i;
}

}  // namespace

std::size_t pairs_avx2(std::uint8_t* bytes, std::size_t count, std::int32_t opcode, std::uint32_t pattern) {
  const __m256i p = _mm256_set1_epi32(static_cast<int>(pattern));
  switch (opcode) {
    case 0: case 2: case 4: case 6: return walk(bytes, count, [&](__m256i v) { return _mm256_adds_epu8(v, p); });
    case 1: case 3: case 5: case 7: return walk(bytes, count, [&](__m256i v) { return _mm256_subs_epu8(v, p); });
    case 8: return walk(bytes, count, [&](__m256i v) { return _mm256_add_epi8(v, p); });
    case 9: return walk(bytes, count, [&](__m256i v) { return _mm256_sub_epi8(v, p); });
    case 11: {
      const __m256i ones = _mm256_set1_epi32(-1);
      return walk(bytes, count, [&](__m256i v) { return _mm256_xor_si256(v, ones); });
    }
    default: return 0;
  }
}

}  // namespace virelta::effects::palette_simd

#endif
