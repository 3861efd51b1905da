// ASM_PalEffects and ASM_IncrementalPalEffects on a bound picture box.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "effects/cls_asm_pic.h"
#include "unit/engine_host.h"
#include "effects/palette_kernel.h"
#include "unit/palette/kernel_picture.h"

using namespace virelta;

namespace {

using Fixture = virelta::testing::EngineHost;

}  // namespace

TEST(PalEffectsHost, EachCallSavesTheUndoCopyAndDraws) {
  Fixture f(2, 2, 0x07FFE60A);  // blue 10, green 230, red 255, fourth byte 7
  f.engine.ASM_PalEffects(6, 40);
  EXPECT_EQ(f.screen(0, 0), 0x07FFFF32u);
  f.engine.ASM_PalEffects(8, 40);
  EXPECT_EQ(f.screen(1, 1), 0x0727275Au);  // 90, 39, 39
  f.engine.UndoLast();
  EXPECT_EQ(f.screen(1, 1), 0x07FFFF32u);
  // Unknown opcodes change no pixel but still copy and redraw.
  const int before = f.draws();
  f.engine.ASM_PalEffects(2, 1);
  f.engine.ASM_PalEffects(-1, 5);
  EXPECT_EQ(f.draws(), before + 2);
  EXPECT_EQ(f.layer(3), f.layer(2));
}

TEST(PalEffectsHost, WithAutoDrawOffEffectsAccumulateUndrawn) {
  Fixture f(2, 2, 0x00101010);
  f.engine.AutoDraw(false);
  const int before = f.draws();
  f.engine.ASM_PalEffects(6, 10);
  f.engine.ASM_PalEffects(6, 10);
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(f.layer(3), f.layer(1));
  f.engine.DrawNow();
  EXPECT_EQ(f.screen(0, 0), 0x00242424u);
}

TEST(PalEffectsHost, NoiseSeedIsTheBitsOfTwoAndTheColourWordFollowsColorX) {
  Fixture f(2, 1, 0x00646464);  // 100, 100, 100
  f.box.set_back_color(0x8000000F);
  f.engine.ASM_PalEffects(10, 1, 0x123456);
  EXPECT_EQ(f.screen(0, 0), 0x005D6B51u);  // draws 4, 170, 83: 81, 107, 93
  EXPECT_EQ(f.screen(1, 0), 0x00647754u);  // draws 25, 242, 127: 84, 119, 100
  EXPECT_EQ(f.engine.kernel_block().colour, 0x123456u);
  f.engine.ASM_PalEffects(10);
  EXPECT_EQ(f.engine.kernel_block().colour, 0x8000000Fu);
  EXPECT_EQ(f.engine.kernel_block().amount, 1);
  f.engine.ASM_PalEffects(11, 1, 0x123456);
  f.engine.ASM_IncrementalPalEffects(11);  // always the BackColor
  EXPECT_EQ(f.engine.kernel_block().colour, 0x8000000Fu);
}

TEST(IncrementalPalEffectsHost, NoiseRepeatsAndTheProgramGeneratorIsReset) {
  RandomGenerator reset;
  reset.rnd(-1.0f);
  reset.randomize(1);
  Fixture f(5, 3, 0x00808080);
  program_random().randomize(777);
  f.engine.ASM_IncrementalPalEffects(6, 5);  // no draw for other opcodes
  EXPECT_EQ(program_random().state(), reset.state());
  EXPECT_EQ(f.screen(0, 0), 0x00858585u);

  // Opcode 10 seeds the noise with the bits of r x 255, r the reset
  // generator's first draw.
  effects::testing::KernelPicture expected(5, 3);
  std::copy_n(f.engine.pixel_store().data(), f.engine.pixel_store().layer_bytes() * 3, expected.store.data());
  expected.block.opcode = 10;
  expected.block.amount = 2;
  effects::palette_kernel_plain(expected.block, std::bit_cast<std::uint32_t>(reset.rnd() * 255.0f), 0, 0);
  program_random().randomize(12345);
  f.engine.ASM_IncrementalPalEffects(10, 2);
  const auto first = f.layer(2);
  EXPECT_EQ(first, expected.layer_bytes(2));
  EXPECT_EQ(program_random().state(), reset.state());
  f.engine.UndoLast();
  f.engine.ASM_IncrementalPalEffects(10, 2);
  EXPECT_EQ(f.layer(2), first);
}
