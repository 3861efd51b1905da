// The pixel effects kernel, fast: whole 32-bit pixels, four at a time with
// SSE2 where the per-byte rules allow it, and the twirl's trigonometry shared
// between the up to eight pixels that lie at the same distance from the
// centre. Every result equals the plain kernel's byte for byte.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "effects/pixel_effects_kernel.h"
#include "effects/pixel_effects_kernel_shared.h"

namespace virelta::effects {

namespace {

using namespace pixel_effects_detail;

struct Rows {
  Rows(const KernelBlock& block, bool avx2)
      : w(block.width), h(block.height), source(block.layer(3)), destination(block.layer(2)), avx2(avx2) {}
  std::size_t offset(int x, int y) const {
    return ((static_cast<std::size_t>(y) - 1) * static_cast<std::size_t>(w) + (x - 1)) * 4;
  }
  const std::uint8_t* s(int x, int y) const { return source + offset(x, y); }
  std::uint8_t* d(int x, int y) const { return destination + offset(x, y); }

  int w;
  int h;
  const std::uint8_t* source;
  std::uint8_t* destination;
  bool avx2;  // blur rows eight pixels at a time
};


int rounded(double value) { return rounded_int32(value); }

int channel(std::uint32_t pixel, int c) { return (pixel >> (8 * c)) & 0xFF; }

// Writes value(c), limited to 0..255, as blue, green and red; the unused
// byte stays.
template <class Value>
void store_channels(std::uint8_t* d, Value value) {
  std::uint32_t out = 0;
  for (int c = 0; c < 3; ++c) out |= static_cast<std::uint32_t>(std::clamp(value(c), 0, 255)) << (8 * c);
  store_pixel(d, keep_unused_byte(load_pixel(d), out));
}

#ifdef VIRELTA_SSE2
__m128i load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void store(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
__m128i widen_low(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
__m128i widen_high(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
// Blue, green, red from `result`; the unused byte from what is there.
void store_keeping_unused(std::uint8_t* p, __m128i result) {
  const __m128i unused = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  store(p, _mm_or_si128(_mm_andnot_si128(unused, result), _mm_and_si128(unused, load(p))));
}
__m128i colour_words(std::uint32_t colour) {
  return _mm_set_epi16(0, colour_red(colour), colour_green(colour), colour_blue(colour), 0, colour_red(colour),
                       colour_green(colour), colour_blue(colour));
}
#endif

// Sum of masked, shifted neighbours: each byte keeps to itself, so the sum of
// whole words is the per-byte floor arithmetic.
template <int Count>
void blur_area(const Rows& r, int y0, int y1, int x0, int x1, const std::ptrdiff_t (&offsets)[Count],
               std::uint32_t mask, int shift) {
  if (y0 > y1 || x0 > x1) return;
  const int n = x1 - x0 + 1;
  for (int y = y0; y <= y1; ++y) {
    const std::uint8_t* s = r.s(x0, y);
    std::uint8_t* d = r.d(x0, y);
    int i = r.avx2 ? blur_row_avx2(s, d, n, offsets, Count, mask, shift) : 0;
#ifdef VIRELTA_SSE2
    const __m128i m = _mm_set1_epi32(static_cast<int>(mask));
    const __m128i count = _mm_cvtsi32_si128(shift);
    for (; i + 4 <= n; i += 4) {
      __m128i sum = _mm_setzero_si128();
      for (int k = 0; k < Count; ++k)
        sum = _mm_add_epi32(sum, _mm_srl_epi32(_mm_and_si128(load(s + 4 * (i + offsets[k])), m), count));
      store(d + 4 * i, sum);
    }
#endif
    for (; i < n; ++i) {
      std::uint32_t sum = 0;
      for (int k = 0; k < Count; ++k) sum += (load_pixel(s + 4 * (i + offsets[k])) & mask) >> shift;
      store_pixel(d + 4 * i, sum);
    }
  }
}

void blur(const Rows& r, std::int32_t amount) {
  const std::ptrdiff_t w = r.w;
  switch (amount) {
    case 1: {
      const std::ptrdiff_t offsets[] = {-1, 1};
      blur_area(r, 1, r.h, 2, r.w - 1, offsets, 0xFEFEFEFEu, 1);
      break;
    }
    case 2: {
      const std::ptrdiff_t offsets[] = {-w, w};
      blur_area(r, 2, r.h - 1, 1, r.w, offsets, 0xFEFEFEFEu, 1);
      break;
    }
    case 4: {
      const std::ptrdiff_t offsets[] = {-w - 1, -w + 1, w - 1, w + 1};
      blur_area(r, 2, r.h - 1, 2, r.w - 1, offsets, 0xFCFCFCFCu, 2);
      break;
    }
    case 8: {
      const std::ptrdiff_t offsets[] = {-w - 1, -w, -w + 1, -1, 1, w - 1, w, w + 1};
      blur_area(r, 2, r.h - 1, 2, r.w - 1, offsets, 0xF8F8F8F8u, 3);
      break;
    }
    default:
      break;
  }
}

// Walks rows y0..y1 and columns x0..x1 four pixels at a time with `four`
// and the rest with `one` (both get the source and destination addresses).
template <class Four, class One>
void for_each_span(const Rows& r, int y0, int y1, int x0, int x1, Four four, One one) {
  if (y0 > y1 || x0 > x1) return;
  const int n = x1 - x0 + 1;
  for (int y = y0; y <= y1; ++y) {
    const std::uint8_t* s = r.s(x0, y);
    std::uint8_t* d = r.d(x0, y);
    int i = 0;
#ifdef VIRELTA_SSE2
    for (; i + 4 <= n; i += 4) four(s + 4 * i, d + 4 * i);
#else
    (void)four;
#endif
    for (; i < n; ++i) one(s + 4 * i, d + 4 * i);
  }
}

void edge(const Rows& r, std::uint32_t colour) {
  if (r.w < 3 || r.h < 3) return;
  const std::ptrdiff_t w = 4 * static_cast<std::ptrdiff_t>(r.w);
  const std::ptrdiff_t around[] = {-w - 4, -w, -w + 4, -4, 4, w - 4, w, w + 4};
  // Centres: rows and columns from the far side down to 3, at least once.
  const int y0 = std::min(r.h - 1, 3), x0 = std::min(r.w - 1, 3);
  auto four = [&](const std::uint8_t* s, std::uint8_t* d) {
#ifdef VIRELTA_SSE2
    __m128i centre = load(s);
    __m128i low = _mm_add_epi16(_mm_slli_epi16(widen_low(centre), 3), colour_words(colour));
    __m128i high = _mm_add_epi16(_mm_slli_epi16(widen_high(centre), 3), colour_words(colour));
    for (std::ptrdiff_t o : around) {
      __m128i v = load(s + o);
      low = _mm_sub_epi16(low, widen_low(v));
      high = _mm_sub_epi16(high, widen_high(v));
    }
    store_keeping_unused(d, _mm_packus_epi16(low, high));
#else
    (void)s, (void)d;
#endif
  };
  auto one = [&](const std::uint8_t* s, std::uint8_t* d) {
    const std::uint32_t colour_word = colour_pixel(colour);
    store_channels(d, [&](int c) {
      int v = 8 * s[c] + channel(colour_word, c);
      for (std::ptrdiff_t o : around) v -= s[o + c];
      return v;
    });
  };
  for_each_span(r, y0, r.h - 1, x0, r.w - 1, four, one);
}

void relief(const Rows& r, std::uint32_t colour) {
  if (r.w < 2 || r.h < 2) return;
  const std::ptrdiff_t upper_right = 4 * static_cast<std::ptrdiff_t>(r.w) + 4;
  auto four = [&](const std::uint8_t* s, std::uint8_t* d) {
#ifdef VIRELTA_SSE2
    __m128i a = load(s), b = load(s + upper_right), c = colour_words(colour);
    __m128i low = _mm_sub_epi16(_mm_sub_epi16(widen_low(a), widen_low(b)), c);
    __m128i high = _mm_sub_epi16(_mm_sub_epi16(widen_high(a), widen_high(b)), c);
    low = _mm_max_epi16(low, _mm_sub_epi16(_mm_setzero_si128(), low));
    high = _mm_max_epi16(high, _mm_sub_epi16(_mm_setzero_si128(), high));
    store_keeping_unused(d, _mm_packus_epi16(low, high));
#else
    (void)s, (void)d;
#endif
  };
  const std::uint32_t colour_word = colour_pixel(colour);
  auto one = [&](const std::uint8_t* s, std::uint8_t* d) {
    store_channels(d, [&](int c) { return std::abs(s[c] - s[upper_right + c] - channel(colour_word, c)); });
  };
  for_each_span(r, std::min(r.h - 1, 2), r.h - 1, std::min(r.w - 1, 2), r.w - 1, four, one);
}

void wave(const Rows& r, const float* table) {
  if (table == nullptr) return;
  for (int y = 1; y <= r.h; ++y) {
    const std::uint8_t* s = r.s(1, rounded(wave_source_row(table, y, r.h)));
    std::uint8_t* d = r.d(1, y);
    int x = 0;
#ifdef VIRELTA_SSE2
    for (; x + 4 <= r.w; x += 4) store_keeping_unused(d + 4 * x, load(s + 4 * x));
#endif
    for (; x < r.w; ++x) store_pixel(d + 4 * x, keep_unused_byte(load_pixel(d + 4 * x), load_pixel(s + 4 * x)));
  }
}

void emboss(const Rows& r, std::uint32_t colour) {
  if (r.w < 3 || r.h < 3) return;
  const std::ptrdiff_t w = 4 * static_cast<std::ptrdiff_t>(r.w);
  auto four = [&](const std::uint8_t* s, std::uint8_t* d) {
#ifdef VIRELTA_SSE2
    const __m128i c = colour_words(colour);
    __m128i out[2];
    for (int half = 0; half < 2; ++half) {
      auto at = [&](std::ptrdiff_t o) { return half == 0 ? widen_low(load(s + o)) : widen_high(load(s + o)); };
      __m128i up_right = at(w + 4), down_left = at(-w - 4);
      __m128i sum = _mm_add_epi16(_mm_add_epi16(at(0), at(w)), _mm_add_epi16(up_right, up_right));
      sum = _mm_add_epi16(sum, at(4));
      sum = _mm_sub_epi16(sum, _mm_add_epi16(at(-4), _mm_add_epi16(down_left, down_left)));
      sum = _mm_sub_epi16(sum, at(-w));
      __m128i value = _mm_add_epi16(_mm_srai_epi16(sum, 1), _mm_set1_epi16(50));
      __m128i over = _mm_or_si128(_mm_cmpgt_epi16(sum, _mm_set1_epi16(411)),
                                  _mm_cmplt_epi16(sum, _mm_set1_epi16(-100)));
      __m128i negative = _mm_andnot_si128(over, _mm_cmplt_epi16(sum, _mm_setzero_si128()));
      // A red channel that took its colour spares the pixel's lower limit.
      __m128i red_over = _mm_shufflehi_epi16(_mm_shufflelo_epi16(over, 0xAA), 0xAA);
      __m128i to_zero = _mm_andnot_si128(red_over, negative);
      out[half] = _mm_or_si128(_mm_and_si128(over, c), _mm_andnot_si128(over, _mm_andnot_si128(to_zero, value)));
    }
    store_keeping_unused(d, _mm_packus_epi16(out[0], out[1]));
#else
    (void)s, (void)d;
#endif
  };
  auto one = [&](const std::uint8_t* s, std::uint8_t* d) {
    std::uint32_t colour_word = colour_pixel(colour);
    int sum[3];
    bool over[3];
    for (int c = 0; c < 3; ++c) {
      sum[c] = s[c] + s[w + c] + 2 * s[w + 4 + c] + s[4 + c] - s[-4 + c] - 2 * s[-w - 4 + c] - s[-w + c];
      over[c] = sum[c] > 411 || sum[c] < -100;
    }
    // Every value lies within 0..255 already.
    store_channels(d, [&](int c) {
      return over[c] ? channel(colour_word, c) : (sum[c] < 0 && !over[2]) ? 0 : (sum[c] >> 1) + 50;
    });
  };
  for_each_span(r, 2, r.h - 1, 2, r.w - 1, four, one);
}

void twirl(const Rows& r, std::int32_t amount, std::uint32_t colour) {
  const int cx = r.w / 2, cy = r.h / 2;
  const std::int32_t longest = std::max(r.w, r.h);
  const float twist = twirl_twist(amount);
  const std::uint32_t colour_word = colour_pixel(colour);
  // Offsets from the centre that lie inside the picture.
  const int dx_min = 1 - cx, dx_max = r.w - cx, dy_min = 1 - cy, dy_max = r.h - cy;
  const int reach_x = std::max(-dx_min, dx_max), reach_y = std::max(-dy_min, dy_max);

  auto write = [&](int dx, int dy, const TwirlTurn& turn) {
    if (dx < dx_min || dx > dx_max || dy < dy_min || dy > dy_max) return;
    TwirlSource source = twirl_source(dx, dy, turn, cx, cy);
    std::uint32_t pixel = colour_word;
    int sx = rounded(source.x);
    if (sx > 1 && sx < r.w) {
      int sy = rounded(source.y);
      if (sy > 1 && sy < r.h) pixel = load_pixel(r.s(sx, sy));
    }
    std::uint8_t* d = r.d(cx + dx, cy + dy);
    store_pixel(d, keep_unused_byte(load_pixel(d), pixel));
  };

  // (p, q) with p >= q >= 0 stands for the eight offsets (+-p, +-q), (+-q, +-p),
  // all at the same distance and so with the same turn.
  for (int p = 0; p <= std::max(reach_x, reach_y); ++p) {
    int q_max = -1;
    if (p <= reach_x) q_max = std::max(q_max, std::min(p, reach_y));
    if (p <= reach_y) q_max = std::max(q_max, std::min(p, reach_x));
    for (int q = 0; q <= q_max; ++q) {
      TwirlTurn turn = twirl_turn(twirl_d2(p, q), longest, twist);
      const int signed_p[2] = {p, -p}, signed_q[2] = {q, -q};
      for (int a = 0; a < (p ? 2 : 1); ++a)
        for (int b = 0; b < (q ? 2 : 1); ++b) {
          write(signed_p[a], signed_q[b], turn);
          if (p != q) write(signed_q[b], signed_p[a], turn);
        }
    }
  }
}

void run(const KernelBlock& block, std::uint32_t wparam, std::uint32_t lparam, bool avx2) {
  if (!block.has_pixels()) return;
  run_effect(block, Rows(block, avx2), wave_table_from_words(wparam, lparam));
}

}  // namespace

namespace pixel_effects_detail {

void pixel_effects_kernel_sse2(const KernelBlock& block, std::uint32_t, std::uint32_t wparam, std::uint32_t lparam) {
  run(block, wparam, lparam, false);
}

void pixel_effects_kernel_avx2(const KernelBlock& block, std::uint32_t, std::uint32_t wparam, std::uint32_t lparam) {
  run(block, wparam, lparam, true);
}

}  // namespace pixel_effects_detail

}  // namespace virelta::effects
