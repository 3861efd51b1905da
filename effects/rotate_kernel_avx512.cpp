// The rotation kernel with AVX-512, sixteen destination pixels at a time.
// The arithmetic is the AVX2 entry's (see rotate_kernel_sse2.cpp and
// rotate_kernel_avx2.cpp for why it gives the rule's bytes); what AVX-512
// adds is twice the lanes, masks instead of blends, and byte-masked stores
// that write blue, green and red without reading the fourth byte first.
//
// Run only where cpu_has_avx512().
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl,avx2,fma")
// GCC 12 takes the headers' deliberately undefined registers for mistakes.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include <cstring>

#include "effects/rotate_kernel_shared.h"

namespace virelta::effects::rotate_detail {

namespace {

struct Avx512Registers { using Doubles = __m512d; using Mask = __mmask16; };
using Avx512 = LaneSet<16, Avx512Registers>;
constexpr int kLanes = Avx512::kLanes;
using Row = Avx512::Row;
// Bytes 0, 1 and 2 of each of the sixteen pixels.
constexpr __mmask64 kColourBytes = 0x7777777777777777ull;

inline __m512i join(__m256i lo, __m256i hi) { return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1); }
inline __m512 join(__m256 lo, __m256 hi) { return _mm512_insertf32x8(_mm512_castps256_ps512(lo), hi, 1); }

// Rounded half to even; anything out of range becomes 0x80000000.
inline void narrow(__m512d lo, __m512d hi, __m512i& out) { out = join(_mm512_cvtpd_epi32(lo), _mm512_cvtpd_epi32(hi)); }
inline void narrow(__m512d lo, __m512d hi, __m512& out) { out = join(_mm512_cvtpd_ps(lo), _mm512_cvtpd_ps(hi)); }

// Source positions of sixteen neighbouring columns, in double as the rule
// adds, then narrowed to whole pixels or to Singles, as `x` and `y` ask.
template <class T>
inline void positions(const Strip<kLanes>& strip, int j, const Row& row, T& x, T& y) {
  narrow(_mm512_add_pd(_mm512_sub_pd(_mm512_loadu_pd(strip.across_cos + j), row.minus_sin), row.cx),
         _mm512_add_pd(_mm512_sub_pd(_mm512_loadu_pd(strip.across_cos + j + 8), row.minus_sin), row.cx), x);
  narrow(_mm512_add_pd(_mm512_add_pd(row.plus_cos, _mm512_loadu_pd(strip.across_sin + j)), row.yc),
         _mm512_add_pd(_mm512_add_pd(row.plus_cos, _mm512_loadu_pd(strip.across_sin + j + 8)), row.yc), y);
}

// Where no lane is inside, writes the fill colour and says so.
inline bool wrote_fill_only(const RotationJob& f, const std::int32_t* inside, std::uint8_t* out) {
  if (_mm512_movepi32_mask(_mm512_load_si512(inside)) != 0) return false;
  _mm512_mask_storeu_epi8(out, kColourBytes, _mm512_set1_epi32(static_cast<int>(f.setup.fill)));
  return true;
}

}  // namespace

template <>
inline Avx512::Doubles Avx512::splat(double value) { return _mm512_set1_pd(value); }
template <>
inline Avx512::Mask Avx512::all_lanes() { return 0xFFFF; }
template <>
inline Avx512::Mask Avx512::first_lanes(int n) { return static_cast<Mask>((1u << n) - 1); }
// No dirty upper register halves left behind for SSE code that follows.
template <>
inline void Avx512::leave() { _mm256_zeroupper(); }

template <>
inline void Avx512::plan(const RotationJob& f, const Strip<kLanes>& strip, int j, const Row& row,
                         PixelPlan<kLanes>& plan, Mask lanes) {
  // Positions out of range come as 0x80000000, which the range test rejects.
  __m512i sx, sy;
  positions(strip, j, row, sx, sy);
  const __m512i zero = _mm512_setzero_si512();
  __mmask16 inside = _mm512_mask_cmpgt_epi32_mask(lanes, sx, zero);
  inside = _mm512_mask_cmplt_epi32_mask(inside, sx, _mm512_set1_epi32(f.width + 1));
  inside = _mm512_mask_cmpgt_epi32_mask(inside, sy, zero);
  inside = _mm512_mask_cmplt_epi32_mask(inside, sy, _mm512_set1_epi32(f.height + 1));
  const __m512i index = _mm512_add_epi32(_mm512_mullo_epi32(sy, _mm512_set1_epi32(f.width)),
                                         _mm512_sub_epi32(sx, _mm512_set1_epi32(f.width + 1)));
  _mm512_store_si512(plan.index + j, index);
  _mm512_store_si512(plan.inside + j, _mm512_movm_epi32(inside));
}

template <>
inline void Avx512::write(const RotationJob& f, const PixelPlan<kLanes>& plan, int j, std::uint8_t* out) {
  if (wrote_fill_only(f, plan.inside + j, out)) return;
  const __mmask16 inside = _mm512_movepi32_mask(_mm512_load_si512(plan.inside + j));
  const __m512i fill = _mm512_set1_epi32(static_cast<int>(f.setup.fill));
  // Lanes outside are masked off and never read.
  const __m512i index = _mm512_load_si512(plan.index + j);
  _mm512_mask_storeu_epi8(out, kColourBytes, _mm512_mask_i32gather_epi32(fill, inside, index, f.source, 4));
}

template <>
inline void Avx512::plan(const RotationJob& f, const Strip<kLanes>& strip, int j, const Row& row,
                         CellPlan<kLanes>& plan, Mask lanes) {
  __m512 fx, fy;
  positions(strip, j, row, fx, fy);
  // Bit patterns 0x4B000000 + ix and 0x4B000000 + iy, as in the AVX2 entry.
  const __m512 to_cell = _mm512_set1_ps(8388607.5f);
  const __m512 cell_x = _mm512_add_ps(fx, to_cell);
  const __m512 cell_y = _mm512_add_ps(fy, to_cell);
  const __m512i bits_x = _mm512_castps_si512(cell_x);
  const __m512i bits_y = _mm512_castps_si512(cell_y);
  // ix >= 1 exactly when fx > 1; positions that are not numbers compare false.
  const __m512 one = _mm512_set1_ps(1.0f);
  __mmask16 inside = _mm512_mask_cmp_ps_mask(lanes, fx, one, _CMP_GT_OQ);
  inside = _mm512_mask_cmp_ps_mask(inside, fy, one, _CMP_GT_OQ);
  inside = _mm512_mask_cmplt_epi32_mask(inside, bits_x, _mm512_set1_epi32(0x4B000000 + f.width));
  inside = _mm512_mask_cmplt_epi32_mask(inside, bits_y, _mm512_set1_epi32(0x4B000000 + f.height));
  const __m512 magic = _mm512_set1_ps(8388608.0f);
  const __m512 dx = _mm512_sub_ps(fx, _mm512_sub_ps(cell_x, magic));
  const __m512 dy = _mm512_sub_ps(fy, _mm512_sub_ps(cell_y, magic));
  const std::uint32_t offset = 0x4B000000u * static_cast<std::uint32_t>(f.width) + 0x4B000000u +
                               static_cast<std::uint32_t>(f.width) + 1u;
  const __m512i cell =
      _mm512_sub_epi32(_mm512_add_epi32(_mm512_mullo_epi32(bits_y, _mm512_set1_epi32(f.width)), bits_x),
                       _mm512_set1_epi32(static_cast<int>(offset)));
  // Lanes outside take the first cell, which every picture of 2 x 2 or more has.
  _mm512_store_si512(plan.cell + j, _mm512_maskz_mov_epi32(inside, cell));
  _mm512_store_si512(plan.inside + j, _mm512_movm_epi32(inside));
  _mm512_store_ps(plan.dx + j, dx);
  _mm512_store_ps(plan.dy + j, dy);
}

namespace {

inline __m512 channel(__m512i pixels, int shift) {
  return _mm512_cvtepi32_ps(_mm512_and_si512(_mm512_srli_epi32(pixels, shift), _mm512_set1_epi32(0xFF)));
}

// The estimate of the AVX2 entry: kEstimateBase + v, whose bits 15..22 hold
// the rounded value and bits 0..14 how close it came to a half.
constexpr float kEstimateBase = 256.0f + 0.5f + 1.0f / 2048;
constexpr int kNearFraction = 1 << 5;

inline __m512i estimate(__m512i p00, __m512i p10, __m512i p01, __m512i p11, int shift, __m512 w00, __m512 w10,
                        __m512 w01, __m512 w11) {
  const __m512 lower = _mm512_fmadd_ps(channel(p10, shift), w10,
                                       _mm512_fmadd_ps(channel(p00, shift), w00, _mm512_set1_ps(kEstimateBase)));
  const __m512 upper = _mm512_fmadd_ps(channel(p11, shift), w11, _mm512_mul_ps(channel(p01, shift), w01));
  return _mm512_castps_si512(_mm512_add_ps(lower, upper));
}

// Two neighbouring pixels (8 bytes) of each of two cells, one 128-bit quarter.
inline __m128i load_pairs(const std::uint8_t* row, std::int32_t a, std::int32_t b) {
  const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + static_cast<std::ptrdiff_t>(a) * 4));
  return _mm_castpd_si128(
      _mm_loadh_pd(_mm_castsi128_pd(first), reinterpret_cast<const double*>(row + static_cast<std::ptrdiff_t>(b) * 4)));
}

// Cells k and k + 1 of every group of four, in each 128-bit quarter.
inline __m512 load_cells(const std::uint8_t* row, const std::int32_t* cells, int k) {
  __m512i v = _mm512_castsi128_si512(load_pairs(row, cells[k], cells[k + 1]));
  v = _mm512_inserti32x4(v, load_pairs(row, cells[k + 4], cells[k + 5]), 1);
  v = _mm512_inserti32x4(v, load_pairs(row, cells[k + 8], cells[k + 9]), 2);
  v = _mm512_inserti32x4(v, load_pairs(row, cells[k + 12], cells[k + 13]), 3);
  return _mm512_castsi512_ps(v);
}

}  // namespace

template <>
inline void Avx512::write(const RotationJob& f, const CellPlan<kLanes>& plan, int j, std::uint8_t* out) {
  if (wrote_fill_only(f, plan.inside + j, out)) return;
  const __mmask16 inside = _mm512_movepi32_mask(_mm512_load_si512(plan.inside + j));
  const __m512i fill = _mm512_set1_epi32(static_cast<int>(f.setup.fill));
  const std::int32_t* cells = plan.cell + j;
  const std::uint8_t* lower = f.source;
  const std::uint8_t* upper = f.source + static_cast<std::size_t>(f.width) * 4;
  // Within each quarter, shuffle_ps picks the pixels back in lane order.
  const __m512 lower_a = load_cells(lower, cells, 0);
  const __m512 lower_b = load_cells(lower, cells, 2);
  const __m512 upper_a = load_cells(upper, cells, 0);
  const __m512 upper_b = load_cells(upper, cells, 2);
  const __m512i p00 = _mm512_castps_si512(_mm512_shuffle_ps(lower_a, lower_b, 0x88));
  const __m512i p10 = _mm512_castps_si512(_mm512_shuffle_ps(lower_a, lower_b, 0xDD));
  const __m512i p01 = _mm512_castps_si512(_mm512_shuffle_ps(upper_a, upper_b, 0x88));
  const __m512i p11 = _mm512_castps_si512(_mm512_shuffle_ps(upper_a, upper_b, 0xDD));

  const __m512 dx = _mm512_load_ps(plan.dx + j);
  const __m512 dy = _mm512_load_ps(plan.dy + j);
  const __m512 w11 = _mm512_mul_ps(dx, dy);
  const __m512 w10 = _mm512_sub_ps(dx, w11);
  const __m512 w01 = _mm512_sub_ps(dy, w11);
  const __m512 w00 = _mm512_sub_ps(_mm512_sub_ps(_mm512_set1_ps(1.0f), dx), w01);
  const __m512i blue = estimate(p00, p10, p01, p11, 0, w00, w10, w01, w11);
  const __m512i green = estimate(p00, p10, p01, p11, 8, w00, w10, w01, w11);
  const __m512i red = estimate(p00, p10, p01, p11, 16, w00, w10, w01, w11);

  const __m512i fraction = _mm512_set1_epi32(0x7FFF);
  const __m512i closest = _mm512_min_epu32(_mm512_and_si512(blue, fraction),
                                           _mm512_min_epu32(_mm512_and_si512(green, fraction),
                                                            _mm512_and_si512(red, fraction)));
  const __mmask16 near = _mm512_mask_cmplt_epi32_mask(inside, closest, _mm512_set1_epi32(kNearFraction));
  // The rounded values move to bytes 0, 1 and 2.
  const __m512i result = _mm512_or_si512(
      _mm512_or_si512(_mm512_and_si512(_mm512_srli_epi32(blue, 15), _mm512_set1_epi32(0x0000FF)),
                      _mm512_and_si512(_mm512_srli_epi32(green, 7), _mm512_set1_epi32(0x00FF00))),
      _mm512_and_si512(_mm512_slli_epi32(red, 1), _mm512_set1_epi32(0xFF0000)));
  __m512i colours = _mm512_mask_blend_epi32(inside, fill, result);
  if (near != 0) {
    alignas(64) std::uint32_t patched[kLanes];
    _mm512_store_si512(patched, colours);
    patch_near_lanes<Avx512>(f, plan, j, near, patched);
    colours = _mm512_load_si512(patched);
  }
  _mm512_mask_storeu_epi8(out, kColourBytes, colours);
}

void rotate_kernel_avx512(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  rotate_by_lanes<Avx512>(block, msg, wparam, lparam);
}

}  // namespace virelta::effects::rotate_detail
