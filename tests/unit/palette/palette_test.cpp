// The palette kernel worked out by hand through every table entry, every entry
// against the plain one, and the engine members that call it.
#include <gtest/gtest.h>

#include <climits>

#include "effects/palette_kernel.h"
#include "unit/engine_host.h"

namespace virelta::testing {
namespace {

void paint(Picture& p, std::int32_t opcode, std::int32_t amount, std::uint32_t seed = effects::kPaletteNoiseSeed) {
  p.block.opcode = opcode, p.block.amount = amount;
  p.run(effects::palette_kernels(), seed, 0, 0);
}

// Pixels are (blue, green, red, unused); each case on a 2 x 1 picture, one pair.
TEST(PaletteKernel, WorkedExamples) {
  const struct {
    std::int32_t opcode, amount;
    Bgr in, out;
  } cases[] = {
      {6, 40, {10, 230, 255, 7}, {50, 255, 255, 7}}, {8, 40, {10, 230, 255, 7}, {50, 14, 39, 7}},
      {7, 40, {10, 230, 255, 7}, {0, 190, 215, 7}}, {9, 40, {10, 230, 255, 7}, {226, 190, 215, 7}},
      {1, 50, {10, 20, 30, 40}, {10, 20, 0, 40}}, {2, 5, {10, 20, 30, 40}, {10, 25, 30, 40}},
      {4, 250, {10, 20, 30, 40}, {255, 20, 30, 40}}, {11, 1, {0, 20, 255, 40}, {255, 235, 0, 215}},
      // Amounts beyond a byte spill into the neighbouring bytes.
      {0, 300, {10, 20, 30, 40}, {10, 20, 74, 41}}, {2, 300, {10, 20, 30, 40}, {10, 64, 31, 40}},  // 0x012C0000, 0x00012C00
      {2, -1, {10, 20, 30, 40}, {10, 255, 255, 255}}, {7, -1, {10, 20, 30, 40}, {0, 0, 0, 0}},  // 0xFFFFFF00, 0xFFFFFFFF
      {6, 256, {10, 20, 30, 40}, {10, 20, 30, 41}}, {8, -32768, {10, 20, 30, 40}, {10, 20, 30, 168}},  // 0x01000000, 0x80000000
      // Per-pixel rules keep the unused byte.
      {12, 1, {255, 255, 254, 9}, {254, 254, 254, 9}}, {12, 1, {10, 20, 32, 9}, {20, 20, 20, 9}},
      {13, 1, {24, 24, 24, 9}, {0, 0, 0, 9}}, {13, 1, {25, 0, 0, 9}, {25, 0, 0, 9}},
      {14, 1, {249, 249, 249, 9}, {255, 255, 255, 9}}, {14, 1, {248, 255, 255, 9}, {248, 255, 255, 9}},
      {15, 1, {0, 0, 0, 9}, {255, 255, 255, 9}}, {15, 1, {0, 0, 1, 9}, {0, 0, 1, 9}},
      {16, 1, {255, 255, 255, 9}, {0, 0, 0, 9}}, {16, 1, {255, 254, 255, 9}, {255, 254, 255, 9}},
      {17, 1, {255, 255, 254, 9}, {0, 0, 0, 9}}, {17, 1, {255, 255, 255, 9}, {255, 255, 255, 9}},
      {18, 1, {1, 0, 0, 9}, {255, 255, 255, 9}}, {18, 1, {0, 0, 0, 9}, {0, 0, 0, 9}},
      {19, 1, {200, 200, 100, 9}, {0, 0, 0, 9}}, {19, 1, {100, 200, 100, 9}, {255, 255, 255, 9}},
      {19, 1, {200, 100, 200, 9}, {255, 255, 255, 9}}, {19, 1, {180, 180, 179, 9}, {0, 0, 0, 9}},
  };
  for (const auto& c : cases) {
    Picture p(2, 1);
    p.fill(c.in), paint(p, c.opcode, c.amount);
    EXPECT_TRUE(p.get(1, 1) == c.out && p.get(2, 1) == c.out) << "opcode " << c.opcode << " amount " << c.amount;
  }
  // Seed 0x40000000 draws 4, 170, 83 | 25, 242, 127: 100 + 4/255 x 41 - 20 = 80.64 -> 81, ...
  Picture p(2, 1);
  p.fill({100, 100, 100, 50}), paint(p, 10, 1);
  EXPECT_TRUE(p.get(1, 1) == (Bgr{81, 107, 93, 50}) && p.get(2, 1) == (Bgr{84, 119, 100, 50}));
  p.set(1, 1, {5, 250, 0, 50}), paint(p, 10, 1);  // limited to 0..255
  EXPECT_EQ(p.get(1, 1), (Bgr{0, 255, 0, 50}));
  p.fill({100, 100, 100, 0}), paint(p, 10, -1);  // 100 + r/255 x (-39) + 20
  EXPECT_EQ(p.get(1, 1), (Bgr{119, 94, 107, 0}));
  // Amount 0 raises where the draw is 128 or more; every call draws the same.
  p.fill({100, 100, 100, 0}), paint(p, 10, 0), paint(p, 10, 0);
  EXPECT_TRUE(p.get(1, 1) == (Bgr{100, 102, 100, 0}) && p.get(2, 1) == (Bgr{100, 102, 100, 0}));
}

TEST(PaletteKernel, PairOpcodesSkipAnOddLastPixelAndOnlyLayerTwoChanges) {
  const Bgr original{100, 110, 120, 130};
  for (std::int32_t opcode : {-1, 0, 6, 9, 10, 11, 12, 13, 16, 17, 19, 20, INT_MIN, INT_MAX}) {
    Picture p(3, 3);
    p.randomise(static_cast<std::uint32_t>(opcode)), p.fill(original);
    paint(p, opcode, 20);
    const bool known = opcode >= 0 && opcode <= 19, pair = opcode <= 9 || opcode == 11;
    const bool changes = known && (opcode < 13 || opcode > 16);  // 13 to 16 leave this colour
    EXPECT_EQ(p.get(2, 3) != original, changes) << opcode;
    EXPECT_EQ(p.get(3, 3) != original, changes && !pair) << opcode;
  }
  effects::palette_kernel(effects::KernelBlock{.opcode = 11}, 0, 0, 0);  // no store, no crash
}

TEST(PaletteFastKernel, MatchesThePlainRule) {
  std::mt19937 random(2024);
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 1}, {1, 7}, {5, 3}, {4, 4}, {16, 9}, {33, 17}, {64, 63}};
  for (auto [width, height] : sizes)
    for (std::int32_t opcode = -1; opcode <= 20; ++opcode)
      for (std::int32_t amount : {0, 1, 40, 255, 256, 300, -1, -300, 32767, -32768, 100000, INT_MIN}) {
        Picture p(width, height);
        p.randomise(random());
        paint(p, opcode, amount, random());
        if (::testing::Test::HasFailure()) return;
      }
  // Every combination of the values around the per-pixel rules' thresholds.
  const std::uint8_t values[] = {0, 1, 24, 25, 179, 180, 248, 249, 254, 255};
  Picture p(10, 100);
  int i = 0;
  for (auto blue : values)
    for (auto green : values)
      for (auto red : values) p.set(i % 10 + 1, i / 10 + 1, {blue, green, red, red}), ++i;
  for (std::int32_t opcode = 12; opcode <= 19; ++opcode) paint(p, opcode, 1, 0);
}

TEST(PalEffectsHost, EachCallSavesTheUndoCopyAndDrawsUnlessAutoDrawIsOff) {
  EngineHost f(2, 2, 0x07FFE60A);  // blue 10, green 230, red 255, fourth byte 7
  f.engine.ASM_PalEffects(6, 40), f.engine.ASM_PalEffects(8, 40);
  EXPECT_EQ(f.screen(1, 1), 0x0727275Au);  // 90, 39, 39
  f.engine.UndoLast();
  EXPECT_EQ(f.screen(1, 1), 0x07FFFF32u);
  // Unknown opcodes change no pixel but still copy and redraw.
  int before = f.draws();
  f.engine.ASM_PalEffects(2, 1), f.engine.ASM_PalEffects(-1, 5);
  EXPECT_TRUE(f.draws() == before + 2 && f.layer(3) == f.layer(2));
  // With AutoDraw off effects accumulate undrawn, without an undo copy.
  f.engine.ResetPic();
  f.engine.AutoDraw(false);
  before = f.draws();
  f.engine.ASM_PalEffects(7, 5), f.engine.ASM_PalEffects(7, 5);
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(f.layer(3), f.layer(1));
  f.engine.DrawNow();
  EXPECT_EQ(f.screen(0, 0), 0x07F5DC00u);  // 10 - 10, 230 - 10, 255 - 10
}

TEST(PalEffectsHost, NoiseSeedIsTheBitsOfTwoAndAmountDefaultsToOne) {
  EngineHost f(2, 1, 0x00646464);  // 100, 100, 100
  f.engine.ASM_PalEffects(10);
  EXPECT_EQ(f.screen(0, 0), 0x005D6B51u);  // the kernel's worked example: 81, 107, 93
  EXPECT_EQ(f.screen(1, 0), 0x00647754u);  // 84, 119, 100
}

// The program's generator is put back to Rnd(-1), Randomize 1 on every call,
// so the noise repeats whatever the generator held before.
TEST(IncrementalPalEffectsHost, NoiseRepeatsAndTheProgramGeneratorIsReset) {
  RandomGenerator reset;
  reset.rnd(-1.0f), reset.randomize(1);
  EngineHost f(5, 3, 0x00808080);
  program_random().randomize(777);
  f.engine.ASM_IncrementalPalEffects(6, 5);
  EXPECT_EQ(program_random().state(), reset.state());
  EXPECT_EQ(f.screen(0, 0), 0x00858585u);
  f.engine.ASM_IncrementalPalEffects(10, 2);
  const auto first = f.layer(2);
  f.engine.UndoLast(), f.engine.ASM_PalEffects(10, 2);
  EXPECT_NE(f.layer(2), first);  // not the fixed seed of ASM_PalEffects
  f.engine.UndoLast(), program_random().randomize(12345), f.engine.ASM_IncrementalPalEffects(10, 2);
  EXPECT_EQ(f.layer(2), first);
  reset.rnd();  // opcode 10 draws once after the reset
  EXPECT_EQ(program_random().state(), reset.state());
}

}  // namespace
}  // namespace virelta::testing
