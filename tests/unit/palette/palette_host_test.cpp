// ASM_PalEffects and ASM_IncrementalPalEffects as a caller sees them on a
// bound picture box.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "app/memory_form_layer.h"
#include "effects/cls_asm_pic.h"
#include "effects/palette_kernel.h"

using namespace virelta;
using virelta::effects::clsASMpic;

namespace {

struct Fixture {
  ScopedMemoryPlatform machine;
  Window form{"Form1"};
  Surface box{&form, "Picture1"};
  clsASMpic engine;

  // A w x h picture of one colour (0xXXRRGGBB), bound to the engine.
  Fixture(int w, int h, std::uint32_t pixel) {
    form.move(0, 0, 200, 200);
    box.move(0, 0, w, h);
    box.image().fill(pixel);
    engine.PictureBox(box);
  }
  int draws() { return machine->refresh_count(box); }
  std::vector<std::uint8_t> layer(int n) const {
    const auto& s = engine.pixel_store();
    return std::vector<std::uint8_t>(s.layer(n), s.layer(n) + s.layer_bytes());
  }
};

}  // namespace

TEST(PalEffectsHost, UnboundShowsTheMessageOnly) {
  ScopedMemoryPlatform machine;
  clsASMpic engine;
  engine.ASM_PalEffects(6, 40);
  engine.ASM_IncrementalPalEffects(10, 1);
  ASSERT_EQ(machine->messages.size(), 2u);
  for (auto& m : machine->messages) {
    EXPECT_EQ(m.title, "clsASM");
    EXPECT_EQ(m.text, "You must assign a picturebox to the class first!");
    EXPECT_EQ(m.icon, MessageIcon::Information);
  }
}

TEST(PalEffectsHost, BrighterDrawsTheResultAndKeepsTheUndoCopy) {
  // Blue 10, green 230, red 255; the fourth byte 7.
  Fixture f(2, 2, 0x07FFE60A);
  const int before = f.draws();
  f.engine.ASM_PalEffects(6, 40);
  EXPECT_EQ(f.draws(), before + 1);
  EXPECT_EQ(f.box.image().at(1, 1), 0x07FFFF32u);
  EXPECT_EQ(f.layer(3), f.layer(1));
  f.engine.ASM_PalEffects(8, 40);  // wraps from the brighter picture
  EXPECT_EQ(f.box.image().at(0, 0), 0x0727275Au);  // 90, 39, 39
  f.engine.UndoLast();
  EXPECT_EQ(f.box.image().at(0, 0), 0x07FFFF32u);
}

TEST(PalEffectsHost, DefaultAmountIsOne) {
  Fixture f(2, 1, 0x00101010);
  f.engine.ASM_PalEffects(4);
  EXPECT_EQ(f.box.image().at(0, 0), 0x00101011u);
  EXPECT_EQ(f.engine.kernel_block().amount, 1);
}

TEST(PalEffectsHost, WithAutoDrawOffEffectsAccumulateUndrawn) {
  Fixture f(2, 2, 0x00101010);
  f.engine.AutoDraw(false);
  const auto saved = f.layer(3);
  const int before = f.draws();
  f.engine.ASM_PalEffects(6, 10);
  f.engine.ASM_PalEffects(6, 10);
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(f.layer(3), saved);
  f.engine.DrawNow();
  EXPECT_EQ(f.box.image().at(1, 0), 0x00242424u);
  f.engine.UndoLast();
  EXPECT_EQ(f.box.image().at(1, 0), 0x00101010u);
}

TEST(PalEffectsHost, UnknownOpcodesStillCopyAndRedraw) {
  Fixture f(3, 3, 0x00123456);
  f.engine.ASM_PalEffects(6, 5);
  const auto current = f.layer(2);
  for (Long opcode : {-1L, 20L, 2147483647L}) {
    const int before = f.draws();
    f.engine.ASM_PalEffects(opcode, 5);
    EXPECT_EQ(f.draws(), before + 1);
    EXPECT_EQ(f.layer(2), current);
    EXPECT_EQ(f.layer(3), current);  // the undo copy happened
  }
}

TEST(PalEffectsHost, ColourWordTakesColorXOrTheBackColour) {
  Fixture f(2, 1, 0);
  f.box.set_back_color(0x8000000F);
  f.engine.ASM_PalEffects(11, 1, 0x123456);
  EXPECT_EQ(f.engine.kernel_block().colour, 0x123456u);
  f.engine.ASM_PalEffects(11);
  EXPECT_EQ(f.engine.kernel_block().colour, 0x8000000Fu);
  f.engine.ASM_PalEffects(11, 1, 0x123456);
  f.engine.ASM_IncrementalPalEffects(11);
  EXPECT_EQ(f.engine.kernel_block().colour, 0x8000000Fu);
  EXPECT_EQ(f.engine.kernel_block().opcode, 11);
}

TEST(PalEffectsHost, NoiseSeedIsTheBitsOfTwo) {
  Fixture f(2, 1, 0x00646464);  // 100, 100, 100
  f.engine.ASM_PalEffects(10, 1);
  // Draws 4, 170, 83 | 25, 242, 127: blue first.
  EXPECT_EQ(f.box.image().at(0, 0), 0x005D6B51u);
  EXPECT_EQ(f.box.image().at(1, 0), 0x00647754u);
}

TEST(PalEffectsHost, ExtremeAmountsFollowThePatternRule) {
  Fixture f(2, 1, 0x281E140Au);  // B 10, G 20, R 30, fourth byte 40
  f.engine.ASM_PalEffects(0, 300);
  EXPECT_EQ(f.box.image().at(0, 0), 0x294A140Au);
  f.engine.ASM_PalEffects(2, -1);
  EXPECT_EQ(f.box.image().at(0, 0), 0xFFFFFF0Au);
  f.engine.ASM_PalEffects(7, -32768);  // pattern 0x80000000
  EXPECT_EQ(f.box.image().at(0, 0), 0x7FFFFF0Au);
  f.engine.ASM_PalEffects(10, 32767);
  f.engine.ASM_PalEffects(10, -32768);
}

TEST(IncrementalPalEffectsHost, NoiseRepeatsFromCallToCall) {
  Fixture f(5, 3, 0x00808080);
  f.engine.ASM_IncrementalPalEffects(10, 2);
  const auto first = f.layer(2);
  EXPECT_NE(first, f.layer(1));
  f.engine.UndoLast();
  f.engine.ASM_IncrementalPalEffects(10, 2);
  EXPECT_EQ(f.layer(2), first);
}

TEST(IncrementalPalEffectsHost, SeedsTheNoiseFromTheResetProgramGenerator) {
  Fixture f(4, 3, 0x00808080);
  RandomGenerator expected;
  expected.rnd(-1.0f);
  expected.randomize(1);
  const Single r = expected.rnd();
  // The same kernel run by hand with Msg = bits of r x 255.
  std::vector<std::uint8_t> store(f.engine.pixel_store().data(),
                                  f.engine.pixel_store().data() + f.engine.pixel_store().layer_bytes() * 3);
  effects::KernelBlock block = f.engine.kernel_block();
  block.store = store.data();
  block.amount = 3;
  block.opcode = 10;
  effects::palette_kernel_plain(block, std::bit_cast<std::uint32_t>(r * 255.0f), 0, 0);

  program_random().randomize(12345);
  f.engine.ASM_IncrementalPalEffects(10, 3);
  EXPECT_EQ(std::memcmp(f.engine.pixel_store().layer(2), block.layer(2), f.engine.pixel_store().layer_bytes()), 0);
  // The program's generator is left just after that one draw.
  EXPECT_EQ(program_random().state(), expected.state());
}

TEST(IncrementalPalEffectsHost, OtherOpcodesResetTheGeneratorWithoutDrawing) {
  Fixture f(2, 2, 0x00808080);
  RandomGenerator expected;
  expected.rnd(-1.0f);
  expected.randomize(1);
  program_random().randomize(777);
  f.engine.ASM_IncrementalPalEffects(6, 5);
  EXPECT_EQ(program_random().state(), expected.state());
  EXPECT_EQ(f.box.image().at(0, 0), 0x00858585u);
  f.engine.ASM_IncrementalPalEffects(-5);
  EXPECT_EQ(program_random().state(), expected.state());
  EXPECT_EQ(f.box.image().at(0, 0), 0x00858585u);
}
