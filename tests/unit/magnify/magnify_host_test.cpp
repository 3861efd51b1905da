// ASM_Magnify as a caller sees it on a bound picture box.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "app/memory_form_layer.h"
#include "effects/cls_asm_pic.h"
#include "effects/magnify_kernel.h"

using namespace virelta;
using virelta::effects::clsASMpic;

namespace {

struct Fixture {
  ScopedMemoryPlatform machine;
  Window form{"Form1"};
  Surface box{&form, "Picture1"};
  clsASMpic engine;

  // A w x h picture whose pixels tell their place: blue = column, green =
  // row from the top (both from 0), red 0x40.
  Fixture(int w, int h) {
    form.move(0, 0, 200, 200);
    box.move(0, 0, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) box.image().at(x, y) = 0x00400000u + 0x100u * y + x;
    engine.PictureBox(box);
  }
  static std::uint32_t at(int x, int y) { return 0x00400000u + 0x100u * y + x; }
  int draws() { return machine->refresh_count(box); }
  std::vector<std::uint8_t> layer(int n) const {
    const auto& s = engine.pixel_store();
    return std::vector<std::uint8_t>(s.layer(n), s.layer(n) + s.layer_bytes());
  }
  // Layer 2 as the kernel would make it from the current layer 3 with the
  // given per-call values.
  std::vector<std::uint8_t> kernel_result(std::int32_t tenths, float cx, float cy, int opcode, std::uint32_t colour) {
    std::vector<std::uint8_t> store(engine.pixel_store().data(),
                                    engine.pixel_store().data() + engine.pixel_store().layer_bytes() * 3);
    effects::KernelBlock block = engine.kernel_block();
    block.store = store.data();
    block.opcode = opcode;
    block.colour = colour;
    effects::magnify_kernel_plain(block, std::bit_cast<std::uint32_t>(cx), std::bit_cast<std::uint32_t>(cy),
                                  static_cast<std::uint32_t>(tenths));
    return std::vector<std::uint8_t>(block.layer(2), block.layer(2) + engine.pixel_store().layer_bytes());
  }
};

int error_number(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace

TEST(MagnifyHost, UnboundShowsTheMessageOnly) {
  ScopedMemoryPlatform machine;
  clsASMpic engine;
  engine.ASM_Magnify(2.0f);
  ASSERT_EQ(machine->messages.size(), 1u);
  EXPECT_EQ(machine->messages[0].text, "You must assign a picturebox to the class first!");
}

TEST(MagnifyHost, FactorTwoAboutTheDefaultCentre) {
  Fixture f(10, 10);
  const int before = f.draws();
  f.engine.ASM_Magnify(2.0f, Variant(), Variant(), false, 0);
  EXPECT_EQ(f.draws(), before + 1);
  // Centre (5, row 5 from the top = row 5 from the bottom). Bottom-left
  // pixel (1, 1): (1 - 5) x 0.5 + 5 = 3, so store row 3 = screen row 7.
  EXPECT_EQ(f.box.image().at(0, 9), Fixture::at(2, 7));
  // Top-right (10, 10): 7.5 -> 8 both ways: store (8, 8) = screen (7, 2).
  EXPECT_EQ(f.box.image().at(9, 0), Fixture::at(7, 2));
  EXPECT_EQ(f.layer(3), f.layer(1));  // the undo copy
  f.engine.UndoLast();
  EXPECT_EQ(f.box.image().at(0, 9), Fixture::at(0, 9));
}

TEST(MagnifyHost, CentreYCountsFromTheTop) {
  Fixture f(6, 6);
  f.engine.ASM_Magnify(2.0f, Variant(0.0), Variant(0.0), false, 0);
  // About the top-left corner: the top-left quarter fills the picture.
  EXPECT_EQ(f.box.image().at(5, 5), Fixture::at(2, 2));  // (6, 1): 3, 3.5 -> 4 from the bottom
  EXPECT_EQ(f.box.image().at(3, 1), Fixture::at(1, 0));  // (4, 5): 2, 5.5 -> 6 from the bottom
}

TEST(MagnifyHost, TenthsRoundHalfToEvenFromTheSingleValue) {
  Fixture f(40, 40);
  f.engine.AutoDraw(false);  // every call magnifies the same layer 3
  struct Case {
    float factor;
    std::int32_t applied, not_applied;
  } cases[] = {{2.25f, 22, 23}, {2.75f, 28, 27}, {2.35f, 23, 24}, {-1.05f, -10, -11}};
  for (auto c : cases) {
    f.engine.ASM_Magnify(c.factor, Variant(), Variant(), false, 0);
    EXPECT_EQ(f.layer(2), f.kernel_result(c.applied, 20, 20, 0, 0)) << c.factor;
    EXPECT_NE(f.layer(2), f.kernel_result(c.not_applied, 20, 20, 0, 0)) << c.factor;
  }
}

TEST(MagnifyHost, TinyFactorsFillWithTheColourOrTheBackColour) {
  Fixture f(5, 4);
  f.engine.ASM_Magnify(0.04f, Variant(), Variant(), true, 0x00112233);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(f.box.image().at(x, y) & 0xFFFFFF, 0x332211u);  // &H00112233: red 33, blue 11
  f.box.set_back_color(0x8000000F);
  f.engine.ASM_Magnify(-0.04f);
  EXPECT_EQ(f.engine.kernel_block().colour, 0x8000000Fu);
  EXPECT_EQ(f.box.image().at(2, 2) & 0xFFFFFF, 0x0F0000u);  // R = &H0F
}

TEST(MagnifyHost, AntiAliasChoosesBilinear) {
  Fixture f(6, 5);
  f.engine.ASM_Magnify(1.0f, Variant(), Variant(), true, 0x00FFFFFF);
  EXPECT_EQ(f.engine.kernel_block().opcode, 1);
  // Column 1, the bottom row and (W even) the last column take the colour.
  EXPECT_EQ(f.box.image().at(0, 2) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(f.box.image().at(5, 2) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(f.box.image().at(2, 4) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(f.box.image().at(2, 0), Fixture::at(2, 0));
  EXPECT_EQ(f.box.image().at(4, 3), Fixture::at(4, 3));
}

TEST(MagnifyHost, AutoDrawOffDoesNotAccumulate) {
  Fixture f(8, 8);
  f.engine.AutoDraw(false);
  const int before = f.draws();
  f.engine.ASM_Magnify(2.0f);
  const auto once = f.layer(2);
  f.engine.ASM_Magnify(2.0f);
  EXPECT_EQ(f.layer(2), once);
  EXPECT_EQ(f.draws(), before);
  f.engine.AutoDraw(true);
  f.engine.ASM_Magnify(2.0f);  // now from the magnified picture
  EXPECT_NE(f.layer(2), once);
}

TEST(MagnifyHost, FactorsThatDoNotFitOverflowAfterTheUndoCopy) {
  Fixture f(4, 4);
  f.engine.ASM_Magnify(2.0f);
  const auto magnified = f.layer(2);
  const int before = f.draws();
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), 3e8f, -3e8f, std::numeric_limits<float>::max()};
  for (float factor : bad) {
    EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(factor); }), 6) << factor;
    EXPECT_EQ(f.layer(2), magnified);
    EXPECT_EQ(f.layer(3), magnified);
  }
  EXPECT_EQ(f.draws(), before);
  // The largest factors that fit still run: everything comes from the centre.
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2e8f, Variant(), Variant(), true); }), 0);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(-2e8f); }), 0);
}

TEST(MagnifyHost, CentresMustBeNumbers) {
  Fixture f(4, 4);
  const auto before = f.layer(2);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant("left"), Variant(1.0)); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(1.0), Variant("")); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(1e300), Variant(1.0)); }), 6);
  EXPECT_EQ(f.layer(2), before);
  // Text numbers and far-away centres are fine.
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(" 1.5 "), Variant("&H2")); }), 0);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(-1e30), Variant(1e30), true, 0); }), 0);
  EXPECT_EQ(f.box.image().at(1, 1) & 0xFFFFFF, 0u);
}
