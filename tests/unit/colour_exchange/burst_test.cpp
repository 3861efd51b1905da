// The burst: rings around (X, H - Y) multiply the pixels they hit in place.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "effects/colour_exchange_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

void run_burst(KernelPicture& p, int amount, float x, float y, std::uint32_t colour) {
  p.block.opcode = 9;
  p.block.amount = amount;
  p.block.colour = colour;
  p.run_both(colour_exchange_kernel_plain, colour_exchange_kernel, std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), 0);
}

const Bytes k200 = {200, 200, 200, 7};

TEST(Burst, Channel200OnTheFirstRingTakesTheColour) {
  KernelPicture p(100, 100);
  p.fill(2, k200);
  run_burst(p, 1, 50, 50, 0x000000);  // centre (50, 50) from the bottom
  // (51, 50) lies on ring 1: 200 x (2 - 1/24) = 392 > 255 takes 0, and 0
  // stays 0 under every later sample.
  EXPECT_EQ(p.get(2, 51, 50), Bytes({0, 0, 0, 7}));
  EXPECT_EQ(p.get(2, 49, 50), Bytes({0, 0, 0, 7}));
  EXPECT_EQ(p.get(2, 50, 51), Bytes({0, 0, 0, 7}));
  EXPECT_EQ(p.get(2, 50, 50), k200);  // the centre itself is never sampled
  // Beyond the last ring (24) nothing changes.
  EXPECT_EQ(p.get(2, 50, 76), k200);
  EXPECT_EQ(p.get(2, 80, 50), k200);
  EXPECT_EQ(p.get(2, 1, 1), k200);
}

TEST(Burst, CentreYCountsFromTheTop) {
  KernelPicture p(40, 30);
  p.fill(2, k200);
  run_burst(p, 1, 10, 5, 0x000000);  // 5 from the top is row 25 from the bottom
  EXPECT_EQ(p.get(2, 11, 25), Bytes({0, 0, 0, 7}));
  EXPECT_EQ(p.get(2, 10, 25), k200);
}

TEST(Burst, AmountZeroRunsOneRingWhereEverySampleTakesTheColour) {
  KernelPicture p(20, 20);
  p.fill(2, k200);
  p.set(2, 9, 10, {0, 0, 0, 7});  // 0 times minus infinity: also the colour
  run_burst(p, 0, 10, 10, 0x030201);
  EXPECT_EQ(p.get(2, 11, 10), Bytes({3, 2, 1, 7}));
  EXPECT_EQ(p.get(2, 9, 10), Bytes({3, 2, 1, 7}));
  EXPECT_EQ(p.get(2, 10, 10), k200);
  EXPECT_EQ(p.get(2, 12, 10), k200);  // ring 2 is not run
}

TEST(Burst, NegativeAmountRunsTheFirstRingOnly) {
  KernelPicture p(20, 20);
  p.fill(2, {100, 100, 100, 7});
  run_burst(p, -1, 10, 10, 0x030201);  // f = 2 + 1/24 on ring 1
  EXPECT_NE(p.get(2, 11, 10), Bytes({100, 100, 100, 7}));
  EXPECT_EQ(p.get(2, 12, 10), Bytes({100, 100, 100, 7}));
}

TEST(Burst, CentresFarOutsideOrNotANumberTouchNothing) {
  for (float c : {1e6f, -1e6f, 1e30f, -INFINITY, NAN}) {
    KernelPicture p(30, 30);
    p.randomize(4);
    auto before = p.all_bytes();
    run_burst(p, 2, c, 15, 0xFFFFFF);
    run_burst(p, 2, 15, c, 0xFFFFFF);
    EXPECT_EQ(p.all_bytes(), before) << c;
  }
}

TEST(Burst, ACentreJustOutsideReachesIn) {
  KernelPicture p(30, 30);
  p.fill(2, k200);
  run_burst(p, 1, -5, 15, 0x000000);  // column -5; ring 6 reaches column 1
  EXPECT_EQ(p.get(2, 1, 15), Bytes({0, 0, 0, 7}));
  EXPECT_EQ(p.get(2, 25, 15), k200);
}

}  // namespace
}  // namespace virelta::effects
