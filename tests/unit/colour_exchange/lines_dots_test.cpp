// Dots, row and column lines and the grid: where the colour lands.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <set>
#include <utility>

#include "effects/colour_exchange_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

const Bytes kBackground = {9, 9, 9, 7};
const Bytes kPainted = {0x30, 0x20, 0x10, 7};  // colour 0x302010, the unused byte kept
constexpr std::uint32_t kColour = 0x302010;

void run(KernelPicture& p, int opcode, int amount, float x = 2.0f, float y = 3.0f) {
  p.block.opcode = opcode;
  p.block.amount = amount;
  p.block.colour = kColour;
  p.run_both(colour_exchange_kernel_plain, colour_exchange_kernel, std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), 0);
}

std::set<std::pair<int, int>> painted(KernelPicture& p) {
  std::set<std::pair<int, int>> out;
  for (int y = 1; y <= p.height(); ++y)
    for (int x = 1; x <= p.width(); ++x) {
      Bytes b = p.get(2, x, y);
      if (b == kPainted) out.insert({x, y});
      else EXPECT_EQ(b, kBackground) << x << "," << y;
    }
  return out;
}

TEST(Dots, OneDotAtTheRoundedFractionNoFurtherThanTheLastColumn) {
  KernelPicture p(100, 50);
  p.fill(2, kBackground);
  run(p, 0, 1, 0.999f, 0.0f);  // x = round(100.9) = 101, limited to 100
  run(p, 0, 1, 0.0f, 0.999f);
  run(p, 0, 1, 0.5f, 0.5f);  // 51, 26
  EXPECT_EQ(painted(p), (std::set<std::pair<int, int>>{{100, 1}, {1, 50}, {51, 26}}));
}

TEST(Dots, FractionsOutsideZeroToOneAboveNeverLeaveThePicture) {
  KernelPicture p(10, 10);
  p.fill(2, kBackground);
  for (float f : {-0.5f, -1e30f, NAN, INFINITY, -INFINITY}) {
    run(p, 0, 1, f, 0.5f);
    run(p, 0, 1, 0.5f, f);
  }
  run(p, 0, 1, 7.0f, 5.0f);  // beyond 1: the last column and row
  run(p, 0, 1, 7.0f, 1e30f);  // too large for an integer: no dot
  EXPECT_EQ(painted(p), (std::set<std::pair<int, int>>{{10, 10}}));
}

TEST(Lines, RowsFromTheTopRowDownEveryAmount) {
  KernelPicture p(3, 5);
  p.fill(2, kBackground);
  run(p, 1, 2);
  std::set<std::pair<int, int>> expected;
  for (int y : {5, 3, 1})
    for (int x = 1; x <= 3; ++x) expected.insert({x, y});
  EXPECT_EQ(painted(p), expected);
}

TEST(Lines, ColumnsFromTheLastColumnLeftEveryAmount) {
  KernelPicture p(7, 2);
  p.fill(2, kBackground);
  run(p, 2, 3);
  std::set<std::pair<int, int>> expected;
  for (int x : {7, 4, 1})
    for (int y = 1; y <= 2; ++y) expected.insert({x, y});
  EXPECT_EQ(painted(p), expected);
}

TEST(Lines, GridPaintsWhereSuchRowsMeetSuchColumns) {
  KernelPicture p(7, 7);
  p.fill(2, kBackground);
  run(p, 3, 3);
  std::set<std::pair<int, int>> expected;
  for (int x : {7, 4, 1})
    for (int y : {7, 4, 1}) expected.insert({x, y});
  EXPECT_EQ(painted(p), expected);
}

TEST(Lines, AStepBeyondThePictureLeavesOnlyTheLastLine) {
  KernelPicture p(4, 4);
  p.fill(2, kBackground);
  run(p, 3, 32767);
  EXPECT_EQ(painted(p), (std::set<std::pair<int, int>>{{4, 4}}));
}

TEST(Lines, StepsBelowOneChangeNothing) {
  for (int opcode : {1, 2, 3})
    for (int amount : {0, -1, -32768}) {
      KernelPicture p(5, 5);
      p.randomize(opcode * 7 + amount);
      auto before = p.all_bytes();
      run(p, opcode, amount);
      EXPECT_EQ(p.all_bytes(), before);
    }
}

}  // namespace
}  // namespace virelta::effects
