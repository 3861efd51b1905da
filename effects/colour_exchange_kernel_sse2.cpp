// The colour-exchange kernel, fast: whole 32-bit pixels, an SSE2 scan for
// matching pixels, the blends of small reaches looked up in tables, and the
// burst's directions worked out once and its rings limited to those that can
// touch the picture. Every result equals the plain kernel's byte for byte.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "effects/colour_exchange_kernel.h"
#include "effects/colour_exchange_kernel_shared.h"

namespace virelta::effects {

namespace {

using namespace colour_exchange_detail;

struct Layer {
  explicit Layer(const KernelBlock& block) : w(block.width), h(block.height), base(block.layer(2)) {}
  std::uint8_t* at(int x, int y) const {
    return base + ((static_cast<std::size_t>(y) - 1) * static_cast<std::size_t>(w) + (x - 1)) * 4;
  }
  int w;
  int h;
  std::uint8_t* base;
};

int rounded(double value) { return rounded_int32(value); }


void paint(std::uint8_t* pixel, std::uint32_t word) {
  std::uint32_t v;
  std::memcpy(&v, pixel, 4);
  v = (v & 0xFF000000u) | word;
  std::memcpy(pixel, &v, 4);
}

void dot(const Layer& l, float fx, float fy, std::uint32_t colour) {
  int x = std::min(rounded(dot_position(fx, l.w)), l.w);
  int y = std::min(rounded(dot_position(fy, l.h)), l.h);
  if (x < 1 || y < 1) return;
  paint(l.at(x, y), colour_pixel(colour));
}

void lines(const Layer& l, int opcode, std::int32_t step, std::uint32_t colour) {
  const std::uint32_t word = colour_pixel(colour);
  const bool every_row = opcode == 2, every_column = opcode == 1;
  for (std::int64_t y = l.h; y > 0; y -= every_row ? 1 : step) {
    std::uint8_t* row = l.at(1, static_cast<int>(y));
    if (every_column) {
      for (int x = 0; x < l.w; ++x) paint(row + 4 * x, word);
    } else {
      for (std::int64_t x = l.w; x > 0; x -= step) paint(row + 4 * (x - 1), word);
    }
  }
}

// First column from `x` to `last` whose pixel matches, or last + 1. It reads
// the layer as it is now, so colour that earlier blends made matches too.
int next_match(const std::uint8_t* row, int x, int last, std::uint32_t word) {
#ifdef VIRELTA_SSE2
  const __m128i mask = _mm_set1_epi32(0x00FFFFFF), wanted = _mm_set1_epi32(static_cast<int>(word));
  for (; x + 3 <= last; x += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * (x - 1)));
    int hits = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(v, mask), wanted));
    if (hits) return x + std::countr_zero(static_cast<unsigned>(hits)) / 4;
  }
#endif
  for (; x <= last; ++x) {
    std::uint32_t v;
    std::memcpy(&v, row + 4 * (x - 1), 4);
    if ((v & 0x00FFFFFFu) == word) return x;
  }
  return x;
}

// Blends for up to this reach come from tables: one per weight and channel.
constexpr int kTableReach = 16;

class Blender {
 public:
  Blender(std::uint32_t colour, int levels) : colour_(colour), tabled_(levels <= kTableReach + 1) {}
  // Fills the table of one weight (only when tables are in use).
  void prepare(int level, double t) {
    if (!tabled_) return;
    for (int c = 0; c < 3; ++c)
      for (int v = 0; v < 256; ++v)
        table_[level][c][v] = blend_byte(rounded(blend_value(t, v, colour_channel(colour_, c))));
  }
  void blend(std::uint8_t* pixel, int level, double t) const {
    if (tabled_) {
      for (int c = 0; c < 3; ++c) pixel[c] = table_[level][c][pixel[c]];
    } else {
      for (int c = 0; c < 3; ++c) pixel[c] = blend_byte(rounded(blend_value(t, pixel[c], colour_channel(colour_, c))));
    }
  }
  bool tabled() const { return tabled_; }

 private:
  std::uint32_t colour_;
  bool tabled_;
  std::uint8_t table_[kTableReach + 1][3][256];
};

template <class Apply>
void scan_matches(const Layer& l, int y_first, int y_last, int x_first, int x_last, std::uint32_t word, Apply apply) {
  for (int y = y_first; y <= y_last; ++y) {
    const std::uint8_t* row = l.at(1, y);
    for (int x = next_match(row, x_first, x_last, word); x <= x_last; x = next_match(row, x + 1, x_last, word))
      apply(x, y);
  }
}

void bleed(const Layer& l, int k, float start, float step, std::uint32_t colour) {
  if (l.w < 2 * std::int64_t{k} + 1 || l.h < 2 * std::int64_t{k} + 1) return;
  auto weight = [&](int ring) { return static_cast<double>(start) - static_cast<double>(step) * (k - ring); };
  Blender blender(colour, k + 1);
  if (blender.tabled())
    for (int ring = 0; ring <= k; ++ring) blender.prepare(ring, weight(ring));
  scan_matches(l, k + 1, l.h - k, k + 1, l.w - k, colour_pixel(colour), [&](int x, int y) {
    for (int i = -k; i <= k; ++i) {
      std::uint8_t* p = l.at(x - k, y + i);
      for (int j = -k; j <= k; ++j, p += 4) {
        int ring = std::max(std::abs(i), std::abs(j));
        blender.blend(p, ring, blender.tabled() ? 0.0 : weight(ring));
      }
    }
  });
}

void streaks(const Layer& l, int k, int dx, int dy, float start, float step, std::uint32_t colour) {
  if ((dy != 0 && l.h <= k) || (dx != 0 && l.w <= k)) return;
  int y_first = dy < 0 ? k + 1 : 1, y_last = dy > 0 ? l.h - k : l.h;
  int x_first = dx < 0 ? k + 1 : 1, x_last = dx > 0 ? l.w - k : l.w;
  Blender blender(colour, k + 1);
  if (blender.tabled()) {
    float t = start;
    for (int n = 1; n <= k; ++n) {
      t = t - step;
      blender.prepare(n, t);
    }
  }
  const std::ptrdiff_t along = 4 * (static_cast<std::ptrdiff_t>(dy) * l.w + dx);
  scan_matches(l, y_first, y_last, x_first, x_last, colour_pixel(colour), [&](int x, int y) {
    std::uint8_t* p = l.at(x, y) + along * k;  // the far end first
    float t = start;
    for (int n = 1; n <= k; ++n, p -= along) {
      if (!blender.tabled()) t = t - step;
      blender.blend(p, n, t);
    }
  });
}

void burst(const Layer& l, std::int32_t amount, float centre_x, float centre_y, std::uint32_t colour) {
  const std::int64_t rings = 24 * static_cast<std::int64_t>(amount);
  const double from_bottom = static_cast<double>(l.h) - static_cast<double>(centre_y);
  // A centre that is not a finite number puts every sample outside.
  if (!std::isfinite(centre_x) || !std::isfinite(from_bottom)) return;
  // A sample lands in the picture only if its unrounded point lies within
  // half a pixel of it, and that point is rho from the centre: rings nearer
  // than the picture's nearest point or beyond its farthest touch nothing.
  const double left = 0.5, right = l.w + 0.5, bottom = 0.5, top = l.h + 0.5;
  const double cx = centre_x, cy = from_bottom;
  const double near = std::hypot(std::max({0.0, left - cx, cx - right}), std::max({0.0, bottom - cy, cy - top}));
  const double far = std::hypot(std::max(std::abs(cx - left), std::abs(cx - right)),
                                std::max(std::abs(cy - bottom), std::abs(cy - top)));
  const std::int64_t last = std::max<std::int64_t>(rings, 1);
  if (near - 1 > static_cast<double>(last)) return;
  const std::int64_t first = std::max<std::int64_t>(1, static_cast<std::int64_t>(near - 1));
  const std::int64_t stop = std::min<std::int64_t>(last, static_cast<std::int64_t>(far + 1) + 1);

  BurstDirection directions[359];
  for (int theta = 359; theta >= 1; --theta) directions[359 - theta] = burst_direction(theta);
  const int colour_channels[3] = {colour_channel(colour, 0), colour_channel(colour, 1), colour_channel(colour, 2)};

  for (std::int64_t rho = first; rho <= stop; ++rho) {
    const double f = burst_factor(rho, rings);
    for (const BurstDirection& d : directions) {
      BurstPoint point = burst_point(d, rho, centre_x, from_bottom);
      int x = rounded(point.x), y = rounded(point.y);
      if (x < 1 || x > l.w || y < 1 || y > l.h) continue;
      std::uint8_t* pixel = l.at(x, y);
      for (int c = 0; c < 3; ++c) pixel[c] = burst_byte(rounded(pixel[c] * f), colour_channels[c]);
    }
  }
}

}  // namespace

void colour_exchange_detail::colour_exchange_kernel_sse2(const KernelBlock& block, std::uint32_t msg,
                                                         std::uint32_t wparam, std::uint32_t) {
  if (!block.has_pixels()) return;
  Layer layer(block);
  const float x = single(msg), y = single(wparam);
  const std::int32_t amount = block.amount;
  const int opcode = block.opcode;
  if (opcode == 0) {
    dot(layer, x, y, block.colour);
  } else if (opcode >= 1 && opcode <= 3) {
    if (amount >= 1) lines(layer, opcode, amount, block.colour);
  } else if (opcode >= 4 && opcode <= 8) {
    // A colour with a non-zero top byte matches no pixel, so nothing blends.
    if (amount < 0 || block.colour > 0xFFFFFFu) return;
    const std::int32_t k = colour_exchange_reach(amount);
    switch (opcode) {
      case 4: bleed(layer, k, x, y, block.colour); break;
      case 5: streaks(layer, k, 0, 1, x, y, block.colour); break;
      case 6: streaks(layer, k, 0, -1, x, y, block.colour); break;
      case 7: streaks(layer, k, -1, 0, x, y, block.colour); break;
      default: streaks(layer, k, 1, 0, x, y, block.colour); break;
    }
  } else if (opcode == 9) {
    burst(layer, amount, x, y, block.colour);
  }
}

}  // namespace virelta::effects
