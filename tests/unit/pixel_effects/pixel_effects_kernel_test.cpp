// The pixel effects kernel: worked examples (run by the plain kernel and the
// fastest one), arguments outside the documented ranges, and every entry of
// the kernel table against the plain one.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "effects/pixel_effects_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

constexpr Bytes kUntouched = {7, 7, 7, 7};
constexpr std::uint32_t rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

void run(KernelPicture& p, int opcode, int amount, std::uint32_t colour,
         WaveTableWords words = {kPixelEffectsWParam, kPixelEffectsLParam}) {
  p.block.opcode = opcode;
  p.block.amount = amount;
  p.block.colour = colour;
  p.run_both(pixel_effects_kernel_plain, pixel_effects_kernel, kPixelEffectsMsg, words.wparam, words.lparam);
}

struct Placed {
  int x, y;
  Bytes bytes;
};

// Layer 3 is `fill` with `sources` placed on it; layer 2 starts as kUntouched
// and must become `inside` over columns x0..x1 and rows y0..y1, and stay
// elsewhere.
struct Example {
  const char* what;
  int opcode, amount;
  std::uint32_t colour;
  int w, h;
  Bytes fill;
  std::vector<Placed> sources;
  int x0, x1, y0, y1;
  Bytes inside;
};

TEST(NeighbourhoodFilters, WorkedExamples) {
  const Bytes k100 = {100, 100, 100, 100};
  const Example examples[] = {
      {"ring blur: 8 x floor(100 / 8)", 0, 8, 0, 5, 4, k100, {}, 2, 4, 2, 3, {96, 96, 96, 96}},
      {"horizontal blur of 100", 0, 1, 0, 4, 3, k100, {}, 2, 3, 1, 3, k100},
      {"vertical blur of 100", 0, 2, 0, 3, 4, k100, {}, 1, 3, 2, 3, k100},
      {"diagonal blur of 100", 0, 4, 0, 4, 4, k100, {}, 2, 3, 2, 3, k100},
      {"horizontal: byte by byte, no centre", 0, 1, 0, 3, 1, {200, 200, 200, 200},
       {{1, 1, {255, 1, 0, 3}}, {3, 1, {1, 255, 9, 5}}}, 2, 2, 1, 1, {127, 127, 4, 3}},
      {"vertical: below and above", 0, 2, 0, 1, 3, {99, 99, 99, 99},
       {{1, 1, {10, 20, 31, 255}}, {1, 3, {11, 21, 30, 255}}}, 1, 1, 2, 2, {10, 20, 30, 254}},
      {"diagonal: quarters of the corners", 0, 4, 0, 3, 3, {250, 250, 250, 250},
       {{1, 1, {7, 3, 255, 0}}, {3, 1, {11, 3, 255, 4}}, {1, 3, {255, 3, 255, 8}}, {3, 3, {3, 3, 255, 12}}},
       2, 2, 2, 2, {1 + 2 + 63 + 0, 0, 252, 0 + 1 + 2 + 3}},
      {"edge of a uniform picture: the colour", 1, 1, 0xAB000000 | rgb(10, 20, 30), 6, 5, {60, 60, 60, 60}, {},
       3, 5, 3, 4, {30, 20, 10, 7}},
      {"edge: 8 x centre - neighbours + colour in 0..255", 1, 1, rgb(5, 0, 7), 3, 3, {40, 0, 1, 9},
       {{2, 2, {50, 255, 0, 9}}}, 2, 2, 2, 2, {400 - 320 + 7, 255, 0, 7}},
      {"relief of a uniform picture, colour 0", 2, 1, 0, 5, 4, k100, {}, 2, 4, 2, 3, {0, 0, 0, 7}},
      {"relief of a uniform picture, pure red", 2, 1, 0xFF0000FF, 5, 4, k100, {}, 2, 4, 2, 3, {0, 0, 255, 7}},
      {"relief: |S - upper right - colour|, at least once", 2, 1, rgb(0, 0, 100), 2, 2, {0, 0, 0, 0},
       {{1, 1, {10, 200, 50, 0}}, {2, 2, {200, 10, 50, 0}}}, 1, 1, 1, 1, {255, 190, 0, 7}},
      {"emboss of 100", 4, 1, 0xFFFFFF, 5, 5, {100, 100, 100, 0}, {}, 2, 4, 2, 4, {100, 100, 100, 7}},
      {"emboss of 0", 4, 1, 0xFFFFFF, 5, 5, {0, 0, 0, 0}, {}, 2, 4, 2, 4, {50, 50, 50, 7}},
      // s: blue -50, green 500, red -200; red took its colour, so blue keeps its low byte.
      {"emboss: red over", 4, 1, rgb(11, 22, 33), 3, 3, {0, 0, 0, 0},
       {{1, 2, {50, 0, 0, 0}}, {2, 2, {0, 255, 0, 0}}, {2, 3, {0, 245, 0, 0}}, {2, 1, {0, 0, 200, 0}}},
       2, 2, 2, 2, {25, 22, 11, 7}},
      // s: blue -100, green 411 (the largest kept), red -1.
      {"emboss: negatives to 0", 4, 1, 0x5A000000 | rgb(11, 22, 33), 3, 3, {0, 0, 0, 0},
       {{1, 1, {50, 0, 0, 0}}, {2, 2, {0, 255, 0, 0}}, {2, 3, {0, 156, 0, 0}}, {1, 2, {0, 0, 1, 0}}},
       2, 2, 2, 2, {0, 255, 0, 7}},
      // s: blue -101, green -1, red 413.
      {"emboss: both ends take the colour", 4, 1, rgb(11, 22, 33), 3, 3, {0, 0, 0, 0},
       {{1, 1, {50, 0, 0, 0}}, {2, 1, {1, 0, 0, 0}}, {1, 2, {0, 1, 0, 0}}, {2, 2, {0, 0, 255, 0}},
        {3, 3, {0, 0, 79, 0}}}, 2, 2, 2, 2, {33, 49, 11, 7}},
      // s: blue -2, green -101, red 100: green's colour does not spare blue.
      {"emboss: green over", 4, 1, rgb(11, 22, 33), 3, 3, {0, 0, 0, 0},
       {{2, 1, {2, 0, 0, 0}}, {1, 2, {0, 101, 100, 0}}, {3, 3, {0, 0, 100, 0}}}, 2, 2, 2, 2, {0, 22, 100, 7}},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.what);
    KernelPicture p(e.w, e.h);
    p.fill(3, e.fill);
    for (const Placed& s : e.sources) p.set(3, s.x, s.y, s.bytes);
    p.fill(2, kUntouched);
    run(p, e.opcode, e.amount, e.colour);
    for (int y = 1; y <= e.h; ++y)
      for (int x = 1; x <= e.w; ++x) {
        const bool inside = x >= e.x0 && x <= e.x1 && y >= e.y0 && y <= e.y1;
        EXPECT_EQ(p.get(2, x, y), inside ? e.inside : kUntouched) << x << "," << y;
      }
  }
}

TEST(WaveTable, HasMaxOfWidthAndHeightEntriesKeptWithin1ToHAndTravelsAsItsAddress) {
  auto table = build_wave_table(50, 40, 10);
  ASSERT_EQ(table.size(), 40u);
  for (float t : table) EXPECT_TRUE(t >= 1.0f && t <= 10.0f) << t;
  EXPECT_EQ(build_wave_table(0, 3, 7), (std::vector<float>{1, 2, 3, 4, 5, 6, 7}));
  WaveTableWords words = wave_table_words(table.data());
  EXPECT_EQ(wave_table_from_words(words.wparam, words.lparam), table.data());
}

TEST(Wave, RowsComeFromTheTableRoundedAndKeptInsideTheLayer) {
  auto wave = [](int w, int h, const std::vector<float>& table) {
    KernelPicture p(w, h);
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x) p.set(3, x, y, {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), 200, 33});
    p.fill(2, kUntouched);
    run(p, 3, 0, 0, wave_table_words(table.data()));
    return p;
  };
  // Amount 10: row 8 takes row round(8 + 20 sin 1.6) = 28, or the top row.
  KernelPicture tall = wave(4, 40, build_wave_table(10, 4, 40));
  for (std::uint8_t x = 1; x <= 4; ++x) EXPECT_EQ(tall.get(2, x, 8), Bytes({28, x, 200, 7}));
  EXPECT_EQ(wave(4, 20, build_wave_table(10, 4, 20)).get(2, 1, 8), Bytes({20, 1, 200, 7}));
  // A table from elsewhere cannot lead outside the layer; 2.5 rounds half to even.
  KernelPicture odd = wave(3, 4, {-1e30f, NAN, 1e30f, 2.5f});
  for (int y = 1; y <= 4; ++y) EXPECT_EQ(odd.get(2, 1, y)[0], (std::array{1, 1, 4, 2})[y - 1]) << y;
}

TEST(Twirl, CentreMapsToItselfAndOtherPixelsFollowTheTurn) {
  KernelPicture p(8, 6, 5);  // centre (4, 3), longest side 8
  p.fill(2, kUntouched);
  auto source = [&](int x, int y) { return Bytes{p.get(3, x, y)[0], p.get(3, x, y)[1], p.get(3, x, y)[2], 7}; };
  run(p, 5, 3, 0x0000FF);  // a full turn at distance 8
  EXPECT_EQ(p.get(2, 4, 3), source(4, 3));
  EXPECT_EQ(p.get(2, 1, 1), source(7, 4));  // d = sqrt(13), a = 2.832: source (7.47, 3.99)
  run(p, 5, 2, 0x0000FF);  // a half turn
  EXPECT_EQ(p.get(2, 6, 4), source(5, 5));  // source (4.51, 5.18)
  run(p, 5, 1, 0x563412);  // a quarter turn
  EXPECT_EQ(p.get(2, 8, 6), Bytes({0x56, 0x34, 0x12, 7}));  // source row 7.99 is the top row: the colour
  EXPECT_EQ(p.get(2, 5, 3), source(5, 3));  // source (4.98, 3.20)

  KernelPicture a(9, 7, 11), b(a), c(a);  // amounts other than 1, 2 and 4 make a full turn
  run(a, 5, 3, 0x102030);
  run(b, 5, -5, 0x102030);
  run(c, 5, 1, 0x102030);
  EXPECT_EQ(a.bytes, b.bytes);
  EXPECT_NE(a.bytes, c.bytes);

  KernelPicture small(3, 3, 2);  // (2, 2) is the only pixel not in an outermost row or column
  small.set(3, 2, 2, {90, 91, 92, 93});
  run(small, 5, 1, 0x030201);
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) {
      Bytes b = small.get(2, x, y);
      EXPECT_TRUE((b[0] == 3 && b[1] == 2 && b[2] == 1) || (b[0] == 90 && b[1] == 91 && b[2] == 92)) << x << "," << y;
    }
  EXPECT_EQ(small.get(2, 1, 1)[0], 3);  // the centre (1, 1) lies on the edge itself
}

TEST(PixelEffectsBadInput, OtherOpcodesAmountsAndTooSmallPicturesChangeNothing) {
  struct Call {
    int opcode, amount;
    std::uint32_t wparam = kPixelEffectsWParam, lparam = kPixelEffectsLParam;
  };
  const Call calls[] = {{-1, 1}, {6, 1}, {INT_MIN, 1}, {INT_MAX, 1}, {0, 0}, {0, 3}, {0, 16}, {0, -8},
                        {0, SHRT_MAX}, {3, 1, 0, 0} /* a wave without a table */};
  // Opcode, amount and the smallest width and height each filter needs.
  const int filters[][4] = {{0, 1, 3, 1}, {0, 2, 1, 3}, {0, 4, 3, 3}, {0, 8, 3, 3}, {1, 1, 3, 3}, {2, 1, 2, 2}, {4, 1, 3, 3}};
  for (Kernel kernel : {pixel_effects_kernel_plain, pixel_effects_kernel}) {
    for (const Call& c : calls) {
      KernelPicture p(6, 6, 3);
      const auto before = p.bytes;
      p.block.opcode = c.opcode;
      p.block.amount = c.amount;
      p.block.colour = 0xFFFFFFFF;
      kernel(p.block, kPixelEffectsMsg, c.wparam, c.lparam);
      EXPECT_EQ(p.bytes, before) << c.opcode << "/" << c.amount;
    }
    for (const auto& f : filters)
      for (int w = 1; w <= 4; ++w)
        for (int h = 1; h <= 4; ++h) {
          if (w >= f[2] && h >= f[3]) continue;
          KernelPicture p(w, h, w * 10 + h);
          const auto before = p.bytes;
          p.block.opcode = f[0];
          p.block.amount = f[1];
          kernel(p.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
          EXPECT_EQ(p.bytes, before) << f[0] << "/" << f[1] << " " << w << "x" << h;
        }
  }
}

// On random pictures and on low-contrast ones (so that emboss and edge land
// inside their limits as well as outside), small and odd sizes included.
TEST(PixelEffectsPlainAndFast, WriteTheSameBytes) {
  static const auto entries = entries_run_here("pixel effects", pixel_effects_kernels());
  const int cases[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {1, 1}, {2, 1}, {3, 0}, {3, 3}, {3, 10}, {3, -7},
                          {3, SHRT_MAX}, {3, SHRT_MIN}, {4, 1}, {5, 1}, {5, 2}, {5, 3}, {5, 4}};
  const int sizes[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 3}, {3, 8}, {7, 9}, {16, 16},
                          {17, 13}, {33, 8}, {8, 33}, {64, 47}, {101, 2}, {203, 150}};
  std::uint32_t seed = 1;
  for (const auto& c : cases)
    for (const auto& size : sizes)
      for (bool low_contrast : {false, true})
        for (std::uint32_t colour : {0x000000u, 0x3C7F10u, 0xFFFFFFu}) {
          SCOPED_TRACE(::testing::Message() << "opcode " << c[0] << " amount " << c[1] << " size " << size[0] << "x"
                                            << size[1] << " colour " << colour << (low_contrast ? " low" : ""));
          KernelPicture start(size[0], size[1], ++seed);
          if (low_contrast)
            for (auto& b : start.bytes) b = 20 + b % 40;
          start.block.opcode = c[0];
          start.block.amount = c[1];
          start.block.colour = colour;
          auto table = build_wave_table(c[1], size[0], size[1]);
          WaveTableWords words = c[0] == 3 ? wave_table_words(table.data())
                                           : WaveTableWords{kPixelEffectsWParam, kPixelEffectsLParam};
          ASSERT_NO_FATAL_FAILURE(testing::expect_entries_agree(pixel_effects_kernel_plain, entries, start,
                                                                kPixelEffectsMsg, words.wparam, words.lparam));
        }
}

}  // namespace
}  // namespace virelta::effects
