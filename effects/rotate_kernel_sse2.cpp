// The rotation kernel with SSE2, four destination pixels at a time.
//
// Bit-exactness rests on three facts:
// - The per-column terms (x - cx)·cos and (x - cx)·sin and the per-row terms
//   are the very same double products the rule forms, only computed once; the
//   remaining two additions per coordinate are done in double as written.
// - For pixel positions below 2^22 a Single minus 0.5 is exact in Single, and
//   so is the Single minus its rounded integer, so the bilinear cell and its
//   fractions are found in Single arithmetic with the rule's results.
// - The bilinear value is first estimated in Single. Its error is below 2^-12,
//   so it rounds like the double rule unless it lies within 2^-11 of a half;
//   only those rare pixels are recomputed by the rule itself.
#include <cstring>

#include "effects/rotate_kernel.h"
#include "effects/rotate_kernel_parts.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace virelta::effects::rotate_detail {

#if defined(__SSE2__)
namespace {

constexpr int kLanes = 4;

struct Frame {
  const std::uint8_t* source;
  std::uint8_t* destination;
  std::int32_t width;
  std::int32_t height;
  RotationSetup setup;
};

// Per-column terms of one strip, padded so that the last group reads whole.
struct Strip {
  double across_cos[kStripColumns + kLanes];
  double across_sin[kStripColumns + kLanes];
};

// Per-row terms and the constants of one row.
struct Row {
  __m128d minus_sin;  // (y - yc)·sin, to subtract
  __m128d plus_cos;   // (y - yc)·cos
  __m128d cx;
  __m128d yc;
};

std::uint32_t load_pixel(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

__m128i lane_mask(int lanes) {
  const __m128i iota = _mm_setr_epi32(0, 1, 2, 3);
  return _mm_cmplt_epi32(iota, _mm_set1_epi32(lanes));
}

// Source positions of four neighbouring columns: x then y, each in double as
// the rule adds them.
void positions(const Strip& strip, int j, const Row& row, __m128d& fx_lo, __m128d& fx_hi,
               __m128d& fy_lo, __m128d& fy_hi) {
  fx_lo = _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(strip.across_cos + j), row.minus_sin), row.cx);
  fx_hi = _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(strip.across_cos + j + 2), row.minus_sin), row.cx);
  fy_lo = _mm_add_pd(_mm_add_pd(row.plus_cos, _mm_loadu_pd(strip.across_sin + j)), row.yc);
  fy_hi = _mm_add_pd(_mm_add_pd(row.plus_cos, _mm_loadu_pd(strip.across_sin + j + 2)), row.yc);
}

// Keeps the fourth byte of the destination pixels.
void store_keeping_fourth(std::uint8_t* out, __m128i colours) {
  const __m128i low3 = _mm_set1_epi32(0x00FFFFFF);
  const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
  const __m128i merged = _mm_or_si128(_mm_and_si128(colours, low3), _mm_andnot_si128(low3, old));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), merged);
}

void nearest_group(const Frame& f, const Strip& strip, int j, const Row& row, std::uint8_t* out,
                   __m128i lanes) {
  __m128d fx_lo, fx_hi, fy_lo, fy_hi;
  positions(strip, j, row, fx_lo, fx_hi, fy_lo, fy_hi);
  // cvtpd2dq rounds half to even and turns anything out of range into
  // 0x80000000, which the range test below rejects.
  const __m128i sx = _mm_unpacklo_epi64(_mm_cvtpd_epi32(fx_lo), _mm_cvtpd_epi32(fx_hi));
  const __m128i sy = _mm_unpacklo_epi64(_mm_cvtpd_epi32(fy_lo), _mm_cvtpd_epi32(fy_hi));
  const __m128i zero = _mm_setzero_si128();
  __m128i inside = _mm_and_si128(_mm_cmpgt_epi32(sx, zero), _mm_cmplt_epi32(sx, _mm_set1_epi32(f.width + 1)));
  inside = _mm_and_si128(inside, _mm_and_si128(_mm_cmpgt_epi32(sy, zero),
                                               _mm_cmplt_epi32(sy, _mm_set1_epi32(f.height + 1))));
  inside = _mm_and_si128(inside, lanes);
  const int bits = _mm_movemask_ps(_mm_castsi128_ps(inside));
  if (bits == 0) {
    store_keeping_fourth(out, _mm_set1_epi32(static_cast<int>(f.setup.fill)));
    return;
  }
  alignas(16) std::int32_t xs[kLanes];
  alignas(16) std::int32_t ys[kLanes];
  alignas(16) std::uint32_t colours[kLanes];
  _mm_store_si128(reinterpret_cast<__m128i*>(xs), sx);
  _mm_store_si128(reinterpret_cast<__m128i*>(ys), sy);
  for (int k = 0; k < kLanes; ++k) {
    colours[k] = (bits >> k & 1)
                     ? load_pixel(f.source + ((static_cast<std::size_t>(ys[k]) - 1) * f.width + (xs[k] - 1)) * 4)
                     : f.setup.fill;
  }
  store_keeping_fourth(out, _mm_load_si128(reinterpret_cast<const __m128i*>(colours)));
}

__m128 channel(__m128i pixels, int shift) {
  return _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(pixels, shift), _mm_set1_epi32(0xFF)));
}

void bilinear_group(const Frame& f, const Strip& strip, int j, const Row& row, std::uint8_t* out,
                    __m128i lanes) {
  __m128d fx_lo, fx_hi, fy_lo, fy_hi;
  positions(strip, j, row, fx_lo, fx_hi, fy_lo, fy_hi);
  const __m128 fx = _mm_movelh_ps(_mm_cvtpd_ps(fx_lo), _mm_cvtpd_ps(fx_hi));
  const __m128 fy = _mm_movelh_ps(_mm_cvtpd_ps(fy_lo), _mm_cvtpd_ps(fy_hi));
  const __m128 half = _mm_set1_ps(0.5f);
  const __m128i ix = _mm_cvtps_epi32(_mm_sub_ps(fx, half));
  const __m128i iy = _mm_cvtps_epi32(_mm_sub_ps(fy, half));
  const __m128i zero = _mm_setzero_si128();
  __m128i inside = _mm_and_si128(_mm_cmpgt_epi32(ix, zero), _mm_cmplt_epi32(ix, _mm_set1_epi32(f.width)));
  inside = _mm_and_si128(inside, _mm_and_si128(_mm_cmpgt_epi32(iy, zero),
                                               _mm_cmplt_epi32(iy, _mm_set1_epi32(f.height))));
  inside = _mm_and_si128(inside, lanes);
  const int bits = _mm_movemask_ps(_mm_castsi128_ps(inside));
  const __m128i fill = _mm_set1_epi32(static_cast<int>(f.setup.fill));
  if (bits == 0) {
    store_keeping_fourth(out, fill);
    return;
  }
  const __m128 dx = _mm_sub_ps(fx, _mm_cvtepi32_ps(ix));
  const __m128 dy = _mm_sub_ps(fy, _mm_cvtepi32_ps(iy));

  alignas(16) std::int32_t xs[kLanes];
  alignas(16) std::int32_t ys[kLanes];
  _mm_store_si128(reinterpret_cast<__m128i*>(xs), ix);
  _mm_store_si128(reinterpret_cast<__m128i*>(ys), iy);
  __m128i lower[kLanes];
  __m128i upper[kLanes];
  const std::size_t row_bytes = static_cast<std::size_t>(f.width) * 4;
  for (int k = 0; k < kLanes; ++k) {
    // Lanes outside read the first cell, which every picture of 2 x 2 or more has.
    const std::size_t offset =
        (bits >> k & 1) ? ((static_cast<std::size_t>(ys[k]) - 1) * f.width + (xs[k] - 1)) * 4 : 0;
    lower[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(f.source + offset));
    upper[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(f.source + offset + row_bytes));
  }
  const __m128i lower01 = _mm_unpacklo_epi32(lower[0], lower[1]);
  const __m128i lower23 = _mm_unpacklo_epi32(lower[2], lower[3]);
  const __m128i upper01 = _mm_unpacklo_epi32(upper[0], upper[1]);
  const __m128i upper23 = _mm_unpacklo_epi32(upper[2], upper[3]);
  const __m128i p00 = _mm_unpacklo_epi64(lower01, lower23);
  const __m128i p10 = _mm_unpackhi_epi64(lower01, lower23);
  const __m128i p01 = _mm_unpacklo_epi64(upper01, upper23);
  const __m128i p11 = _mm_unpackhi_epi64(upper01, upper23);

  const __m128 abs_mask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
  const __m128 near_half = _mm_set1_ps(0.5f - 1.0f / 2048);
  __m128i result = zero;
  __m128 near = _mm_setzero_ps();
  for (int shift = 0; shift < 24; shift += 8) {
    const __m128 c00 = channel(p00, shift);
    const __m128 c10 = channel(p10, shift);
    const __m128 c01 = channel(p01, shift);
    const __m128 c11 = channel(p11, shift);
    const __m128 top = _mm_add_ps(c00, _mm_mul_ps(_mm_sub_ps(c10, c00), dx));
    const __m128 bottom = _mm_add_ps(c01, _mm_mul_ps(_mm_sub_ps(c11, c01), dx));
    const __m128 value = _mm_add_ps(top, _mm_mul_ps(_mm_sub_ps(bottom, top), dy));
    const __m128i rounded = _mm_cvtps_epi32(value);
    const __m128 off = _mm_and_ps(_mm_sub_ps(value, _mm_cvtepi32_ps(rounded)), abs_mask);
    near = _mm_or_ps(near, _mm_cmpge_ps(off, near_half));
    result = _mm_or_si128(result, _mm_slli_epi32(rounded, shift));
  }
  alignas(16) std::uint32_t colours[kLanes];
  const __m128i chosen = _mm_or_si128(_mm_and_si128(inside, result), _mm_andnot_si128(inside, fill));
  _mm_store_si128(reinterpret_cast<__m128i*>(colours), chosen);
  const int near_bits = _mm_movemask_ps(near) & bits;
  if (near_bits != 0) {
    alignas(16) float dxs[kLanes];
    alignas(16) float dys[kLanes];
    _mm_store_ps(dxs, dx);
    _mm_store_ps(dys, dy);
    for (int k = 0; k < kLanes; ++k) {
      if (near_bits >> k & 1) colours[k] = bilinear_pixel(f.source, f.width, xs[k], ys[k], dxs[k], dys[k]);
    }
  }
  store_keeping_fourth(out, _mm_load_si128(reinterpret_cast<const __m128i*>(colours)));
}

template <bool Bilinear>
void rotate_strips(const Frame& f) {
  Strip strip;
  const double cx = f.setup.cx;
  const double yc = f.setup.yc;
  const double cos_t = f.setup.cos_t;
  const double sin_t = f.setup.sin_t;
  Row row;
  row.cx = _mm_set1_pd(cx);
  row.yc = _mm_set1_pd(yc);
  const __m128i all = _mm_set1_epi32(-1);
  for (std::int32_t first = 1; first <= f.width; first += kStripColumns) {
    const int columns = f.width - first + 1 < kStripColumns ? f.width - first + 1 : kStripColumns;
    for (int j = 0; j < columns + kLanes; ++j) {
      const double across = static_cast<double>(first + j) - cx;
      strip.across_cos[j] = across * cos_t;
      strip.across_sin[j] = across * sin_t;
    }
    for (std::int32_t y = 1; y <= f.height; ++y) {
      const double up = static_cast<double>(y) - yc;
      row.minus_sin = _mm_set1_pd(up * sin_t);
      row.plus_cos = _mm_set1_pd(up * cos_t);
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
        // The last few columns go through a scratch row, so that nothing past
        // the row is read or written.
        const int left = columns - j;
        alignas(16) std::uint8_t scratch[kLanes * 4] = {};
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
#endif

void rotate_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                        std::uint32_t lparam) {
#if defined(__SSE2__)
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
#else
  rotate_kernel_plain(block, msg, wparam, lparam);
#endif
}

}  // namespace virelta::effects::rotate_detail
