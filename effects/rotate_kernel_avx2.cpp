// The rotation kernel with AVX2, eight destination pixels at a time. The same
// reasoning as the SSE2 version makes it exact (see rotate_kernel_sse2.cpp);
// this one gathers the source pixels instead of loading them one by one.
// Compiled with -mavx2 and only called where the processor has AVX2.
#include <immintrin.h>

#include <cstring>

#include "effects/rotate_kernel.h"
#include "effects/rotate_kernel_parts.h"

namespace virelta::effects::rotate_detail {

namespace {

constexpr int kLanes = 8;

struct Frame {
  const std::uint8_t* source;
  std::uint8_t* destination;
  std::int32_t width;
  std::int32_t height;
  RotationSetup setup;
};

struct Strip {
  double across_cos[kStripColumns + kLanes];
  double across_sin[kStripColumns + kLanes];
};

struct Row {
  __m256d minus_sin;
  __m256d plus_cos;
  __m256d cx;
  __m256d yc;
};

__m256i lane_mask(int lanes) {
  const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(lanes), iota);
}

inline __m256i join(__m128i lo, __m128i hi) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

inline void positions(const Strip& strip, int j, const Row& row, __m256d& fx_lo, __m256d& fx_hi,
                      __m256d& fy_lo, __m256d& fy_hi) {
  fx_lo = _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(strip.across_cos + j), row.minus_sin), row.cx);
  fx_hi = _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(strip.across_cos + j + 4), row.minus_sin), row.cx);
  fy_lo = _mm256_add_pd(_mm256_add_pd(row.plus_cos, _mm256_loadu_pd(strip.across_sin + j)), row.yc);
  fy_hi = _mm256_add_pd(_mm256_add_pd(row.plus_cos, _mm256_loadu_pd(strip.across_sin + j + 4)), row.yc);
}

inline void store_keeping_fourth(std::uint8_t* out, __m256i colours) {
  const __m256i low3 = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_blendv_epi8(old, colours, low3));
}

inline void nearest_group(const Frame& f, const Strip& strip, int j, const Row& row, std::uint8_t* out,
                          __m256i lanes) {
  __m256d fx_lo, fx_hi, fy_lo, fy_hi;
  positions(strip, j, row, fx_lo, fx_hi, fy_lo, fy_hi);
  const __m256i sx = join(_mm256_cvtpd_epi32(fx_lo), _mm256_cvtpd_epi32(fx_hi));
  const __m256i sy = join(_mm256_cvtpd_epi32(fy_lo), _mm256_cvtpd_epi32(fy_hi));
  const __m256i zero = _mm256_setzero_si256();
  __m256i inside = _mm256_and_si256(_mm256_cmpgt_epi32(sx, zero),
                                    _mm256_cmpgt_epi32(_mm256_set1_epi32(f.width + 1), sx));
  inside = _mm256_and_si256(inside, _mm256_and_si256(_mm256_cmpgt_epi32(sy, zero),
                                                     _mm256_cmpgt_epi32(_mm256_set1_epi32(f.height + 1), sy)));
  inside = _mm256_and_si256(inside, lanes);
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(f.setup.fill));
  if (_mm256_testz_si256(inside, inside)) {
    store_keeping_fourth(out, fill);
    return;
  }
  // (sy - 1)·W + (sx - 1); lanes outside are masked off and never read.
  const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(sy, _mm256_set1_epi32(f.width)),
                                         _mm256_sub_epi32(sx, _mm256_set1_epi32(f.width + 1)));
  const __m256i colours =
      _mm256_mask_i32gather_epi32(fill, reinterpret_cast<const int*>(f.source), index, inside, 4);
  store_keeping_fourth(out, colours);
}

inline __m256 channel(__m256i pixels, __m256i pick) {
  return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(pixels, pick));
}

inline void bilinear_group(const Frame& f, const Strip& strip, int j, const Row& row, std::uint8_t* out,
                           __m256i lanes) {
  __m256d fx_lo, fx_hi, fy_lo, fy_hi;
  positions(strip, j, row, fx_lo, fx_hi, fy_lo, fy_hi);
  const __m256 fx = _mm256_set_m128(_mm256_cvtpd_ps(fx_hi), _mm256_cvtpd_ps(fx_lo));
  const __m256 fy = _mm256_set_m128(_mm256_cvtpd_ps(fy_hi), _mm256_cvtpd_ps(fy_lo));
  const __m256 half = _mm256_set1_ps(0.5f);
  const __m256i ix = _mm256_cvtps_epi32(_mm256_sub_ps(fx, half));
  const __m256i iy = _mm256_cvtps_epi32(_mm256_sub_ps(fy, half));
  const __m256i zero = _mm256_setzero_si256();
  __m256i inside = _mm256_and_si256(_mm256_cmpgt_epi32(ix, zero),
                                    _mm256_cmpgt_epi32(_mm256_set1_epi32(f.width), ix));
  inside = _mm256_and_si256(inside, _mm256_and_si256(_mm256_cmpgt_epi32(iy, zero),
                                                     _mm256_cmpgt_epi32(_mm256_set1_epi32(f.height), iy)));
  inside = _mm256_and_si256(inside, lanes);
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(f.setup.fill));
  if (_mm256_testz_si256(inside, inside)) {
    store_keeping_fourth(out, fill);
    return;
  }
  const __m256 dx = _mm256_sub_ps(fx, _mm256_cvtepi32_ps(ix));
  const __m256 dy = _mm256_sub_ps(fy, _mm256_cvtepi32_ps(iy));

  // Cell of each lane; lanes outside take the first cell, which every
  // picture of 2 x 2 or more has.
  __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(iy, _mm256_set1_epi32(f.width)),
                                   _mm256_sub_epi32(ix, _mm256_set1_epi32(f.width + 1)));
  index = _mm256_and_si256(index, inside);
  // Lanes 0,1,4,5 and 2,3,6,7 gathered apart, so that the shuffles below give
  // back the pixels in order.
  index = _mm256_permutevar8x32_epi32(index, _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7));
  const __m128i index_a = _mm256_castsi256_si128(index);
  const __m128i index_b = _mm256_extracti128_si256(index, 1);
  const __m128i row_step = _mm_set1_epi32(f.width);
  const auto* base = reinterpret_cast<const long long*>(f.source);
  const __m256 lower_a = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, index_a, 4));
  const __m256 lower_b = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, index_b, 4));
  const __m256 upper_a = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm_add_epi32(index_a, row_step), 4));
  const __m256 upper_b = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm_add_epi32(index_b, row_step), 4));
  const __m256i p00 = _mm256_castps_si256(_mm256_shuffle_ps(lower_a, lower_b, 0x88));
  const __m256i p10 = _mm256_castps_si256(_mm256_shuffle_ps(lower_a, lower_b, 0xDD));
  const __m256i p01 = _mm256_castps_si256(_mm256_shuffle_ps(upper_a, upper_b, 0x88));
  const __m256i p11 = _mm256_castps_si256(_mm256_shuffle_ps(upper_a, upper_b, 0xDD));

  const __m256 abs_mask = _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF));
  const __m256 near_half = _mm256_set1_ps(0.5f - 1.0f / 2048);
  __m256i result = zero;
  __m256 near = _mm256_setzero_ps();
  for (int c = 0; c < 3; ++c) {
    const char k = static_cast<char>(c);
    const char z = static_cast<char>(0x80);
    const __m256i pick = _mm256_setr_epi8(k, z, z, z, k + 4, z, z, z, k + 8, z, z, z, k + 12, z, z, z,
                                          k, z, z, z, k + 4, z, z, z, k + 8, z, z, z, k + 12, z, z, z);
    const __m256 c00 = channel(p00, pick);
    const __m256 c10 = channel(p10, pick);
    const __m256 c01 = channel(p01, pick);
    const __m256 c11 = channel(p11, pick);
    const __m256 top = _mm256_add_ps(c00, _mm256_mul_ps(_mm256_sub_ps(c10, c00), dx));
    const __m256 bottom = _mm256_add_ps(c01, _mm256_mul_ps(_mm256_sub_ps(c11, c01), dx));
    const __m256 value = _mm256_add_ps(top, _mm256_mul_ps(_mm256_sub_ps(bottom, top), dy));
    const __m256 rounded = _mm256_round_ps(value, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256 off = _mm256_and_ps(_mm256_sub_ps(value, rounded), abs_mask);
    near = _mm256_or_ps(near, _mm256_cmp_ps(off, near_half, _CMP_GE_OQ));
    result = _mm256_or_si256(result, _mm256_slli_epi32(_mm256_cvtps_epi32(rounded), 8 * c));
  }
  __m256i colours = _mm256_blendv_epi8(fill, result, inside);
  const int near_bits = _mm256_movemask_ps(_mm256_and_ps(near, _mm256_castsi256_ps(inside)));
  if (near_bits != 0) {
    alignas(32) std::uint32_t patched[kLanes];
    alignas(32) std::int32_t xs[kLanes];
    alignas(32) std::int32_t ys[kLanes];
    alignas(32) float dxs[kLanes];
    alignas(32) float dys[kLanes];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(patched), colours);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(xs), ix);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(ys), iy);
    _mm256_storeu_ps(dxs, dx);
    _mm256_storeu_ps(dys, dy);
    for (int k = 0; k < kLanes; ++k) {
      if (near_bits >> k & 1) patched[k] = bilinear_pixel(f.source, f.width, xs[k], ys[k], dxs[k], dys[k]);
    }
    colours = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(patched));
  }
  store_keeping_fourth(out, colours);
}

template <bool Bilinear>
void rotate_strips(const Frame& f) {
  Strip strip;
  const double cx = f.setup.cx;
  const double yc = f.setup.yc;
  const double cos_t = f.setup.cos_t;
  const double sin_t = f.setup.sin_t;
  Row row;
  row.cx = _mm256_set1_pd(cx);
  row.yc = _mm256_set1_pd(yc);
  const __m256i all = _mm256_set1_epi32(-1);
  for (std::int32_t first = 1; first <= f.width; first += kStripColumns) {
    const int columns = f.width - first + 1 < kStripColumns ? f.width - first + 1 : kStripColumns;
    for (int j = 0; j < columns + kLanes; ++j) {
      const double across = static_cast<double>(first + j) - cx;
      strip.across_cos[j] = across * cos_t;
      strip.across_sin[j] = across * sin_t;
    }
    for (std::int32_t y = 1; y <= f.height; ++y) {
      const double up = static_cast<double>(y) - yc;
      row.minus_sin = _mm256_set1_pd(up * sin_t);
      row.plus_cos = _mm256_set1_pd(up * cos_t);
      std::uint8_t* out = f.destination + ((static_cast<std::size_t>(y) - 1) * f.width + (first - 1)) * 4;
      int j = 0;
      for (; j + kLanes <= columns; j += kLanes) {
        if (Bilinear) {
          bilinear_group(f, strip, j, row, out + j * 4, all);
        } else {
          nearest_group(f, strip, j, row, out + j * 4, all);
        }
      }
      if (j < columns) {
        const int left = columns - j;
        alignas(32) std::uint8_t scratch[kLanes * 4] = {};
        std::memcpy(scratch, out + j * 4, static_cast<std::size_t>(left) * 4);
        if (Bilinear) {
          bilinear_group(f, strip, j, row, scratch, lane_mask(left));
        } else {
          nearest_group(f, strip, j, row, scratch, lane_mask(left));
        }
        std::memcpy(out + j * 4, scratch, static_cast<std::size_t>(left) * 4);
      }
    }
  }
}

}  // namespace

void rotate_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                        std::uint32_t lparam) {
  const std::int32_t opcode = block.opcode;
  if (opcode < 0 || opcode > 3) return;
  if (block.width <= 0 || block.height <= 0) return;
  if (block.width > kFastSideLimit || block.height > kFastSideLimit) {
    rotate_kernel_plain(block, msg, wparam, lparam);
    return;
  }
  Frame f{block.layer(source_layer(opcode)), block.layer(2), block.width, block.height,
          rotation_setup(block, msg, wparam, lparam)};
  if (opcode == 0 || opcode == 2) {
    rotate_strips<false>(f);
  } else {
    rotate_strips<true>(f);
  }
  // Leave no dirty upper halves behind for SSE code that follows.
  _mm256_zeroupper();
}

}  // namespace virelta::effects::rotate_detail
