// The four blurs: per-byte floor arithmetic on all four bytes of a pixel,
// the centre never used, the border rows and columns outside the ranges kept.
#include <gtest/gtest.h>

#include "effects/pixel_effects_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

void run_blur(KernelPicture& p, int amount) {
  p.block.opcode = 0;
  p.block.amount = amount;
  p.run_both(pixel_effects_kernel_plain, pixel_effects_kernel, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
}

const Bytes kUntouched = {7, 7, 7, 7};

TEST(Blur, RingOfUniform100GivesEightEighthsRoundedDown) {
  KernelPicture p(5, 4);
  p.fill(3, {100, 100, 100, 100});
  p.fill(2, kUntouched);
  run_blur(p, 8);
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 5; ++x) {
      bool visited = y >= 2 && y <= 3 && x >= 2 && x <= 4;
      EXPECT_EQ(p.get(2, x, y), visited ? Bytes({96, 96, 96, 96}) : kUntouched) << x << "," << y;
    }
}

TEST(Blur, HorizontalKeepsUniform100AndNeverVisitsFirstAndLastColumn) {
  KernelPicture p(4, 3);
  p.fill(3, {100, 100, 100, 100});
  p.fill(2, kUntouched);
  run_blur(p, 1);
  for (int y = 1; y <= 3; ++y) {
    EXPECT_EQ(p.get(2, 1, y), kUntouched);
    EXPECT_EQ(p.get(2, 2, y), Bytes({100, 100, 100, 100}));
    EXPECT_EQ(p.get(2, 3, y), Bytes({100, 100, 100, 100}));
    EXPECT_EQ(p.get(2, 4, y), kUntouched);
  }
}

TEST(Blur, HorizontalHalvesEachByteOnItsOwn) {
  KernelPicture p(3, 1);
  p.set(3, 1, 1, {255, 1, 0, 3});
  p.set(3, 2, 1, {200, 200, 200, 200});  // the centre plays no part
  p.set(3, 3, 1, {1, 255, 9, 5});
  run_blur(p, 1);
  EXPECT_EQ(p.get(2, 2, 1), Bytes({127, 127, 4, 3}));
}

TEST(Blur, VerticalUsesRowsBelowAndAbove) {
  KernelPicture p(2, 3);
  p.fill(2, kUntouched);
  p.set(3, 1, 1, {10, 20, 31, 255});
  p.set(3, 1, 3, {11, 21, 30, 255});
  p.set(3, 2, 2, {99, 99, 99, 99});  // a horizontal neighbour: not used
  run_blur(p, 2);
  EXPECT_EQ(p.get(2, 1, 2), Bytes({10, 20, 30, 254}));
  EXPECT_EQ(p.get(2, 1, 1), kUntouched);
  EXPECT_EQ(p.get(2, 1, 3), kUntouched);
}

TEST(Blur, DiagonalSumsQuartersOfTheFourCorners) {
  KernelPicture p(3, 3);
  p.fill(3, {250, 250, 250, 250});  // edge neighbours and centre: not used
  p.set(3, 1, 1, {7, 3, 255, 0});
  p.set(3, 3, 1, {11, 3, 255, 4});
  p.set(3, 1, 3, {255, 3, 255, 8});
  p.set(3, 3, 3, {3, 3, 255, 12});
  run_blur(p, 4);
  EXPECT_EQ(p.get(2, 2, 2), Bytes({1 + 2 + 63 + 0, 0, 252, 0 + 1 + 2 + 3}));
}

TEST(Blur, OtherAmountsChangeNothing) {
  for (int amount : {0, 3, 5, 16, -1, -8, 32767, -32768}) {
    KernelPicture p(6, 5);
    p.randomize(static_cast<std::uint32_t>(amount) + 1);
    auto before = p.all_bytes();
    run_blur(p, amount);
    EXPECT_EQ(p.all_bytes(), before) << amount;
  }
}

}  // namespace
}  // namespace virelta::effects
