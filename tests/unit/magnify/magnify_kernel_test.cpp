// The magnify kernel's documented results, for the plain rule and the fast
// kernel alike.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <limits>

#include "effects/magnify_kernel.h"
#include "unit/palette/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bgr;
using testing::KernelPicture;

struct KernelUnderTest {
  const char* name;
  Kernel kernel;
};
void PrintTo(const KernelUnderTest& k, std::ostream* out) { *out << k.name; }

constexpr std::uint32_t kColour = 0x00C0B0A0;     // red A0, green B0, blue C0
constexpr Bgr kFill{0xC0, 0xB0, 0xA0, 0};         // as a pixel, unused byte 0

// Source pixels that tell their own position: blue = x, green = y.
void number_source(KernelPicture& picture) {
  for (int y = 1; y <= picture.block.height; ++y)
    for (int x = 1; x <= picture.block.width; ++x)
      picture.set(x, y, {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77, 0}, 3);
}

class MagnifyKernel : public ::testing::TestWithParam<KernelUnderTest> {
 protected:
  // Centre y counts from the top, as the host passes it.
  void run(KernelPicture& picture, std::int32_t tenths, float centre_x, float centre_y, bool bilinear,
           std::uint32_t colour = kColour) {
    picture.block.opcode = bilinear ? 1 : 0;
    picture.block.colour = colour;
    GetParam().kernel(picture.block, std::bit_cast<std::uint32_t>(centre_x), std::bit_cast<std::uint32_t>(centre_y),
                      static_cast<std::uint32_t>(tenths));
  }
  void run_default_centre(KernelPicture& picture, std::int32_t tenths, bool bilinear) {
    run(picture, tenths, static_cast<float>(picture.block.width / 2), static_cast<float>(picture.block.height / 2),
        bilinear);
  }
  static Bgr source(int x, int y) { return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77, 0}; }
};

TEST(MagnifyScale, IsTheInverseOfTheTenths) {
  EXPECT_EQ(magnify_scale(10), 1.0f);
  EXPECT_EQ(magnify_scale(20), 0.5f);
  EXPECT_EQ(magnify_scale(5), 2.0f);
  EXPECT_EQ(magnify_scale(-10), -1.0f);
  EXPECT_EQ(magnify_scale(30), static_cast<float>(1.0 / 3.0));
  EXPECT_TRUE(std::isinf(magnify_scale(0)));
}

TEST_P(MagnifyKernel, FactorOneNearestCopiesThePreviousLayer) {
  KernelPicture picture(6, 5);
  number_source(picture);
  picture.fill({1, 2, 3, 99});
  run_default_centre(picture, 10, false);
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 6; ++x) {
      Bgr expected = source(x, y);
      expected.unused = 99;  // the fourth byte is never written
      EXPECT_EQ(picture.get(x, y), expected) << x << "," << y;
    }
}

TEST_P(MagnifyKernel, FactorOneBilinearColoursTheBordersItCannotReach) {
  // W even: column 1, row 1 and the last column take the colour; H odd: the
  // top row keeps its value.
  KernelPicture picture(6, 5);
  number_source(picture);
  run_default_centre(picture, 10, true);
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 6; ++x) {
      const bool edge = x == 1 || y == 1 || x == 6;
      EXPECT_EQ(picture.get(x, y), edge ? kFill : source(x, y)) << x << "," << y;
    }
  KernelPicture tall(5, 4);
  number_source(tall);
  run_default_centre(tall, 10, true);
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 5; ++x) {
      const bool edge = x == 1 || y == 1 || y == 4;
      EXPECT_EQ(tall.get(x, y), edge ? kFill : source(x, y)) << x << "," << y;
    }
}

TEST_P(MagnifyKernel, FactorTwoSamplesAboutTheCentre) {
  KernelPicture picture(100, 100);
  number_source(picture);
  run_default_centre(picture, 20, false);
  // (1 - 50) x 0.5 + 50 = 25.5, which rounds to 26.
  EXPECT_EQ(picture.get(1, 1), source(26, 26));
  EXPECT_EQ(picture.get(50, 50), source(50, 50));
  EXPECT_EQ(picture.get(2, 1), source(26, 26));  // 26.0
  EXPECT_EQ(picture.get(3, 1), source(26, 26));  // 26.5 -> 26, ties to even
  EXPECT_EQ(picture.get(5, 1), source(28, 26));  // 27.5 -> 28
  EXPECT_EQ(picture.get(100, 100), source(75, 75));
}

TEST_P(MagnifyKernel, FactorHalfShrinksIntoTheColour) {
  // 8 x 8, centre (4, 4 from the top = row 4): source column 2x - 4.
  KernelPicture picture(8, 8);
  number_source(picture);
  run_default_centre(picture, 5, false);
  const int from[9] = {0, -1, -1, 2, 4, 6, 8, -1, -1};
  for (int y = 1; y <= 8; ++y)
    for (int x = 1; x <= 8; ++x) {
      const bool inside = from[x] > 0 && from[y] > 0;
      EXPECT_EQ(picture.get(x, y), inside ? source(from[x], from[y]) : kFill) << x << "," << y;
    }
}

TEST_P(MagnifyKernel, NegativeFactorTurnsHalfAround) {
  // 6 x 4, centre x 3, centre row 4 - 2 = 2: (x, y) takes (6 - x, 4 - y).
  KernelPicture picture(6, 4);
  number_source(picture);
  run_default_centre(picture, -10, false);
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 6; ++x) {
      const bool inside = x < 6 && y < 4;
      EXPECT_EQ(picture.get(x, y), inside ? source(6 - x, 4 - y) : kFill) << x << "," << y;
    }
}

TEST_P(MagnifyKernel, ZeroTenthsFillsEverythingWithTheColour) {
  for (bool bilinear : {false, true}) {
    KernelPicture picture(5, 3);
    number_source(picture);
    picture.fill({1, 2, 3, 44});
    run_default_centre(picture, 0, bilinear);
    for (int y = 1; y <= 3; ++y)
      for (int x = 1; x <= 5; ++x) EXPECT_EQ(picture.get(x, y), (Bgr{0xC0, 0xB0, 0xA0, 44}));
  }
}

TEST_P(MagnifyKernel, CentreYZeroIsTheTopRow) {
  // Factor 2 about (0, top): row y samples round((y - 6) / 2 + 6).
  KernelPicture picture(4, 6);
  number_source(picture);
  run(picture, 20, 0.0f, 0.0f, false);
  EXPECT_EQ(picture.get(4, 6), source(2, 6));
  EXPECT_EQ(picture.get(4, 5), source(2, 6));  // 5.5 -> 6
  EXPECT_EQ(picture.get(4, 3), source(2, 4));  // 4.5 -> 4
  EXPECT_EQ(picture.get(4, 1), source(2, 4));  // 3.5 -> 4
  EXPECT_EQ(picture.get(1, 1), kFill);         // column 0.5 -> 0
}

TEST_P(MagnifyKernel, BilinearWeightsAndTiesToEven) {
  // Factor 2 about the bottom-left corner (centre y = H from the top): the
  // destination (3, 3) samples (1.5, 1.5), halfway between four pixels.
  KernelPicture picture(4, 4);
  picture.set(1, 1, {11, 10, 0, 0}, 3);
  picture.set(2, 1, {12, 11, 100, 0}, 3);
  picture.set(1, 2, {11, 10, 50, 0}, 3);
  picture.set(2, 2, {12, 11, 150, 0}, 3);
  run(picture, 20, 0.0f, 4.0f, true);
  // blue 11.5 -> 12 and green 10.5 -> 10 (ties to even); red: bottom 50,
  // top 100, 75.
  EXPECT_EQ(picture.get(3, 3), (Bgr{12, 10, 75, 0}));
}

TEST_P(MagnifyKernel, ColourTopByteIsIgnoredAndUnusedBytesStay) {
  KernelPicture picture(3, 3);
  picture.fill({9, 9, 9, 200});
  run(picture, 0, 1.0f, 1.0f, false, 0xFF123456u);
  EXPECT_EQ(picture.get(2, 2), (Bgr{0x12, 0x34, 0x56, 200}));
}

TEST_P(MagnifyKernel, HugeTenthsPullEverythingFromTheCentrePixel) {
  for (bool bilinear : {false, true}) {
    KernelPicture picture(7, 5);
    number_source(picture);
    run(picture, INT_MAX, 3.0f, 2.0f, bilinear);  // centre row 5 - 2 = 3
    // Bilinear: every position rounds to 3.0f, so ix = iy = 2 with weight 1.
    for (int y = 1; y <= 5; ++y)
      for (int x = 1; x <= 7; ++x) EXPECT_EQ(picture.get(x, y), source(3, 3)) << x << "," << y;
  }
}

TEST_P(MagnifyKernel, CentresThatAreNotNumbersOrFarAwayGiveTheColour) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, float> centres[] = {{nan, 2}, {2, nan}, {inf, 2}, {2, -inf}, {1e30f, 2}, {-3e9f, 2}};
  for (auto [cx, cy] : centres) {
    for (bool bilinear : {false, true}) {
      KernelPicture picture(5, 4);
      number_source(picture);
      run(picture, 13, cx, cy, bilinear);
      for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 5; ++x) EXPECT_EQ(picture.get(x, y), kFill) << cx << "," << cy << " at " << x << "," << y;
    }
  }
}

TEST_P(MagnifyKernel, OtherOpcodesAndEmptyBlocksChangeNothing) {
  std::mt19937 random(5);
  KernelPicture picture(5, 4);
  picture.randomize(random);
  const auto before = picture.all_bytes();
  for (std::int32_t opcode : {-1, 2, 3, INT_MAX, INT_MIN}) {
    picture.block.opcode = opcode;
    GetParam().kernel(picture.block, std::bit_cast<std::uint32_t>(2.0f), 0, 0);
    EXPECT_EQ(picture.all_bytes(), before);
  }
  KernelBlock empty;
  GetParam().kernel(empty, 0, 0, 10);
  KernelBlock flat = picture.block;
  flat.height = -3;
  flat.opcode = 0;
  GetParam().kernel(flat, 0, 0, 10);
  EXPECT_EQ(picture.all_bytes(), before);
}

TEST_P(MagnifyKernel, WritesOnlyTheCurrentLayer) {
  std::mt19937 random(9);
  for (bool bilinear : {false, true}) {
    KernelPicture picture(9, 6);
    picture.randomize(random);
    const auto base = picture.layer_bytes(1);
    const auto previous = picture.layer_bytes(3);
    run(picture, 17, 4.5f, 2.25f, bilinear);
    EXPECT_EQ(picture.layer_bytes(1), base);
    EXPECT_EQ(picture.layer_bytes(3), previous);
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, MagnifyKernel,
                         ::testing::Values(KernelUnderTest{"plain", magnify_kernel_plain},
                                           KernelUnderTest{"fast", magnify_kernel}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace virelta::effects
