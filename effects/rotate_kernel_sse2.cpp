// The rotation kernel with SSE2, four destination pixels at a time; the
// version every processor of the 32-bit build runs where AVX2 is missing.
//
// Why it gives the plain kernel's bytes:
// - Positions: the per-column terms (x - cx)·cos and (x - cx)·sin and the
//   per-row terms (y - yc)·sin and (y - yc)·cos are the very double products
//   the rule forms, only computed once; the two additions per coordinate are
//   done in double as written, and conversions round half to even.
// - Bilinear cells: for 1 < f < 2^23, f + (2^23 - 0.5) rounds to
//   2^23 + round(f - 0.5), so the cell comes out of one Single addition, and
//   the fraction f - ix is exact in Single.
// - Bilinear values: a Single estimate of each channel, off by less than
//   2^-12, decides the rounding unless it lies within 2^-11 of a half; those
//   rare lanes are worked out by the rule itself (bilinear_pixel).
#include <cstring>

#include "effects/rotate_kernel.h"
#include "effects/rotate_kernel_shared.h"

#include "effects/kernel_sse2.h"

namespace virelta::effects::rotate_detail {

#ifdef VIRELTA_SSE2
namespace {

struct Sse2Registers { using Doubles = __m128d; using Mask = __m128i; };
using Sse2 = LaneSet<4, Sse2Registers>;
constexpr int kLanes = Sse2::kLanes;
using Row = Sse2::Row;

// The low 32 bits of a · b in each lane (SSE2 has no 32-bit multiply).
__m128i multiply_low(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Rounded half to even; anything out of range becomes 0x80000000.
void narrow(__m128d lo, __m128d hi, __m128i& out) { out = _mm_unpacklo_epi64(_mm_cvtpd_epi32(lo), _mm_cvtpd_epi32(hi)); }
void narrow(__m128d lo, __m128d hi, __m128& out) { out = _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi)); }

// Source positions of four neighbouring columns, in double as the rule adds,
// then narrowed to whole pixels or to Singles, as `x` and `y` ask.
template <class T>
void positions(const Strip<kLanes>& strip, int j, const Row& row, T& x, T& y) {
  narrow(_mm_add_pd(_mm_sub_pd(_mm_loadu_pd(strip.across_cos + j), row.minus_sin), row.cx),
         _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(strip.across_cos + j + 2), row.minus_sin), row.cx), x);
  narrow(_mm_add_pd(_mm_add_pd(row.plus_cos, _mm_loadu_pd(strip.across_sin + j)), row.yc),
         _mm_add_pd(_mm_add_pd(row.plus_cos, _mm_loadu_pd(strip.across_sin + j + 2)), row.yc), y);
}

__m128i select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Writes blue, green and red; the fourth byte of each pixel stays.
void store_keeping_fourth(std::uint8_t* out, __m128i colours) {
  const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), select(_mm_set1_epi32(0x00FFFFFF), colours, old));
}

// Where no lane is inside, writes the fill colour and says so.
bool wrote_fill_only(const RotationJob& f, const std::int32_t* inside, std::uint8_t* out) {
  if (_mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(inside))) != 0) return false;
  store_keeping_fourth(out, _mm_set1_epi32(static_cast<int>(f.setup.fill)));
  return true;
}

std::int32_t load_pixel(const std::uint8_t* source, std::int32_t index) {
  std::int32_t v;
  std::memcpy(&v, source + static_cast<std::ptrdiff_t>(index) * 4, 4);
  return v;
}

}  // namespace

template <>
inline Sse2::Doubles Sse2::splat(double value) { return _mm_set1_pd(value); }
template <>
inline Sse2::Mask Sse2::all_lanes() { return _mm_set1_epi32(-1); }
template <>
inline Sse2::Mask Sse2::first_lanes(int n) { return _mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(n)); }
template <>
inline void Sse2::leave() {}

template <>
inline void Sse2::plan(const RotationJob& f, const Strip<kLanes>& strip, int j, const Row& row, PixelPlan<kLanes>& plan,
                       Mask lanes) {
  // Positions out of range come as 0x80000000, which the range test rejects.
  __m128i sx, sy;
  positions(strip, j, row, sx, sy);
  const __m128i zero = _mm_setzero_si128();
  __m128i inside = _mm_and_si128(_mm_cmpgt_epi32(sx, zero), _mm_cmplt_epi32(sx, _mm_set1_epi32(f.width + 1)));
  inside = _mm_and_si128(inside, _mm_and_si128(_mm_cmpgt_epi32(sy, zero),
                                               _mm_cmplt_epi32(sy, _mm_set1_epi32(f.height + 1))));
  inside = _mm_and_si128(inside, lanes);
  const __m128i index = _mm_add_epi32(multiply_low(sy, _mm_set1_epi32(f.width)),
                                      _mm_sub_epi32(sx, _mm_set1_epi32(f.width + 1)));
  _mm_store_si128(reinterpret_cast<__m128i*>(plan.index + j), _mm_and_si128(index, inside));
  _mm_store_si128(reinterpret_cast<__m128i*>(plan.inside + j), inside);
}

template <>
inline void Sse2::write(const RotationJob& f, const PixelPlan<kLanes>& plan, int j, std::uint8_t* out) {
  if (wrote_fill_only(f, plan.inside + j, out)) return;
  // Lanes outside read the first pixel and take the fill colour instead.
  const std::int32_t* index = plan.index + j;
  const __m128i colours = _mm_setr_epi32(load_pixel(f.source, index[0]), load_pixel(f.source, index[1]),
                                         load_pixel(f.source, index[2]), load_pixel(f.source, index[3]));
  const __m128i inside = _mm_load_si128(reinterpret_cast<const __m128i*>(plan.inside + j));
  store_keeping_fourth(out, select(inside, colours, _mm_set1_epi32(static_cast<int>(f.setup.fill))));
}

template <>
inline void Sse2::plan(const RotationJob& f, const Strip<kLanes>& strip, int j, const Row& row, CellPlan<kLanes>& plan,
                       Mask lanes) {
  __m128 fx, fy;
  positions(strip, j, row, fx, fy);
  // Bit patterns 0x4B000000 + ix and 0x4B000000 + iy; past 2^23 - 0.5 the
  // exponent grows and the comparison with W or H fails.
  const __m128 to_cell = _mm_set1_ps(8388607.5f);
  const __m128 cell_x = _mm_add_ps(fx, to_cell);
  const __m128 cell_y = _mm_add_ps(fy, to_cell);
  const __m128i bits_x = _mm_castps_si128(cell_x);
  const __m128i bits_y = _mm_castps_si128(cell_y);
  // ix >= 1 exactly when fx > 1; positions that are not numbers compare false.
  const __m128 one = _mm_set1_ps(1.0f);
  __m128i inside = _mm_castps_si128(_mm_and_ps(_mm_cmpgt_ps(fx, one), _mm_cmpgt_ps(fy, one)));
  inside = _mm_and_si128(inside, _mm_and_si128(_mm_cmplt_epi32(bits_x, _mm_set1_epi32(0x4B000000 + f.width)),
                                               _mm_cmplt_epi32(bits_y, _mm_set1_epi32(0x4B000000 + f.height))));
  inside = _mm_and_si128(inside, lanes);
  const __m128 magic = _mm_set1_ps(8388608.0f);
  const __m128 dx = _mm_sub_ps(fx, _mm_sub_ps(cell_x, magic));
  const __m128 dy = _mm_sub_ps(fy, _mm_sub_ps(cell_y, magic));
  // (iy - 1)·W + (ix - 1) in arithmetic modulo 2^32. Lanes outside take the
  // first cell, which every picture of 2 x 2 or more has.
  const std::uint32_t offset = 0x4B000000u * static_cast<std::uint32_t>(f.width) + 0x4B000000u +
                               static_cast<std::uint32_t>(f.width) + 1u;
  const __m128i cell = _mm_sub_epi32(_mm_add_epi32(multiply_low(bits_y, _mm_set1_epi32(f.width)), bits_x),
                                     _mm_set1_epi32(static_cast<int>(offset)));
  _mm_store_si128(reinterpret_cast<__m128i*>(plan.cell + j), _mm_and_si128(cell, inside));
  _mm_store_si128(reinterpret_cast<__m128i*>(plan.inside + j), inside);
  _mm_store_ps(plan.dx + j, dx);
  _mm_store_ps(plan.dy + j, dy);
}

namespace {

__m128 channel(__m128i pixels, int shift) {
  return _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(pixels, shift), _mm_set1_epi32(0xFF)));
}

// Single-precision estimate of one channel's value v, as the bit pattern of
// kEstimateBase + v, whose step is 2^-15: bits 15..22 hold the rounded value,
// bits 0..14 tell how close it came to a half. Weights within 2^-23 add at
// most 4 · 255 · 2^-23 = 2^-13, the roundings of products and sums less than
// 2^-13 more, so the estimate is off by less than 2^-12; the offset of 2^-11
// and the "near" zone of 2^-10 then leave the rule's rounding for all other
// lanes.
constexpr float kEstimateBase = 256.0f + 0.5f + 1.0f / 2048;
constexpr int kNearFraction = 1 << 5;  // 2^-10 in steps of 2^-15

__m128i estimate(__m128i p00, __m128i p10, __m128i p01, __m128i p11, int shift, __m128 w00, __m128 w10,
                 __m128 w01, __m128 w11) {
  const __m128 lower = _mm_add_ps(_mm_add_ps(_mm_set1_ps(kEstimateBase), _mm_mul_ps(channel(p00, shift), w00)),
                                  _mm_mul_ps(channel(p10, shift), w10));
  const __m128 upper = _mm_add_ps(_mm_mul_ps(channel(p01, shift), w01), _mm_mul_ps(channel(p11, shift), w11));
  return _mm_castps_si128(_mm_add_ps(lower, upper));
}

}  // namespace

template <>
inline void Sse2::write(const RotationJob& f, const CellPlan<kLanes>& plan, int j, std::uint8_t* out) {
  if (wrote_fill_only(f, plan.inside + j, out)) return;
  const __m128i inside = _mm_load_si128(reinterpret_cast<const __m128i*>(plan.inside + j));
  const __m128i fill = _mm_set1_epi32(static_cast<int>(f.setup.fill));
  const std::int32_t* cells = plan.cell + j;
  const std::uint8_t* lower = f.source;
  const std::uint8_t* upper = f.source + static_cast<std::size_t>(f.width) * 4;
  __m128i low[kLanes];
  __m128i high[kLanes];
  for (int k = 0; k < kLanes; ++k) {
    low[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(lower + static_cast<std::ptrdiff_t>(cells[k]) * 4));
    high[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(upper + static_cast<std::ptrdiff_t>(cells[k]) * 4));
  }
  const __m128i low01 = _mm_unpacklo_epi32(low[0], low[1]);
  const __m128i low23 = _mm_unpacklo_epi32(low[2], low[3]);
  const __m128i high01 = _mm_unpacklo_epi32(high[0], high[1]);
  const __m128i high23 = _mm_unpacklo_epi32(high[2], high[3]);
  const __m128i p00 = _mm_unpacklo_epi64(low01, low23);
  const __m128i p10 = _mm_unpackhi_epi64(low01, low23);
  const __m128i p01 = _mm_unpacklo_epi64(high01, high23);
  const __m128i p11 = _mm_unpackhi_epi64(high01, high23);

  const __m128 dx = _mm_load_ps(plan.dx + j);
  const __m128 dy = _mm_load_ps(plan.dy + j);
  const __m128 w11 = _mm_mul_ps(dx, dy);
  const __m128 w10 = _mm_sub_ps(dx, w11);
  const __m128 w01 = _mm_sub_ps(dy, w11);
  const __m128 w00 = _mm_sub_ps(_mm_sub_ps(_mm_set1_ps(1.0f), dx), w01);
  const __m128i blue = estimate(p00, p10, p01, p11, 0, w00, w10, w01, w11);
  const __m128i green = estimate(p00, p10, p01, p11, 8, w00, w10, w01, w11);
  const __m128i red = estimate(p00, p10, p01, p11, 16, w00, w10, w01, w11);

  const __m128i fraction = _mm_set1_epi32(0x7FFF);
  const __m128i near_limit = _mm_set1_epi32(kNearFraction);
  __m128i near = _mm_cmplt_epi32(_mm_and_si128(blue, fraction), near_limit);
  near = _mm_or_si128(near, _mm_cmplt_epi32(_mm_and_si128(green, fraction), near_limit));
  near = _mm_or_si128(near, _mm_cmplt_epi32(_mm_and_si128(red, fraction), near_limit));
  near = _mm_and_si128(near, inside);
  // The rounded values move to bytes 0, 1 and 2.
  const __m128i result =
      _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(blue, 15), _mm_set1_epi32(0x0000FF)),
                                _mm_and_si128(_mm_srli_epi32(green, 7), _mm_set1_epi32(0x00FF00))),
                   _mm_and_si128(_mm_slli_epi32(red, 1), _mm_set1_epi32(0xFF0000)));
  __m128i colours = select(inside, result, fill);
  const int near_bits = _mm_movemask_ps(_mm_castsi128_ps(near));
  if (near_bits != 0) {
    alignas(16) std::uint32_t patched[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(patched), colours);
    patch_near_lanes<Sse2>(f, plan, j, static_cast<unsigned>(near_bits), patched);
    colours = _mm_load_si128(reinterpret_cast<const __m128i*>(patched));
  }
  store_keeping_fourth(out, colours);
}

#endif

void rotate_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
#ifdef VIRELTA_SSE2
  rotate_by_lanes<Sse2>(block, msg, wparam, lparam);
#else
  rotate_kernel_plain(block, msg, wparam, lparam);
#endif
}

}  // namespace virelta::effects::rotate_detail
