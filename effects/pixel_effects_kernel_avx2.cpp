// The blurs eight pixels at a time, for processors with AVX2 (this file is
// compiled with -mavx2 and called only when the processor has it).
#include <cstddef>
#include <cstdint>

#include "effects/pixel_effects_kernel_shared.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace virelta::effects::pixel_effects_detail {

#if defined(__AVX2__)
namespace {

template <int Count>
int blur_row(const std::uint8_t* s, std::uint8_t* d, int n, const std::ptrdiff_t* offsets, std::uint32_t mask,
             int shift) {
  const __m256i m = _mm256_set1_epi32(static_cast<int>(mask));
  const __m128i count = _mm_cvtsi32_si128(shift);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i sum = _mm256_setzero_si256();
    for (int k = 0; k < Count; ++k) {
      __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * (i + offsets[k])));
      sum = _mm256_add_epi32(sum, _mm256_srl_epi32(_mm256_and_si256(v, m), count));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * i), sum);
  }
  return i;
}

}  // namespace

int blur_row_avx2(const std::uint8_t* s, std::uint8_t* d, int n, const std::ptrdiff_t* offsets, int count,
                  std::uint32_t mask, int shift) {
  switch (count) {
    case 2: return blur_row<2>(s, d, n, offsets, mask, shift);
    case 4: return blur_row<4>(s, d, n, offsets, mask, shift);
    case 8: return blur_row<8>(s, d, n, offsets, mask, shift);
    default: return 0;
  }
}
#else
int blur_row_avx2(const std::uint8_t*, std::uint8_t*, int, const std::ptrdiff_t*, int, std::uint32_t, int) { return 0; }
#endif

}  // namespace virelta::effects::pixel_effects_detail
