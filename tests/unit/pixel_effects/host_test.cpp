// ASM_PixelEffects on a bound picture box: the undo copy, the colour
// (BackColor for a negative one), the wave table, the redraw.
#include <gtest/gtest.h>

#include "unit/engine_host.h"

using namespace virelta;
using Fixture = virelta::testing::EngineHost;

TEST(PixelEffectsHost, EffectsDrawAndChainWhileAutoDrawIsOnAndUndoReturnsThePicture) {
  Fixture f(5, 4, 0x64646464);
  const int before = f.draws();
  f.engine.ASM_PixelEffects(0, 8);  // ring blur: 96 inside the border
  EXPECT_EQ(f.draws(), before + 1);
  EXPECT_EQ(f.shown(2, 2), 0x60606060u);
  EXPECT_EQ(f.shown(1, 1), 0x64646464u);
  f.engine.ASM_PixelEffects(0, 1);  // horizontal, from the ring's result: 100 / 2 + 96 / 2
  EXPECT_EQ(f.shown(2, 2), 0x62626262u);
  f.engine.UndoLast();
  EXPECT_EQ(f.shown(2, 2), 0x60606060u);
}

TEST(PixelEffectsHost, NegativeColourTakesTheBoxBackColor) {
  Fixture f(6, 5, 0x07646464);
  f.box.set_back_color(0x00332211);  // red 0x11, green 0x22, blue 0x33
  f.engine.ASM_PixelEffects(1);      // edge filter: colour in every visited pixel
  EXPECT_EQ(f.shown(3, 3), 0x07112233u);
  EXPECT_EQ(f.shown(2, 3), 0x07646464u);
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
  EXPECT_EQ(f.shown(1, 8), 28u);
  EXPECT_EQ(f.shown(4, 8), 28u);
  f.engine.UndoLast();
  f.engine.ASM_PixelEffects(3, 0);  // a wave of amount 0 moves no row
  for (int y = 1; y <= 40; ++y) EXPECT_EQ(f.shown(2, y), static_cast<std::uint32_t>(y)) << y;
}

TEST(PixelEffectsHost, OpcodesOutsideTheRangeStillCopyAndRedraw) {
  Fixture f(4, 4, 0x00102030);
  f.engine.ASM_PixelEffects(0, 8);
  const auto blurred = f.layer(2);
  for (Long opcode : {6L, -1L, 1000L}) {
    const int before = f.draws();
    f.engine.ASM_PixelEffects(opcode, 1);
    EXPECT_EQ(f.draws(), before + 1);
    EXPECT_EQ(f.layer(2), blurred);
    EXPECT_EQ(f.layer(3), blurred);
  }
}

TEST(PixelEffectsHost, WithAutoDrawOffCallsStartAgainFromTheSavedPicture) {
  Fixture f(5, 5, 0x00646464);
  f.engine.AutoDraw(false);
  const int before = f.draws();
  f.engine.ASM_PixelEffects(0, 8);
  EXPECT_NE(f.layer(2), f.layer(1));
  f.engine.ASM_PixelEffects(0, 1);  // horizontal, from the uniform picture again
  EXPECT_EQ(f.layer(2), f.layer(1));
  EXPECT_EQ(f.layer(3), f.layer(1));
  EXPECT_EQ(f.draws(), before);
}
