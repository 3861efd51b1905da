// ASM_Magnify on a bound picture box.
#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <limits>
#include <vector>

#include "effects/cls_asm_pic.h"
#include "unit/engine_host.h"
#include "effects/magnify_kernel.h"
#include "unit/palette/kernel_picture.h"

using namespace virelta;

namespace {

// Screen pixel (x, y), both from 0 at the top left: blue = x, green = y.
std::uint32_t pixel(int x, int y) { return 0x00400000u + 0x100u * y + x; }

struct Fixture : virelta::testing::EngineHost {
  Fixture(int w, int h) : EngineHost(w, h) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) box.image().at(x, y) = pixel(x, y);
    rebind();
  }
  // Layer 2 as the nearest kernel makes it from layer 3 with `tenths`.
  std::vector<std::uint8_t> nearest(std::int32_t tenths, float cx, float cy) {
    effects::testing::KernelPicture copy(engine.width(), engine.height());
    std::copy_n(engine.pixel_store().data(), engine.pixel_store().layer_bytes() * 3, copy.store.data());
    effects::magnify_kernel_plain(copy.block, std::bit_cast<std::uint32_t>(cx), std::bit_cast<std::uint32_t>(cy),
                                  static_cast<std::uint32_t>(tenths));
    return copy.layer_bytes(2);
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

TEST(MagnifyHost, DefaultCentreAndCentreYFromTheTop) {
  Fixture f(10, 10);
  const int before = f.draws();
  f.engine.ASM_Magnify(2.0f);  // about (5, 5): (1 - 5) / 2 + 5 = 3
  EXPECT_EQ(f.draws(), before + 1);
  EXPECT_EQ(f.screen(0, 9), pixel(2, 7));  // store row 3 is screen row 7
  EXPECT_EQ(f.screen(9, 0), pixel(7, 2));  // 7.5 -> 8 both ways
  EXPECT_EQ(f.layer(3), f.layer(1));      // the undo copy
  f.engine.UndoLast();
  f.engine.ASM_Magnify(2.0f, Variant(0.0), Variant(0.0));  // about the top-left corner
  EXPECT_EQ(f.screen(9, 9), pixel(4, 4));  // (10, 1): 5, 5.5 -> 6 from the bottom
}

TEST(MagnifyHost, TenthsRoundHalfToEvenFromTheSingleValue) {
  Fixture f(40, 40);
  f.engine.AutoDraw(false);  // every call magnifies the same layer 3
  const struct {
    float factor;
    std::int32_t applied, not_applied;
  } cases[] = {{2.25f, 22, 23}, {2.75f, 28, 27}, {2.35f, 23, 24}, {-1.05f, -10, -11}};
  for (auto c : cases) {
    f.engine.ASM_Magnify(c.factor, Variant(), Variant(), false, 0);
    EXPECT_EQ(f.layer(2), f.nearest(c.applied, 20, 20)) << c.factor;
    EXPECT_NE(f.layer(2), f.nearest(c.not_applied, 20, 20)) << c.factor;
  }
  f.engine.AutoDraw(true);
  const auto magnified = f.layer(2);
  f.engine.ASM_Magnify(2.0f);  // with AutoDraw on, from the magnified picture
  EXPECT_EQ(f.layer(3), magnified);
}

TEST(MagnifyHost, ColourAntiAliasAndTinyFactors) {
  Fixture f(6, 5);
  f.engine.ASM_Magnify(1.0f, Variant(), Variant(), true, 0x00112233);
  EXPECT_EQ(f.engine.kernel_block().opcode, 1);
  EXPECT_EQ(f.screen(0, 2) & 0xFFFFFF, 0x332211u);  // column 1 loses its left partner
  EXPECT_EQ(f.screen(4, 3), pixel(4, 3));
  f.box.set_back_color(0x8000000F);
  f.engine.ASM_Magnify(0.04f);  // q = 0: all BackColor, R = &H0F
  EXPECT_EQ(f.engine.kernel_block().colour, 0x8000000Fu);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(f.screen(x, y) & 0xFFFFFF, 0x0F0000u);
}

TEST(MagnifyHost, BadFactorsAndCentresRaiseBeforeTheKernel) {
  Fixture f(4, 4);
  f.engine.ASM_Magnify(2.0f);
  const auto magnified = f.layer(2);
  const int before = f.draws();
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  for (float factor : {nan, inf, -inf, 3e8f, -3e8f})
    EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(factor); }), 6) << factor;
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant("left")); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(1.0), Variant("")); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(1e300)); }), 6);
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(f.layer(2), magnified);
  EXPECT_EQ(f.layer(3), magnified);  // the undo copy was made each time
  // Large factors that fit, text numbers and far-away centres all run.
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2e8f, Variant(), Variant(), true); }), 0);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(" 1.5 "), Variant("&H2")); }), 0);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(-1e30), Variant(1e30), true, 0); }), 0);
  EXPECT_EQ(f.screen(1, 1) & 0xFFFFFF, 0u);
}
