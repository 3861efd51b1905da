// The rotation kernel with AVX2 and FMA, eight destination pixels at a time.
// Positions are exact as in the SSE2 version (see rotate_kernel_sse2.cpp).
//
// Built with -mavx2 (and FMA, below); run only where cpu_has_avx2_fma().
#pragma GCC target("avx2,fma")
#include <immintrin.h>

#include <cstring>

#include "effects/rotate_kernel_shared.h"

namespace virelta::effects::rotate_detail {

namespace {

struct Avx2Registers { using Doubles = __m256d; using Mask = __m256i; };
using Avx2 = LaneSet<8, Avx2Registers>;
constexpr int kLanes = Avx2::kLanes;
using Row = Avx2::Row;

inline __m256i join(__m128i lo, __m128i hi) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

// Rounded half to even; anything out of range becomes 0x80000000.
inline void narrow(__m256d lo, __m256d hi, __m256i& out) { out = join(_mm256_cvtpd_epi32(lo), _mm256_cvtpd_epi32(hi)); }
inline void narrow(__m256d lo, __m256d hi, __m256& out) { out = _mm256_set_m128(_mm256_cvtpd_ps(hi), _mm256_cvtpd_ps(lo)); }

// Source positions of eight neighbouring columns, in double as the rule
// adds, then narrowed to whole pixels or to Singles, as `x` and `y` ask.
template <class T>
inline void positions(const Strip<kLanes>& strip, int j, const Row& row, T& x, T& y) {
  narrow(_mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(strip.across_cos + j), row.minus_sin), row.cx),
         _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(strip.across_cos + j + 4), row.minus_sin), row.cx), x);
  narrow(_mm256_add_pd(_mm256_add_pd(row.plus_cos, _mm256_loadu_pd(strip.across_sin + j)), row.yc),
         _mm256_add_pd(_mm256_add_pd(row.plus_cos, _mm256_loadu_pd(strip.across_sin + j + 4)), row.yc), y);
}

inline void store_keeping_fourth(std::uint8_t* out, __m256i colours) {
  const __m256i low3 = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_blendv_epi8(old, colours, low3));
}

// Where no lane is inside, writes the fill colour and says so.
inline bool wrote_fill_only(const RotationJob& f, const std::int32_t* inside, std::uint8_t* out) {
  const __m256i lanes = _mm256_load_si256(reinterpret_cast<const __m256i*>(inside));
  if (!_mm256_testz_si256(lanes, lanes)) return false;
  store_keeping_fourth(out, _mm256_set1_epi32(static_cast<int>(f.setup.fill)));
  return true;
}

}  // namespace

template <>
inline Avx2::Doubles Avx2::splat(double value) { return _mm256_set1_pd(value); }
template <>
inline Avx2::Mask Avx2::all_lanes() { return _mm256_set1_epi32(-1); }
template <>
inline Avx2::Mask Avx2::first_lanes(int n) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
// No dirty upper register halves left behind for SSE code that follows.
template <>
inline void Avx2::leave() { _mm256_zeroupper(); }

template <>
inline void Avx2::plan(const RotationJob& f, const Strip<kLanes>& strip, int j, const Row& row, PixelPlan<kLanes>& plan,
                       Mask lanes) {
  // Positions out of range come as 0x80000000, which the range test rejects.
  __m256i sx, sy;
  positions(strip, j, row, sx, sy);
  const __m256i zero = _mm256_setzero_si256();
  __m256i inside = _mm256_and_si256(_mm256_cmpgt_epi32(sx, zero),
                                    _mm256_cmpgt_epi32(_mm256_set1_epi32(f.width + 1), sx));
  inside = _mm256_and_si256(inside, _mm256_and_si256(_mm256_cmpgt_epi32(sy, zero),
                                                     _mm256_cmpgt_epi32(_mm256_set1_epi32(f.height + 1), sy)));
  inside = _mm256_and_si256(inside, lanes);
  const __m256i index = _mm256_add_epi32(_mm256_mullo_epi32(sy, _mm256_set1_epi32(f.width)),
                                         _mm256_sub_epi32(sx, _mm256_set1_epi32(f.width + 1)));
  _mm256_store_si256(reinterpret_cast<__m256i*>(plan.index + j), index);
  _mm256_store_si256(reinterpret_cast<__m256i*>(plan.inside + j), inside);
}

template <>
inline void Avx2::write(const RotationJob& f, const PixelPlan<kLanes>& plan, int j, std::uint8_t* out) {
  if (wrote_fill_only(f, plan.inside + j, out)) return;
  const __m256i inside = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.inside + j));
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(f.setup.fill));
  // Lanes outside are masked off and never read.
  const __m256i index = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.index + j));
  store_keeping_fourth(out, _mm256_mask_i32gather_epi32(fill, reinterpret_cast<const int*>(f.source), index,
                                                        inside, 4));
}

namespace {

// Byte c of every pixel, as a Single. Blue needs no shuffle.
inline __m256 channel(__m256i pixels, int c) {
  if (c == 0) return _mm256_cvtepi32_ps(_mm256_and_si256(pixels, _mm256_set1_epi32(0xFF)));
  if (c == 2) return _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(pixels, 16), _mm256_set1_epi32(0xFF)));
  const char k = static_cast<char>(c);
  const char z = static_cast<char>(0x80);
  const __m256i pick = _mm256_setr_epi8(k, z, z, z, k + 4, z, z, z, k + 8, z, z, z, k + 12, z, z, z,
                                        k, z, z, z, k + 4, z, z, z, k + 8, z, z, z, k + 12, z, z, z);
  return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(pixels, pick));
}

// Single-precision estimate of one channel's bilinear value v, returned as
// the bit pattern of kEstimateBase + v, whose step is 2^-15: bits 15..22 then
// hold the rounded value and bits 0..14 tell how close it came to a half.
//
// The estimate is off by less than 2^-12: the weights, each within 2^-23,
// add at most 4 · 255 · 2^-23 = 2^-13, the roundings of the sums at most
// 2^-14, and the double rule itself stays within 2^-43 of the exact value.
// Adding 2^-11 before cutting off the fraction and calling every fraction
// below 2^-10 "near" leaves, for the other lanes, the same value as the double
// rule rounded half to even; near lanes are worked out by the rule itself.
constexpr float kEstimateBase = 256.0f + 0.5f + 1.0f / 2048;
constexpr int kNearFraction = 1 << 5;  // 2^-10 in steps of 2^-15

inline __m256i estimate(__m256i p00, __m256i p10, __m256i p01, __m256i p11, int c, __m256 w00, __m256 w10,
                        __m256 w01, __m256 w11) {
  // Two short chains rather than one long one.
  const __m256 lower = _mm256_fmadd_ps(channel(p10, c), w10,
                                       _mm256_fmadd_ps(channel(p00, c), w00, _mm256_set1_ps(kEstimateBase)));
  const __m256 upper = _mm256_fmadd_ps(channel(p11, c), w11, _mm256_mul_ps(channel(p01, c), w01));
  return _mm256_castps_si256(_mm256_add_ps(lower, upper));
}

// Two neighbouring pixels (8 bytes) of each of two cells, one 128-bit half.
inline __m128i load_pairs(const std::uint8_t* row, std::int32_t a, std::int32_t b) {
  const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + static_cast<std::ptrdiff_t>(a) * 4));
  return _mm_castpd_si128(
      _mm_loadh_pd(_mm_castsi128_pd(first), reinterpret_cast<const double*>(row + static_cast<std::ptrdiff_t>(b) * 4)));
}

}  // namespace

template <>
inline void Avx2::plan(const RotationJob& f, const Strip<kLanes>& strip, int j, const Row& row, CellPlan<kLanes>& plan,
                       Mask lanes) {
  __m256 fx, fy;
  positions(strip, j, row, fx, fy);
  // round(f - 0.5) by adding 2^23 - 0.5: the sum rounds half to even to a
  // whole number, which then stands in the low mantissa bits. Exact for
  // 1 < f < 2^23 - 0.5; above, the exponent grows and the cell lies outside.
  const __m256 to_cell = _mm256_set1_ps(8388607.5f);
  const __m256 cell_x = _mm256_add_ps(fx, to_cell);
  const __m256 cell_y = _mm256_add_ps(fy, to_cell);
  // Their bit patterns are 0x4B000000 + ix and 0x4B000000 + iy; the
  // comparisons and the cell offset work on those directly.
  const __m256i bits_x = _mm256_castps_si256(cell_x);
  const __m256i bits_y = _mm256_castps_si256(cell_y);
  // ix >= 1 exactly when fx > 1; positions that are not numbers compare false.
  const __m256 one = _mm256_set1_ps(1.0f);
  __m256i inside = _mm256_castps_si256(
      _mm256_and_ps(_mm256_cmp_ps(fx, one, _CMP_GT_OQ), _mm256_cmp_ps(fy, one, _CMP_GT_OQ)));
  inside = _mm256_and_si256(inside, _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(0x4B000000 + f.width), bits_x),
                                                     _mm256_cmpgt_epi32(_mm256_set1_epi32(0x4B000000 + f.height), bits_y)));
  inside = _mm256_and_si256(inside, lanes);
  const __m256 magic = _mm256_set1_ps(8388608.0f);
  const __m256 dx = _mm256_sub_ps(fx, _mm256_sub_ps(cell_x, magic));
  const __m256 dy = _mm256_sub_ps(fy, _mm256_sub_ps(cell_y, magic));
  // (iy - 1)·W + (ix - 1), in arithmetic modulo 2^32. Lanes outside take the
  // first cell, which every picture of 2 x 2 or more has.
  const std::uint32_t offset = 0x4B000000u * static_cast<std::uint32_t>(f.width) + 0x4B000000u +
                               static_cast<std::uint32_t>(f.width) + 1u;
  const __m256i cell = _mm256_and_si256(
      _mm256_sub_epi32(_mm256_add_epi32(_mm256_mullo_epi32(bits_y, _mm256_set1_epi32(f.width)), bits_x),
                       _mm256_set1_epi32(static_cast<int>(offset))),
      inside);
  _mm256_store_si256(reinterpret_cast<__m256i*>(plan.cell + j), cell);
  _mm256_store_si256(reinterpret_cast<__m256i*>(plan.inside + j), inside);
  _mm256_store_ps(plan.dx + j, dx);
  _mm256_store_ps(plan.dy + j, dy);
}

template <>
inline void Avx2::write(const RotationJob& f, const CellPlan<kLanes>& plan, int j, std::uint8_t* out) {
  if (wrote_fill_only(f, plan.inside + j, out)) return;
  const __m256i inside = _mm256_load_si256(reinterpret_cast<const __m256i*>(plan.inside + j));
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(f.setup.fill));
  const std::int32_t* cells = plan.cell + j;
  // Lanes 0,1,4,5 and 2,3,6,7 go to different registers, so that the
  // shuffles below give the pixels back in order.
  const std::uint8_t* lower = f.source;
  const std::uint8_t* upper = f.source + static_cast<std::size_t>(f.width) * 4;
  const __m256 lower_a = _mm256_castsi256_ps(join(load_pairs(lower, cells[0], cells[1]), load_pairs(lower, cells[4], cells[5])));
  const __m256 lower_b = _mm256_castsi256_ps(join(load_pairs(lower, cells[2], cells[3]), load_pairs(lower, cells[6], cells[7])));
  const __m256 upper_a = _mm256_castsi256_ps(join(load_pairs(upper, cells[0], cells[1]), load_pairs(upper, cells[4], cells[5])));
  const __m256 upper_b = _mm256_castsi256_ps(join(load_pairs(upper, cells[2], cells[3]), load_pairs(upper, cells[6], cells[7])));
  const __m256i p00 = _mm256_castps_si256(_mm256_shuffle_ps(lower_a, lower_b, 0x88));
  const __m256i p10 = _mm256_castps_si256(_mm256_shuffle_ps(lower_a, lower_b, 0xDD));
  const __m256i p01 = _mm256_castps_si256(_mm256_shuffle_ps(upper_a, upper_b, 0x88));
  const __m256i p11 = _mm256_castps_si256(_mm256_shuffle_ps(upper_a, upper_b, 0xDD));

  const __m256 dx = _mm256_load_ps(plan.dx + j);
  const __m256 dy = _mm256_load_ps(plan.dy + j);
  const __m256 w11 = _mm256_mul_ps(dx, dy);
  const __m256 w10 = _mm256_sub_ps(dx, w11);
  const __m256 w01 = _mm256_sub_ps(dy, w11);
  const __m256 w00 = _mm256_sub_ps(_mm256_sub_ps(_mm256_set1_ps(1.0f), dx), w01);
  const __m256i blue = estimate(p00, p10, p01, p11, 0, w00, w10, w01, w11);
  const __m256i green = estimate(p00, p10, p01, p11, 1, w00, w10, w01, w11);
  const __m256i red = estimate(p00, p10, p01, p11, 2, w00, w10, w01, w11);

  const __m256i fraction = _mm256_set1_epi32(0x7FFF);
  const __m256i closest = _mm256_min_epu32(_mm256_and_si256(blue, fraction),
                                           _mm256_min_epu32(_mm256_and_si256(green, fraction),
                                                            _mm256_and_si256(red, fraction)));
  const __m256i near = _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(kNearFraction), closest), inside);
  // The rounded values move to bytes 0, 1 and 2.
  const __m256i blue_byte = _mm256_set1_epi32(0x000000FF);
  const __m256i green_byte = _mm256_set1_epi32(0x0000FF00);
  __m256i result = _mm256_blendv_epi8(_mm256_srli_epi32(green, 7), _mm256_srli_epi32(blue, 15), blue_byte);
  result = _mm256_blendv_epi8(_mm256_slli_epi32(red, 1), result, _mm256_or_si256(blue_byte, green_byte));
  __m256i colours = _mm256_blendv_epi8(fill, result, inside);
  const int near_bits = _mm256_movemask_ps(_mm256_castsi256_ps(near));
  if (near_bits != 0) {
    alignas(32) std::uint32_t patched[kLanes];
    _mm256_store_si256(reinterpret_cast<__m256i*>(patched), colours);
    patch_near_lanes<Avx2>(f, plan, j, static_cast<unsigned>(near_bits), patched);
    colours = _mm256_load_si256(reinterpret_cast<const __m256i*>(patched));
  }
  store_keeping_fourth(out, colours);
}

void rotate_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  rotate_by_lanes<Avx2>(block, msg, wparam, lparam);
}

}  // namespace virelta::effects::rotate_detail
