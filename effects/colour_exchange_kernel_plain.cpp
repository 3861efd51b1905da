// The colour-exchange kernel as its rules read: one byte at a time, pixels
// addressed by column and row (both from 1, rows from the bottom), in place
// on layer 2.
#include <algorithm>
#include <cstdlib>

#include "runtime/runtime.h"
#include "effects/colour_exchange_kernel.h"
#include "effects/colour_exchange_kernel_shared.h"

namespace virelta::effects {

namespace {

using namespace colour_exchange_detail;

class Layer {
 public:
  explicit Layer(const KernelBlock& block) : w(block.width), h(block.height), base_(block.layer(2)) {}
  // Blue, green, red, unused.
  std::uint8_t* at(int x, int y) const {
    return base_ + ((static_cast<std::size_t>(y) - 1) * static_cast<std::size_t>(w) + (x - 1)) * 4;
  }
  const int w;
  const int h;

 private:
  std::uint8_t* base_;
};


int rounded(double value) { return to_int32_or_indefinite(round_half_even(value)); }

void paint(std::uint8_t* pixel, std::uint32_t colour) {
  for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>(colour_channel(colour, c));
}

void blend(std::uint8_t* pixel, double t, std::uint32_t colour) {
  for (int c = 0; c < 3; ++c) pixel[c] = blend_byte(rounded(blend_value(t, pixel[c], colour_channel(colour, c))));
}

void dot(const Layer& l, float fx, float fy, std::uint32_t colour) {
  int x = std::min(rounded(dot_position(fx, l.w)), l.w);
  int y = std::min(rounded(dot_position(fy, l.h)), l.h);
  // Fractions below 0 (never drawn by the class) would leave the layer.
  if (x < 1 || y < 1) return;
  paint(l.at(x, y), colour);
}

void row_lines(const Layer& l, std::int32_t step, std::uint32_t colour) {
  for (std::int64_t y = l.h; y > 0; y -= step)
    for (int x = 1; x <= l.w; ++x) paint(l.at(x, static_cast<int>(y)), colour);
}

void column_lines(const Layer& l, std::int32_t step, std::uint32_t colour) {
  for (std::int64_t x = l.w; x > 0; x -= step)
    for (int y = 1; y <= l.h; ++y) paint(l.at(static_cast<int>(x), y), colour);
}

void grid_dots(const Layer& l, std::int32_t step, std::uint32_t colour) {
  for (std::int64_t y = l.h; y > 0; y -= step)
    for (std::int64_t x = l.w; x > 0; x -= step) paint(l.at(static_cast<int>(x), static_cast<int>(y)), colour);
}

void bleed(const Layer& l, int k, float start, float step, std::uint32_t colour) {
  if (l.w < 2 * std::int64_t{k} + 1 || l.h < 2 * std::int64_t{k} + 1) return;
  for (int y = k + 1; y <= l.h - k; ++y)
    for (int x = k + 1; x <= l.w - k; ++x) {
      if (!matches(l.at(x, y), colour)) continue;
      for (int i = -k; i <= k; ++i)
        for (int j = -k; j <= k; ++j) {
          int ring = std::max(std::abs(i), std::abs(j));
          double t = static_cast<double>(start) - static_cast<double>(step) * (k - ring);
          blend(l.at(x + j, y + i), t, colour);
        }
    }
}

// One streak direction: (dx, dy) points from the matching pixel along it.
void streaks(const Layer& l, int k, int dx, int dy, float start, float step, std::uint32_t colour) {
  if ((dy != 0 && l.h <= k) || (dx != 0 && l.w <= k)) return;
  int y_first = dy < 0 ? k + 1 : 1, y_last = dy > 0 ? l.h - k : l.h;
  int x_first = dx < 0 ? k + 1 : 1, x_last = dx > 0 ? l.w - k : l.w;
  for (int y = y_first; y <= y_last; ++y)
    for (int x = x_first; x <= x_last; ++x) {
      if (!matches(l.at(x, y), colour)) continue;
      float t = start;
      for (int j = k; j >= 1; --j) {
        t = t - step;
        blend(l.at(x + j * dx, y + j * dy), t, colour);
      }
    }
}

void burst(const Layer& l, std::int32_t amount, float centre_x, float centre_y, std::uint32_t colour) {
  const std::int64_t rings = 24 * static_cast<std::int64_t>(amount);
  const double from_bottom = static_cast<double>(l.h) - static_cast<double>(centre_y);
  std::int64_t rho = 1;
  do {
    float f = burst_factor(rho, rings);
    for (int theta = 359; theta >= 1; --theta) {
      BurstPoint point = burst_point(burst_direction(theta), rho, centre_x, from_bottom);
      int x = rounded(point.x), y = rounded(point.y);
      if (x < 1 || x > l.w || y < 1 || y > l.h) continue;
      std::uint8_t* pixel = l.at(x, y);
      for (int c = 0; c < 3; ++c)
        pixel[c] = burst_byte(rounded(pixel[c] * static_cast<double>(f)), colour_channel(colour, c));
    }
  } while (++rho <= rings);
}

}  // namespace

void colour_exchange_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t) {
  if (!block.has_pixels()) return;
  Layer layer(block);
  const float x = single(msg), y = single(wparam);
  const std::int32_t amount = block.amount;
  const std::int32_t k = colour_exchange_reach(amount);
  switch (block.opcode) {
    case 0: dot(layer, x, y, block.colour); break;
    case 1: if (amount >= 1) row_lines(layer, amount, block.colour); break;
    case 2: if (amount >= 1) column_lines(layer, amount, block.colour); break;
    case 3: if (amount >= 1) grid_dots(layer, amount, block.colour); break;
    case 4: if (amount >= 0) bleed(layer, k, x, y, block.colour); break;
    case 5: if (amount >= 0) streaks(layer, k, 0, 1, x, y, block.colour); break;
    case 6: if (amount >= 0) streaks(layer, k, 0, -1, x, y, block.colour); break;
    case 7: if (amount >= 0) streaks(layer, k, -1, 0, x, y, block.colour); break;
    case 8: if (amount >= 0) streaks(layer, k, 1, 0, x, y, block.colour); break;
    case 9: burst(layer, amount, x, y, block.colour); break;
    default: break;
  }
}

}  // namespace virelta::effects
