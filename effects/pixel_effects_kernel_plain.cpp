// The pixel effects kernel as its rules read: one byte at a time, pixels
// addressed by column and row (both from 1, rows from the bottom).
#include <algorithm>
#include <cstdlib>

#include "runtime/runtime.h"
#include "effects/pixel_effects_kernel.h"
#include "effects/pixel_effects_kernel_shared.h"

namespace virelta::effects {

namespace {

using namespace pixel_effects_detail;

class Layers {
 public:
  explicit Layers(const KernelBlock& block)
      : w(block.width), h(block.height), source_(block.layer(3)), destination_(block.layer(2)) {}

  // Channel 0 blue, 1 green, 2 red, 3 unused.
  int S(int x, int y, int c) const { return source_[offset(x, y) + c]; }
  std::uint8_t& D(int x, int y, int c) const { return destination_[offset(x, y) + c]; }
  bool inside(int x, int y) const { return x >= 1 && x <= w && y >= 1 && y <= h; }

  const int w;
  const int h;

 private:
  std::size_t offset(int x, int y) const {
    return ((static_cast<std::size_t>(y) - 1) * static_cast<std::size_t>(w) + (x - 1)) * 4;
  }
  const std::uint8_t* source_;
  std::uint8_t* destination_;
};


int rounded(double value) { return to_int32_or_indefinite(round_half_even(value)); }

template <class Visit>
void for_down_to_two(int first, Visit visit) {
  int n = first;
  do visit(n);
  while (--n >= 2);
}

void blur(const Layers& l, std::int32_t amount) {
  switch (amount) {
    case 1:
      for (int y = 1; y <= l.h; ++y)
        for (int x = 2; x <= l.w - 1; ++x)
          for (int c = 0; c < 4; ++c) l.D(x, y, c) = l.S(x - 1, y, c) / 2 + l.S(x + 1, y, c) / 2;
      break;
    case 2:
      for (int y = 2; y <= l.h - 1; ++y)
        for (int x = 1; x <= l.w; ++x)
          for (int c = 0; c < 4; ++c) l.D(x, y, c) = l.S(x, y - 1, c) / 2 + l.S(x, y + 1, c) / 2;
      break;
    case 4:
      for (int y = 2; y <= l.h - 1; ++y)
        for (int x = 2; x <= l.w - 1; ++x)
          for (int c = 0; c < 4; ++c)
            l.D(x, y, c) = l.S(x - 1, y - 1, c) / 4 + l.S(x + 1, y - 1, c) / 4 + l.S(x - 1, y + 1, c) / 4 +
                           l.S(x + 1, y + 1, c) / 4;
      break;
    case 8:
      for (int y = 2; y <= l.h - 1; ++y)
        for (int x = 2; x <= l.w - 1; ++x)
          for (int c = 0; c < 4; ++c) {
            int sum = 0;
            for (int i = -1; i <= 1; ++i)
              for (int j = -1; j <= 1; ++j)
                if (i != 0 || j != 0) sum += l.S(x + j, y + i, c) / 8;
            l.D(x, y, c) = static_cast<std::uint8_t>(sum);
          }
      break;
    default:
      break;
  }
}

void edge(const Layers& l, std::uint32_t colour) {
  if (l.w < 3 || l.h < 3) return;
  for_down_to_two(l.h - 2, [&](int n) {
    for_down_to_two(l.w - 2, [&](int m) {
      int x = m + 1, y = n + 1;
      for (int c = 0; c < 3; ++c) {
        int neighbours = 0;
        for (int i = -1; i <= 1; ++i)
          for (int j = -1; j <= 1; ++j)
            if (i != 0 || j != 0) neighbours += l.S(x + j, y + i, c);
        int v = 8 * l.S(x, y, c) - neighbours + colour_channel(colour, c);
        l.D(x, y, c) = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
      }
    });
  });
}

void relief(const Layers& l, std::uint32_t colour) {
  if (l.w < 2 || l.h < 2) return;
  for_down_to_two(l.h - 1, [&](int y) {
    for_down_to_two(l.w - 1, [&](int x) {
      for (int c = 0; c < 3; ++c) {
        int v = std::abs(l.S(x, y, c) - l.S(x + 1, y + 1, c) - colour_channel(colour, c));
        l.D(x, y, c) = static_cast<std::uint8_t>(std::min(v, 255));
      }
    });
  });
}

void wave(const Layers& l, const float* table) {
  if (table == nullptr) return;
  for (int y = 1; y <= l.h; ++y) {
    int row = rounded(wave_source_row(table, y, l.h));
    for (int x = 1; x <= l.w; ++x)
      for (int c = 0; c < 3; ++c) l.D(x, y, c) = static_cast<std::uint8_t>(l.S(x, row, c));
  }
}

void emboss(const Layers& l, std::uint32_t colour) {
  if (l.w < 3 || l.h < 3) return;
  for_down_to_two(l.h - 1, [&](int y) {
    for_down_to_two(l.w - 1, [&](int x) {
      std::int32_t h[3];
      for (int c = 0; c < 3; ++c) {
        int e = l.S(x, y + 1, c) + 2 * l.S(x + 1, y + 1, c) + l.S(x + 1, y, c) - l.S(x - 1, y, c) -
                2 * l.S(x - 1, y - 1, c) - l.S(x, y - 1, c);
        std::int32_t s = l.S(x, y, c) + e;
        // Halved as an unsigned pattern, then 50 added modulo 2^32.
        h[c] = static_cast<std::int32_t>((static_cast<std::uint32_t>(s) >> 1) + 50u);
      }
      bool took_colour[3] = {false, false, false};
      for (int c = 0; c < 3; ++c) {  // blue, green, red
        if (h[c] > 255) {
          l.D(x, y, c) = static_cast<std::uint8_t>(colour_channel(colour, c));
          took_colour[c] = true;
        }
      }
      for (int c = 0; c < 3; ++c) {
        if (took_colour[c]) continue;
        if (took_colour[2])
          l.D(x, y, c) = static_cast<std::uint8_t>(h[c] & 0xFF);
        else
          l.D(x, y, c) = static_cast<std::uint8_t>(h[c] < 0 ? 0 : h[c]);
      }
    });
  });
}

void twirl(const Layers& l, std::int32_t amount, std::uint32_t colour) {
  int cx = l.w / 2, cy = l.h / 2;
  std::int32_t longest = std::max(l.w, l.h);
  float twist = twirl_twist(amount);
  for (int y = 1; y <= l.h; ++y) {
    for (int x = 1; x <= l.w; ++x) {
      int dx = x - cx, dy = y - cy;
      TwirlTurn turn = twirl_turn(twirl_d2(dx, dy), longest, twist);
      TwirlSource source = twirl_source(dx, dy, turn, cx, cy);
      int sx = rounded(source.x);
      bool outside = sx <= 1 || sx >= l.w;
      int sy = 0;
      if (!outside) {
        sy = rounded(source.y);
        outside = sy <= 1 || sy >= l.h;
      }
      for (int c = 0; c < 3; ++c)
        l.D(x, y, c) = static_cast<std::uint8_t>(outside ? colour_channel(colour, c) : l.S(sx, sy, c));
    }
  }
}

}  // namespace

void pixel_effects_kernel_plain(const KernelBlock& block, std::uint32_t, std::uint32_t wparam, std::uint32_t lparam) {
  if (!block.has_pixels()) return;
  run_effect(block, Layers(block), wave_table_from_words(wparam, lparam));
}

}  // namespace virelta::effects
