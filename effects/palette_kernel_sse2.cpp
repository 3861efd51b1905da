// Kernel K1, fast: the pair opcodes as packed-byte arithmetic (SSE2, AVX2
// where present), the per-pixel opcodes four pixels at a time, and the noise
// through a table of the 256 offsets a drawn value can give.
#include <algorithm>
#include <cstddef>

#include "runtime/runtime.h"
#include "effects/palette_kernel.h"
#include "effects/palette_kernel_shared.h"

namespace virelta::effects {

namespace {

#ifdef VIRELTA_SSE2

template <class Op>
void walk_pairs(std::uint8_t* bytes, std::size_t count, Op op) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    auto* at = reinterpret_cast<__m128i*>(bytes + i);
    _mm_storeu_si128(at, op(_mm_loadu_si128(at)));
  }
  if (i < count) {  // one pair left: the count is a whole number of 8-byte words
    auto* at = reinterpret_cast<__m128i*>(bytes + i);
    _mm_storel_epi64(at, op(_mm_loadl_epi64(at)));
  }
}

void pairs_fast(std::uint8_t* bytes, std::size_t count, std::int32_t opcode, std::uint32_t pattern, bool avx2) {
  if (avx2) {
    const std::size_t done = palette_simd::pairs_avx2(bytes, count, opcode, pattern);
    bytes += done;
    count -= done;
  }
  const __m128i p = _mm_set1_epi32(static_cast<int>(pattern));
  switch (opcode) {
    case 0: case 2: case 4: case 6: walk_pairs(bytes, count, [&](__m128i v) { return _mm_adds_epu8(v, p); }); break;
    case 1: case 3: case 5: case 7: walk_pairs(bytes, count, [&](__m128i v) { return _mm_subs_epu8(v, p); }); break;
    case 8: walk_pairs(bytes, count, [&](__m128i v) { return _mm_add_epi8(v, p); }); break;
    case 9: walk_pairs(bytes, count, [&](__m128i v) { return _mm_sub_epi8(v, p); }); break;
    case 11: {
      const __m128i ones = _mm_set1_epi32(-1);
      walk_pairs(bytes, count, [&](__m128i v) { return _mm_xor_si128(v, ones); });
      break;
    }
    default: break;
  }
}

// Four pixels in one register; each 32-bit lane is blue, green, red, unused.
__m128i lanes_all(__m128i byte_mask, __m128i rgb) {
  return _mm_cmpeq_epi32(_mm_and_si128(byte_mask, rgb), rgb);
}

__m128i pixel_op(std::int32_t opcode, __m128i p) {
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
  const __m128i top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i low = _mm_set1_epi32(0xFF);
  const __m128i zero = _mm_setzero_si128();
  auto at_least = [&](int v) {
    const __m128i bound = _mm_set1_epi8(static_cast<char>(v));
    return _mm_cmpeq_epi8(_mm_max_epu8(p, bound), p);
  };
  switch (opcode) {
    case 12: {
      const __m128i sum = _mm_add_epi32(_mm_add_epi32(_mm_and_si128(p, low), _mm_and_si128(_mm_srli_epi32(p, 8), low)),
                                        _mm_and_si128(_mm_srli_epi32(p, 16), low));
      // sum / 3 for sums up to 765: (sum x 43691) >> 17.
      const __m128i q = _mm_srli_epi32(_mm_mulhi_epu16(sum, _mm_set1_epi32(0xAAAB)), 1);
      const __m128i grey = _mm_or_si128(_mm_or_si128(q, _mm_slli_epi32(q, 8)), _mm_slli_epi32(q, 16));
      return _mm_or_si128(_mm_and_si128(p, top), grey);
    }
    case 13: {
      const __m128i limit = _mm_set1_epi8(24);
      const __m128i dark = _mm_cmpeq_epi8(_mm_max_epu8(p, limit), limit);
      return _mm_andnot_si128(_mm_and_si128(lanes_all(dark, rgb), rgb), p);
    }
    case 14: return _mm_or_si128(p, _mm_and_si128(lanes_all(at_least(249), rgb), rgb));
    case 15: return _mm_or_si128(p, _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(p, rgb), zero), rgb));
    case 16: return _mm_andnot_si128(_mm_and_si128(lanes_all(p, rgb), rgb), p);
    case 17: return _mm_and_si128(p, _mm_or_si128(lanes_all(p, rgb), top));
    case 18: return _mm_or_si128(p, _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(p, rgb), zero), rgb));
    case 19: {
      const __m128i bright = at_least(180);
      const __m128i blue = _mm_and_si128(bright, low);
      const __m128i green = _mm_and_si128(_mm_srli_epi32(bright, 8), low);
      const __m128i red = _mm_and_si128(_mm_srli_epi32(bright, 16), low);
      const __m128i white = _mm_cmpeq_epi32(_mm_or_si128(red, _mm_andnot_si128(blue, green)), low);
      return _mm_or_si128(_mm_and_si128(p, top), _mm_and_si128(white, rgb));
    }
    default: return p;
  }
}

void pixels_fast(std::uint8_t* pixels, std::uint32_t count, std::int32_t opcode) {
  std::uint32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    auto* at = reinterpret_cast<__m128i*>(pixels + std::size_t{i} * 4);
    _mm_storeu_si128(at, pixel_op(opcode, _mm_loadu_si128(at)));
  }
  for (; i < count; ++i) palette_rules::pixel_rule(opcode, pixels + std::size_t{i} * 4);
}

#else

void pairs_fast(std::uint8_t* bytes, std::size_t count, std::int32_t opcode, std::uint32_t pattern, bool) {
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = palette_rules::pair_byte(opcode, bytes[i], static_cast<std::uint8_t>(pattern >> (8 * (i % 4))));
}

void pixels_fast(std::uint8_t* pixels, std::uint32_t count, std::int32_t opcode) {
  for (std::uint32_t i = 0; i < count; ++i) palette_rules::pixel_rule(opcode, pixels + std::size_t{i} * 4);
}

#endif

// The channel plus round(x) equals round(channel + x) here: x's fraction is
// a multiple of 1/255 up to rounding error, never a half.
void noise_fast(std::uint8_t* pixels, std::uint32_t count, std::int32_t amount, std::uint32_t seed) {
  const auto spread = static_cast<std::int32_t>(static_cast<std::uint32_t>(amount) * 40u + 1u);
  const auto offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(amount) * 20u);
  std::int16_t table[256];
  for (int r = 0; r < 256; ++r) {
    const double x = round_half_even(r / 255.0 * spread - offset);
    table[r] = static_cast<std::int16_t>(std::clamp(x, -256.0, 256.0));
  }
  PaletteNoiseGenerator generator(seed);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t* pixel = pixels + std::size_t{i} * 4;
    for (int channel = 0; channel < 3; ++channel) {
      const int v = pixel[channel] + table[generator.next()];
      pixel[channel] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    }
  }
}

void palette_fast(const KernelBlock& block, std::uint32_t msg, bool avx2) {
  if (!block.has_pixels()) return;
  const std::uint32_t count = block.layer_pixels();
  std::uint8_t* pixels = block.layer(2);
  const std::int32_t opcode = block.opcode;

  if (palette_rules::is_pair_opcode(opcode)) {
    pairs_fast(pixels, std::size_t{palette_rules::pair_count(count)} * 8, opcode,
               palette_shift_pattern(opcode, block.amount), avx2);
  } else if (opcode == static_cast<std::int32_t>(PaletteOpcode::Noise)) {
    noise_fast(pixels, count, block.amount, msg);
  } else if (palette_rules::is_pixel_opcode(opcode)) {
    pixels_fast(pixels, count, opcode);
  }
}

}  // namespace

namespace palette_simd {

void palette_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t, std::uint32_t) {
  palette_fast(block, msg, false);
}

void palette_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t, std::uint32_t) {
  palette_fast(block, msg, true);
}

}  // namespace palette_simd

}  // namespace virelta::effects
