// ASM_PixelEffects as a caller sees it on a bound picture box: the undo copy,
// the colour (BackColor for a negative one), the wave table, the redraw.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/cls_asm_pic.h"
#include "unit/engine_host.h"

using namespace virelta;

namespace {

using Fixture = virelta::testing::EngineHost;

}  // namespace

TEST(PixelEffectsHost, RingBlurDrawsTheResultAndUndoReturnsThePicture) {
  Fixture f(5, 4, 0x64646464);
  const int before = f.draws();
  f.engine.ASM_PixelEffects(0, 8);
  EXPECT_EQ(f.draws(), before + 1);
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 5; ++x) {
      bool visited = y >= 2 && y <= 3 && x >= 2 && x <= 4;
      EXPECT_EQ(f.shown(x, y), visited ? 0x60606060u : 0x64646464u) << x << "," << y;
    }
  EXPECT_EQ(f.layer(3), f.layer(1));
  f.engine.UndoLast();
  EXPECT_EQ(f.shown(3, 2), 0x64646464u);
}

TEST(PixelEffectsHost, EffectsChainWhileAutoDrawIsOn) {
  Fixture f(5, 5, 0x00646464);
  f.engine.ASM_PixelEffects(0, 8);  // 96
  f.engine.ASM_PixelEffects(0, 8);  // 8 x 12 = 96 around the middle
  f.engine.ASM_PixelEffects(0, 1);  // horizontal: (96 / 2) x 2
  EXPECT_EQ(f.shown(3, 3), 0x00606060u);
  f.engine.UndoLast();
  EXPECT_EQ(f.shown(3, 3), 0x00606060u);
  EXPECT_EQ(f.shown(2, 3), 0x00606060u);
  EXPECT_EQ(f.shown(2, 2), 0x00606060u);
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
  auto blurred = f.layer(2);
  for (Long opcode : {6L, -1L, 1000L}) {
    const int before = f.draws();
    f.engine.ASM_PixelEffects(opcode, 1);
    EXPECT_EQ(f.draws(), before + 1);
    EXPECT_EQ(f.layer(2), blurred);
    EXPECT_EQ(f.layer(3), blurred);
  }
  f.engine.ASM_PixelEffects(0, 3);  // a blur with another amount: no change either
  EXPECT_EQ(f.layer(2), blurred);
}

TEST(PixelEffectsHost, WithAutoDrawOffCallsStartAgainFromTheSavedPicture) {
  Fixture f(5, 5, 0x00646464);
  f.engine.AutoDraw(false);
  const int before = f.draws();
  f.engine.ASM_PixelEffects(0, 8);
  auto once = f.layer(2);
  f.engine.ASM_PixelEffects(0, 8);
  EXPECT_EQ(f.layer(2), once);
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(f.layer(3), f.layer(1));
}

TEST(PixelEffectsHost, ExtremeAmountsAndTinyPicturesAreSurvived) {
  for (int size : {1, 2, 3}) {
    Fixture f(size, size, 0x00808080);
    for (Long opcode = -1; opcode <= 6; ++opcode)
      for (Integer amount : {static_cast<Integer>(-32768), static_cast<Integer>(0), static_cast<Integer>(32767)})
        f.engine.ASM_PixelEffects(opcode, amount, 0x7FFFFFFF);
  }
}
