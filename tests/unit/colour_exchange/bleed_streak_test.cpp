// Bleed and streaks: the reach rule, the weights, the 32-bit match and the
// colour travelling on through pixels a blend made equal to the colour.
#include <gtest/gtest.h>

#include <bit>

#include "effects/colour_exchange_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

constexpr std::uint32_t kColour = 200 | (50 << 8);  // red 200, green 50, blue 0
const Bytes kMatch = {0, 50, 200, 7};
const Bytes kGrey = {100, 100, 100, 7};

enum { kBleed = 4, kUp = 5, kDown = 6, kLeft = 7, kRight = 8 };

void run(KernelPicture& p, int opcode, int amount, std::uint32_t colour = kColour) {
  p.block.opcode = opcode;
  p.block.amount = amount;
  p.block.colour = colour;
  p.run_both(colour_exchange_kernel_plain, colour_exchange_kernel, std::bit_cast<std::uint32_t>(kStartingWeight),
                         std::bit_cast<std::uint32_t>(kWeightStep), 0);
}

// Grey blended toward the colour: t x 100 + (1 - t) x (0, 50, 200).
Bytes grey_with_weight(int tenths) {
  switch (tenths) {
    case 9: return {90, 95, 110, 7};
    case 8: return {80, 90, 120, 7};
    case 7: return {70, 85, 130, 7};
    case 6: return {60, 80, 140, 7};
    default: return {0, 0, 0, 0};
  }
}

TEST(Reach, HalfOfAmountPlusTwoWithFiveMadeFour) {
  const int expected[] = {1, 1, 2, 2, 3, 3, 4, 4, 4, 4, 6, 6, 7};
  for (int amount = 0; amount <= 12; ++amount) EXPECT_EQ(colour_exchange_reach(amount), expected[amount]) << amount;
}

TEST(Bleed, Amount8TintsANineByNineSquareRingByRing) {
  KernelPicture p(15, 15);
  p.fill(2, kGrey);
  p.set(2, 8, 8, kMatch);
  run(p, kBleed, 8);
  for (int y = 1; y <= 15; ++y)
    for (int x = 1; x <= 15; ++x) {
      int ring = std::max(std::abs(x - 8), std::abs(y - 8));
      Bytes expected = ring == 0 ? kMatch : ring <= 4 ? grey_with_weight(5 + ring) : kGrey;
      EXPECT_EQ(p.get(2, x, y), expected) << x << "," << y;
    }
}

TEST(Bleed, MatchingPixelsTooNearTheEdgeAreNotVisited) {
  KernelPicture p(9, 9);  // reach 2 visits columns and rows 3 to 7
  p.fill(2, kGrey);
  p.set(2, 2, 5, kMatch);
  p.set(2, 5, 8, kMatch);
  auto before = p.all_bytes();
  run(p, kBleed, 2);
  EXPECT_EQ(p.all_bytes(), before);
}

TEST(Streaks, UpWithAmount1BlendsOnlyThePixelAboveWithWeight08) {
  KernelPicture p(3, 5);
  p.fill(2, kGrey);
  p.set(2, 2, 2, kMatch);
  run(p, kUp, 1);
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 3; ++x) {
      Bytes expected = (x == 2 && y == 2) ? kMatch : (x == 2 && y == 3) ? grey_with_weight(8) : kGrey;
      EXPECT_EQ(p.get(2, x, y), expected) << x << "," << y;
    }
}

TEST(Streaks, EachDirectionBlendsFromTheFarEndTowardTheMatch) {
  struct Direction {
    int opcode, dx, dy;
  };
  for (Direction d : {Direction{kUp, 0, 1}, {kDown, 0, -1}, {kLeft, -1, 0}, {kRight, 1, 0}}) {
    KernelPicture p(9, 9);
    p.fill(2, kGrey);
    p.set(2, 5, 5, kMatch);
    run(p, d.opcode, 2);  // reach 2: the far pixel 0.8, the near one 0.7
    EXPECT_EQ(p.get(2, 5 + 2 * d.dx, 5 + 2 * d.dy), grey_with_weight(8)) << d.opcode;
    EXPECT_EQ(p.get(2, 5 + d.dx, 5 + d.dy), grey_with_weight(7)) << d.opcode;
    EXPECT_EQ(p.get(2, 5 + 3 * d.dx, 5 + 3 * d.dy), kGrey) << d.opcode;
    EXPECT_EQ(p.get(2, 5 - d.dx, 5 - d.dy), kGrey) << d.opcode;
  }
}

TEST(Streaks, ColourTravelsOnThroughPixelsMadeEqualToIt) {
  // Reach 6: the three nearest pixels get weights below one half, so a red
  // of 201 becomes 200 there and matches when the scan reaches it.
  KernelPicture p(1, 12);
  p.fill(2, {0, 50, 201, 7});
  p.set(2, 1, 1, kMatch);
  run(p, kUp, 10);
  for (int y = 1; y <= 12; ++y) EXPECT_EQ(p.get(2, 1, y)[2], y <= 9 ? 200 : 201) << y;
}

TEST(Streaks, RightStartsNothingFromTheLastReachColumns) {
  KernelPicture p(6, 1);
  p.fill(2, kGrey);
  p.set(2, 5, 1, kMatch);
  auto before = p.all_bytes();
  run(p, kRight, 2);
  EXPECT_EQ(p.all_bytes(), before);
}

TEST(Match, AColourWithANonZeroTopByteNeverMatches) {
  for (int opcode = kBleed; opcode <= kRight; ++opcode) {
    KernelPicture p(9, 9);
    p.fill(2, kMatch);
    auto before = p.all_bytes();
    run(p, opcode, 2, kColour | 0x80000000u);
    EXPECT_EQ(p.all_bytes(), before) << opcode;
  }
}

TEST(Match, TheUnusedByteTakesNoPartInTheMatch) {
  KernelPicture p(3, 3);
  p.fill(2, kGrey);
  p.set(2, 2, 2, {0, 50, 200, 255});
  run(p, kUp, 1);
  EXPECT_EQ(p.get(2, 2, 3), grey_with_weight(8));
}

TEST(BleedAndStreaks, NegativeAmountsAndTooSmallPicturesChangeNothing) {
  for (int opcode = kBleed; opcode <= kRight; ++opcode)
    for (int amount : {-1, -2, -3, -32768, 32767}) {
      KernelPicture p(5, 5);
      p.fill(2, kGrey);
      p.set(2, 3, 3, kMatch);
      auto before = p.all_bytes();
      run(p, opcode, amount);
      EXPECT_EQ(p.all_bytes(), before) << opcode << " " << amount;
    }
  KernelPicture p(4, 9);  // a bleed of reach 2 needs 5 x 5
  p.fill(2, kGrey);
  p.set(2, 3, 5, kMatch);
  auto before = p.all_bytes();
  run(p, kBleed, 2);
  EXPECT_EQ(p.all_bytes(), before);
}

}  // namespace
}  // namespace virelta::effects
