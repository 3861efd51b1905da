// The bilinear rule with the four channels of a pixel in one register of
// doubles: the same operations in the same order as one channel at a time,
// and the conversion rounds to nearest, halves to even, as the rule does.
#include "effects/magnify_kernel_shared.h"

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>

#include <cstring>

namespace virelta::effects::magnify_simd {

namespace {

inline __m256d widen(const std::uint8_t* pixel) {
  std::int32_t v;
  std::memcpy(&v, pixel, 4);
  return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(v)));
}

}  // namespace

void bilinear_row_avx2(std::uint8_t* destination, const std::uint8_t* lower, std::size_t stride,
                       const std::int32_t* column, const float* weight, std::int32_t count, double dy,
                       std::uint32_t fill) {
  const __m256d up = _mm256_set1_pd(dy);
  for (std::int32_t i = 0; i < count; ++i, destination += 4) {
    std::uint32_t kept;
    std::memcpy(&kept, destination, 4);
    std::uint32_t rgb = fill;
    if (column[i] >= 0) {
      const std::uint8_t* p = lower + static_cast<std::size_t>(column[i]) * 4;
      const std::uint8_t* q = p + stride;
      const __m256d across = _mm256_set1_pd(weight[i]);
      const __m256d a = widen(p), b = widen(p + 4), c = widen(q), d = widen(q + 4);
      const __m256d bottom = _mm256_add_pd(a, _mm256_mul_pd(_mm256_sub_pd(b, a), across));
      const __m256d top = _mm256_add_pd(c, _mm256_mul_pd(_mm256_sub_pd(d, c), across));
      const __m256d v = _mm256_add_pd(bottom, _mm256_mul_pd(_mm256_sub_pd(top, bottom), up));
      const __m128i whole = _mm256_cvtpd_epi32(v);
      const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(whole, whole), whole);
      rgb = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
    }
    const std::uint32_t out = (kept & 0xFF000000u) | (rgb & 0x00FFFFFFu);
    std::memcpy(destination, &out, 4);
  }
}

}  // namespace virelta::effects::magnify_simd

#endif
