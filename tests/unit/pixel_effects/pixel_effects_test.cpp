// The pixel effects kernel (worked examples through the plain kernel and every entry this processor runs, bad
// arguments, all entries against the plain one), then ASM_PixelEffects on a picture box.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "effects/pixel_effects_kernel.h"
#include "unit/engine_host.h"

namespace virelta::effects {
namespace {

using testing::Bgr;
using testing::Picture;

constexpr Bgr kUntouched = {7, 7, 7, 7};
constexpr std::uint32_t rgb(int r, int g, int b) { return r | g << 8 | b << 16; }

void run(Picture& p, int opcode, int amount, std::uint32_t colour,
         WaveTableWords words = {kPixelEffectsWParam, kPixelEffectsLParam}) {
  p.block.opcode = opcode, p.block.amount = amount, p.block.colour = colour;
  ASSERT_TRUE(p.run(pixel_effects_kernels(), kPixelEffectsMsg, words.wparam, words.lparam));
}

TEST(NeighbourhoodFilters, WorkedExamples) {
  // Layer 3 is `fill` with `sources` on it; layer 2 must become `inside` over
  // columns x0..x1 and rows y0..y1 and stay kUntouched elsewhere.
  struct Placed { int x, y; Bgr bytes; };
  struct Example { const char* what; int opcode, amount; std::uint32_t colour; int w, h; Bgr fill;
                   std::vector<Placed> sources; int x0, x1, y0, y1; Bgr inside; };
  const Bgr k100 = {100, 100, 100, 100}, k0 = {0, 0, 0, 0};
  const Example examples[] = {
      {"ring blur: 8 x floor(100 / 8)", 0, 8, 0, 5, 4, k100, {}, 2, 4, 2, 3, {96, 96, 96, 96}},
      {"horizontal blur of 100", 0, 1, 0, 4, 3, k100, {}, 2, 3, 1, 3, k100},
      {"horizontal: byte by byte, no centre", 0, 1, 0, 3, 1, {200, 200, 200, 200},
       {{1, 1, {255, 1, 0, 3}}, {3, 1, {1, 255, 9, 5}}}, 2, 2, 1, 1, {127, 127, 4, 3}},
      {"vertical: below and above", 0, 2, 0, 1, 3, {99, 99, 99, 99},
       {{1, 1, {10, 20, 31, 255}}, {1, 3, {11, 21, 30, 255}}}, 1, 1, 2, 2, {10, 20, 30, 254}},
      {"diagonal: quarters of the corners", 0, 4, 0, 3, 3, {250, 250, 250, 250},
       {{1, 1, {7, 3, 255, 0}}, {3, 1, {11, 3, 255, 4}}, {1, 3, {255, 3, 255, 8}}, {3, 3, {3, 3, 255, 12}}},
       2, 2, 2, 2, {1 + 2 + 63 + 0, 0, 252, 0 + 1 + 2 + 3}},
      {"edge of a uniform picture: the colour", 1, 1, 0xAB000000 | rgb(10, 20, 30), 6, 5, k100, {}, 3, 5, 3, 4,
       {30, 20, 10, 7}},
      {"edge: 8 x centre - neighbours + colour, in 0..255", 1, 1, rgb(5, 0, 7), 3, 3, {40, 0, 1, 9},
       {{2, 2, {50, 255, 0, 9}}}, 2, 2, 2, 2, {400 - 320 + 7, 255, 0, 7}},
      {"relief of a uniform picture, pure red", 2, 1, 0xFF0000FF, 5, 4, k100, {}, 2, 4, 2, 3, {0, 0, 255, 7}},
      {"relief: |S - upper right - colour|, at least once", 2, 1, rgb(0, 0, 100), 2, 2, k0,
       {{1, 1, {10, 200, 50, 0}}, {2, 2, {200, 10, 50, 0}}}, 1, 1, 1, 1, {255, 190, 0, 7}},
      {"emboss of 100", 4, 1, 0xFFFFFF, 5, 5, k100, {}, 2, 4, 2, 4, {100, 100, 100, 7}},
      {"emboss of 0", 4, 1, 0xFFFFFF, 5, 5, k0, {}, 2, 4, 2, 4, {50, 50, 50, 7}},
      {"emboss: -50, 500, -200 (red took its colour: blue keeps its low byte)", 4, 1, rgb(11, 22, 33), 3, 3, k0,
       {{1, 2, {50, 0, 0, 0}}, {2, 2, {0, 255, 0, 0}}, {2, 3, {0, 245, 0, 0}}, {2, 1, {0, 0, 200, 0}}},
       2, 2, 2, 2, {25, 22, 11, 7}},
      {"emboss: -100, 411 (the largest kept), -1", 4, 1, 0x5A000000 | rgb(11, 22, 33), 3, 3, k0,
       {{1, 1, {50, 0, 0, 0}}, {2, 2, {0, 255, 0, 0}}, {2, 3, {0, 156, 0, 0}}, {1, 2, {0, 0, 1, 0}}},
       2, 2, 2, 2, {0, 255, 0, 7}},
      {"emboss: -101, -1, 413", 4, 1, rgb(11, 22, 33), 3, 3, k0,
       {{1, 1, {50, 0, 0, 0}}, {2, 1, {1, 0, 0, 0}}, {1, 2, {0, 1, 0, 0}}, {2, 2, {0, 0, 255, 0}},
        {3, 3, {0, 0, 79, 0}}}, 2, 2, 2, 2, {33, 49, 11, 7}},
      {"emboss: -2, -101, 100 (green's colour does not spare blue)", 4, 1, rgb(11, 22, 33), 3, 3, k0,
       {{2, 1, {2, 0, 0, 0}}, {1, 2, {0, 101, 100, 0}}, {3, 3, {0, 0, 100, 0}}}, 2, 2, 2, 2, {0, 22, 100, 7}},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.what);
    Picture p(e.w, e.h);
    p.fill(e.fill, 3);
    for (const Placed& s : e.sources) p.set(s.x, s.y, s.bytes, 3);
    p.fill(kUntouched);
    run(p, e.opcode, e.amount, e.colour);
    for (int y = 1; y <= e.h; ++y)
      for (int x = 1; x <= e.w; ++x)
        EXPECT_EQ(p.get(x, y), x >= e.x0 && x <= e.x1 && y >= e.y0 && y <= e.y1 ? e.inside : kUntouched)
            << x << "," << y;
  }
}

TEST(Wave, TheTableKeepsWithin1ToHAndRowsComeFromItRounded) {
  auto table = build_wave_table(50, 40, 10);
  ASSERT_EQ(table.size(), 40u);
  for (float t : table) EXPECT_TRUE(t >= 1.0f && t <= 10.0f) << t;
  EXPECT_EQ(build_wave_table(0, 3, 7), (std::vector<float>{1, 2, 3, 4, 5, 6, 7}));

  auto wave = [](int w, int h, const std::vector<float>& table) {  // blue is the row, green the column
    Picture p(w, h);
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x) p.set(x, y, {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), 200, 33}, 3);
    p.fill(kUntouched);
    run(p, 3, 0, 0, wave_table_words(table.data()));
    return p;
  };
  // Amount 10: row 8 takes row round(8 + 20 sin 1.6) = 28, or the top row.
  Picture tall = wave(4, 40, build_wave_table(10, 4, 40));
  for (std::uint8_t x = 1; x <= 4; ++x) EXPECT_EQ(tall.get(x, 8), (Bgr{28, x, 200, 7}));
  EXPECT_EQ(wave(4, 20, build_wave_table(10, 4, 20)).get(1, 8), (Bgr{20, 1, 200, 7}));
  // A table from elsewhere cannot lead outside the layer; 2.5 rounds half to even.
  Picture odd = wave(3, 4, {-1e30f, NAN, 1e30f, 2.5f});
  for (int y = 1; y <= 4; ++y) EXPECT_EQ(odd.get(1, y).blue, (std::array{1, 1, 4, 2})[y - 1]) << y;
}

TEST(Twirl, TurnsAboutTheCentreAndSamplesOnlyInnerPixels) {
  Picture p(8, 6, 5);  // centre (4, 3), longest side 8
  p.fill(kUntouched);
  auto source = [&](int x, int y) { Bgr b = p.get(x, y, 3); return b.unused = 7, b; };
  run(p, 5, 3, 0x0000FF);  // amount 3: a full turn at distance 8
  EXPECT_EQ(p.get(4, 3), source(4, 3));
  EXPECT_EQ(p.get(1, 1), source(7, 4));  // d = sqrt(13), a = 2.832: source (7.47, 3.99)
  run(p, 5, 2, 0x0000FF);  // a half turn
  EXPECT_EQ(p.get(6, 4), source(5, 5));  // source (4.51, 5.18)
  run(p, 5, 1, 0x563412);  // a quarter turn
  EXPECT_EQ(p.get(8, 6), (Bgr{0x56, 0x34, 0x12, 7}));  // source row 7.99 is the top row: the colour
  EXPECT_EQ(p.get(5, 3), source(5, 3));  // source (4.98, 3.20)

  Picture small(3, 3, 2);  // (2, 2) is the one pixel outside the outermost rows and columns
  small.set(2, 2, {90, 91, 92, 93}, 3);
  small.fill(kUntouched);
  run(small, 5, 1, 0x030201);
  for (int i = 0; i < 9; ++i) {
    const Bgr px = small.get(i % 3 + 1, i / 3 + 1);
    EXPECT_TRUE(px == (Bgr{3, 2, 1, 7}) || px == (Bgr{90, 91, 92, 7})) << i;
  }
}

TEST(PixelEffectsBadInput, OtherOpcodesAmountsAndTooSmallPicturesChangeNothing) {
  struct Call { int opcode, amount, w, h; std::uint32_t wparam = kPixelEffectsWParam, lparam = kPixelEffectsLParam; };
  const Call calls[] = {
      {-1, 1, 6, 6}, {6, 1, 6, 6}, {INT_MIN, 1, 6, 6}, {INT_MAX, 1, 6, 6}, {3, 1, 6, 6, 0, 0} /* no wave table */,
      {0, 0, 6, 6}, {0, 3, 6, 6}, {0, 16, 6, 6}, {0, -8, 6, 6}, {0, SHRT_MAX, 6, 6},  // blurs of other amounts
      {0, 1, 2, 4}, {0, 2, 4, 2}, {0, 4, 2, 4}, {0, 4, 4, 2}, {0, 8, 2, 4}, {0, 8, 4, 2},  // too small for a filter
      {1, 1, 2, 4}, {1, 1, 4, 2}, {2, 1, 1, 4}, {2, 1, 4, 1}, {4, 1, 2, 4}, {4, 1, 4, 2}};
  for (const Call& c : calls) {
    Picture p(c.w, c.h, 3);
    const auto before = p.all();
    run(p, c.opcode, c.amount, 0xFFFFFFFF, {c.wparam, c.lparam});
    EXPECT_EQ(p.all(), before) << c.opcode << "/" << c.amount << " " << c.w << "x" << c.h;
  }
}

// On random pictures and on low-contrast ones (so that emboss and edge land
// inside their limits as well as outside), small and odd sizes included.
TEST(PixelEffectsPlainAndFast, WriteTheSameBytes) {
  const int cases[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {1, 1}, {2, 1}, {3, 0}, {3, 3}, {3, 10}, {3, -7},
                          {3, SHRT_MAX}, {3, SHRT_MIN}, {4, 1}, {5, 1}, {5, 2}, {5, 3}, {5, 4}};
  const int sizes[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 3}, {3, 8}, {7, 9}, {16, 16},
                          {17, 13}, {33, 8}, {8, 33}, {64, 47}, {101, 2}, {203, 150}};
  std::uint32_t seed = 1;
  for (const auto& c : cases)
    for (const auto& size : sizes)
      for (bool low_contrast : {false, true})
        for (std::uint32_t colour : {0x000000u, 0x3C7F10u, 0xFFFFFFu}) {
          SCOPED_TRACE(::testing::Message() << c[0] << "/" << c[1] << " " << size[0] << "x" << size[1] << " " << colour << low_contrast);
          Picture p(size[0], size[1], ++seed);
          if (low_contrast)
            for (auto* b = p.store.data(); b != p.store.data() + p.bytes(); ++b) *b = 20 + *b % 40;
          const auto table = build_wave_table(c[1], size[0], size[1]);
          ASSERT_NO_FATAL_FAILURE(run(p, c[0], c[1], colour,
                                      c[0] == 3 ? wave_table_words(table.data()) : WaveTableWords{kPixelEffectsWParam, kPixelEffectsLParam}));
        }
}

}  // namespace
}  // namespace virelta::effects

// ASM_PixelEffects as a caller sees it: the undo copy, the colour (BackColor
// for a negative one), the wave table, the redraw.
using virelta::Long;
using Fixture = virelta::testing::EngineHost;

TEST(PixelEffectsHost, EffectsDrawAndChainWhileAutoDrawIsOnAndUndoReturnsThePicture) {
  Fixture f(5, 4, 0x64646464);
  const int before = f.draws();
  f.engine.ASM_PixelEffects(0, 8);  // ring blur: 96 inside the border
  EXPECT_EQ(f.draws(), before + 1);
  EXPECT_EQ(f.shown(2, 2), 0x60606060u);
  f.engine.ASM_PixelEffects(0, 1);  // horizontal, from the ring's result: 100 / 2 + 96 / 2
  EXPECT_EQ(f.shown(2, 2), 0x62626262u);
  f.engine.UndoLast();
  EXPECT_EQ(f.shown(2, 2), 0x60606060u);
  for (Long opcode : {6L, -1L, 1000L}) f.engine.ASM_PixelEffects(opcode, 1);  // drawn, nothing changed
  EXPECT_EQ(f.shown(2, 2), 0x60606060u);
  EXPECT_EQ(f.draws(), before + 6);
}

TEST(PixelEffectsHost, NegativeColourTakesTheBoxBackColor) {
  Fixture f(6, 5, 0x07646464);
  f.box.set_back_color(0x00332211);  // red 0x11, green 0x22, blue 0x33
  f.engine.ASM_PixelEffects(1);      // edge filter: the colour in every visited pixel
  EXPECT_EQ(f.shown(3, 3), 0x07112233u);
  f.engine.UndoLast();
  f.engine.ASM_PixelEffects(1, 1, 0x0000FF);
  EXPECT_EQ(f.shown(4, 4), 0x07FF0000u);
}

TEST(PixelEffectsHost, WaveBuildsItsTableFromTheAmount) {
  Fixture f(4, 40, 0);
  for (int y = 1; y <= 40; ++y)
    for (int x = 0; x < 4; ++x) f.box.image().at(x, 40 - y) = static_cast<std::uint32_t>(y);  // blue = row
  f.rebind();
  f.engine.ASM_PixelEffects(3, 10);
  EXPECT_EQ(f.shown(3, 8), 28u);
}

TEST(PixelEffectsHost, WithAutoDrawOffCallsStartAgainFromTheSavedPicture) {
  Fixture f(5, 5, 0x00646464);
  f.engine.AutoDraw(false);
  const int before = f.draws();
  f.engine.ASM_PixelEffects(0, 8);
  EXPECT_NE(f.layer(2), f.layer(1));
  f.engine.ASM_PixelEffects(0, 1);  // horizontal, from the uniform picture again
  EXPECT_EQ(f.layer(2), f.layer(1));
  EXPECT_EQ(f.draws(), before);
}
