// The wave (rows taken from the host's table) and the twirl about the centre.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "effects/pixel_effects_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

// Every row a different colour; the unused byte marks layer 2.
void stripe_rows(KernelPicture& p) {
  for (int y = 1; y <= p.height(); ++y)
    for (int x = 1; x <= p.width(); ++x) {
      p.set(3, x, y, {static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x), 200, 33});
      p.set(2, x, y, {0, 0, 0, 7});
    }
}

void run_wave(KernelPicture& p, const std::vector<float>& table) {
  p.block.opcode = 3;
  WaveTableWords words = wave_table_words(table.data());
  p.run_both(pixel_effects_kernel_plain, pixel_effects_kernel, kPixelEffectsMsg, words.wparam, words.lparam);
}

TEST(WaveTable, HasMaxOfWidthAndHeightEntriesKeptWithin1ToH) {
  auto table = build_wave_table(50, 40, 10);
  ASSERT_EQ(table.size(), 40u);
  for (float t : table) {
    EXPECT_GE(t, 1.0f);
    EXPECT_LE(t, 10.0f);
  }
  EXPECT_EQ(build_wave_table(0, 3, 7), (std::vector<float>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(WaveTable, AddressSurvivesTheTripThroughTheCallWords) {
  std::vector<float> table(3);
  WaveTableWords words = wave_table_words(table.data());
  EXPECT_EQ(wave_table_from_words(words.wparam, words.lparam), table.data());
}

TEST(Wave, AmountZeroLeavesThePictureAsItWas) {
  KernelPicture p(5, 9);
  stripe_rows(p);
  run_wave(p, build_wave_table(0, 5, 9));
  for (int y = 1; y <= 9; ++y) EXPECT_EQ(p.get(2, 3, y), Bytes({static_cast<std::uint8_t>(y), 3, 200, 7}));
}

TEST(Wave, Amount10MovesRow28ToRow8) {
  KernelPicture p(4, 40);
  stripe_rows(p);
  run_wave(p, build_wave_table(10, 4, 40));
  for (int x = 1; x <= 4; ++x) EXPECT_EQ(p.get(2, x, 8), Bytes({28, static_cast<std::uint8_t>(x), 200, 7}));
}

TEST(Wave, SourceRowIsLimitedToTheTopRow) {
  KernelPicture p(4, 20);
  stripe_rows(p);
  run_wave(p, build_wave_table(10, 4, 20));
  EXPECT_EQ(p.get(2, 1, 8), Bytes({20, 1, 200, 7}));
}

TEST(Wave, ATableFromElsewhereCannotLeadOutsideTheLayer) {
  KernelPicture p(3, 4);
  stripe_rows(p);
  std::vector<float> table = {-1e30f, std::numeric_limits<float>::quiet_NaN(), 1e30f, 2.5f};
  run_wave(p, table);
  EXPECT_EQ(p.get(2, 1, 1)[0], 1);
  EXPECT_EQ(p.get(2, 1, 2)[0], 1);
  EXPECT_EQ(p.get(2, 1, 3)[0], 4);
  EXPECT_EQ(p.get(2, 1, 4)[0], 2);  // 2.5 rounds half to even
}

void run_twirl(KernelPicture& p, int amount, std::uint32_t colour) {
  p.block.opcode = 5;
  p.block.amount = amount;
  p.block.colour = colour;
  p.run_both(pixel_effects_kernel_plain, pixel_effects_kernel, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
}

TEST(Twirl, CentreMapsToItselfAndOtherPixelsFollowTheTurn) {
  KernelPicture p(8, 6);  // centre (4, 3), longest side 8
  p.randomize(5);
  p.fill(2, {0, 0, 0, 7});
  auto source = [&](int x, int y) {
    Bytes b = p.get(3, x, y);
    b[3] = 7;
    return b;
  };
  run_twirl(p, 3, 0x0000FF);
  EXPECT_EQ(p.get(2, 4, 3), source(4, 3));
  // (1, 1): d = sqrt(13), a = 2.832; source (7.47, 3.99).
  EXPECT_EQ(p.get(2, 1, 1), source(7, 4));

  run_twirl(p, 2, 0x0000FF);  // a half turn at distance 8
  // (6, 4): source (4.51, 5.18) rounds to (5, 5).
  EXPECT_EQ(p.get(2, 6, 4), source(5, 5));

  run_twirl(p, 1, 0x563412);
  // (8, 6): source row 7.99 rounds to 8, beyond the last row sampled.
  EXPECT_EQ(p.get(2, 8, 6), Bytes({0x56, 0x34, 0x12, 7}));
  // (5, 3): source (4.98, 3.20).
  EXPECT_EQ(p.get(2, 5, 3), source(5, 3));
}

TEST(Twirl, AmountsOtherThan1_2_4UseAFullTurn) {
  KernelPicture a(9, 7);
  a.randomize(11);
  KernelPicture b(a), c(a);
  run_twirl(a, 3, 0x102030);
  run_twirl(b, -5, 0x102030);
  run_twirl(c, 1, 0x102030);
  EXPECT_EQ(a.all_bytes(), b.all_bytes());
  EXPECT_NE(a.all_bytes(), c.all_bytes());
}

TEST(Twirl, OnlyInnerPixelsAreEverSampled) {
  KernelPicture p(3, 3);  // (2, 2) is the one pixel not in an outermost row or column
  p.randomize(2);
  p.set(3, 2, 2, {90, 91, 92, 93});
  run_twirl(p, 1, 0x030201);
  for (int y = 1; y <= 3; ++y)
    for (int x = 1; x <= 3; ++x) {
      Bytes b = p.get(2, x, y);
      Bytes rgb = {b[0], b[1], b[2], 0};
      EXPECT_TRUE(rgb == Bytes({3, 2, 1, 0}) || rgb == Bytes({90, 91, 92, 0})) << x << "," << y;
    }
  EXPECT_EQ(p.get(2, 1, 1)[0], 3);  // the centre (1, 1) lies on the edge itself
}

}  // namespace
}  // namespace virelta::effects
