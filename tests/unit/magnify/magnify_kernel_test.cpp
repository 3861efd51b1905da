// The magnify kernel's results worked out by hand, for the plain rule and
// the fast kernel alike.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <functional>
#include <limits>
#include <optional>

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

constexpr Bgr kFill{0xC0, 0xB0, 0xA0, 0};  // the colour 0x00C0B0A0 as a pixel

// Source pixel (x, y), y from the bottom: blue = x, green = y.
Bgr source(int x, int y) { return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 77, 0}; }

class MagnifyKernel : public ::testing::TestWithParam<KernelUnderTest> {
 protected:
  // A w x h picture whose layer 3 holds source(x, y); layer 2 is 0.
  static KernelPicture numbered(int w, int h) {
    KernelPicture picture(w, h);
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x) picture.set(x, y, source(x, y), 3);
    return picture;
  }
  // Centre y counts from the top, as the host passes it; missing centres
  // are W \ 2 and H \ 2.
  void run(KernelPicture& picture, std::int32_t tenths, bool bilinear, std::optional<float> centre_x = {},
           std::optional<float> centre_y = {}, std::uint32_t colour = 0x00C0B0A0) {
    const float cx = centre_x.value_or(static_cast<float>(picture.block.width / 2));
    const float cy = centre_y.value_or(static_cast<float>(picture.block.height / 2));
    picture.block.opcode = bilinear ? 1 : 0;
    picture.block.colour = colour;
    GetParam().kernel(picture.block, std::bit_cast<std::uint32_t>(cx), std::bit_cast<std::uint32_t>(cy),
                      static_cast<std::uint32_t>(tenths));
  }
  // Expects every pixel to be source(from(x), from(y)) or, where `from`
  // gives 0, the fill.
  void expect_map(KernelPicture& picture, const std::function<int(int)>& from_x,
                  const std::function<int(int)>& from_y) {
    for (int y = 1; y <= picture.block.height; ++y)
      for (int x = 1; x <= picture.block.width; ++x) {
        const int sx = from_x(x), sy = from_y(y);
        EXPECT_EQ(picture.get(x, y), sx && sy ? source(sx, sy) : kFill) << x << "," << y;
      }
  }
};

TEST_P(MagnifyKernel, FactorOneNearestCopiesAndBilinearColoursItsBorders) {
  KernelPicture copy = numbered(6, 5);
  run(copy, 10, false);
  expect_map(copy, [](int x) { return x; }, [](int y) { return y; });
  // Bilinear: round(x - 0.5) loses column 1, row 1 and, W even, column W.
  KernelPicture wide = numbered(6, 5);
  run(wide, 10, true);
  expect_map(wide, [](int x) { return x == 1 || x == 6 ? 0 : x; }, [](int y) { return y == 1 ? 0 : y; });
  KernelPicture tall = numbered(5, 4);
  run(tall, 10, true);
  expect_map(tall, [](int x) { return x == 1 ? 0 : x; }, [](int y) { return y == 1 || y == 4 ? 0 : y; });
}

TEST_P(MagnifyKernel, FactorTwoSamplesAboutTheCentre) {
  KernelPicture picture = numbered(100, 100);
  run(picture, 20, false);
  EXPECT_EQ(picture.get(1, 1), source(26, 26));  // (1 - 50) x 0.5 + 50 = 25.5 -> 26
  EXPECT_EQ(picture.get(50, 50), source(50, 50));
  EXPECT_EQ(picture.get(3, 5), source(26, 28));  // 26.5 -> 26, 27.5 -> 28
  EXPECT_EQ(picture.get(100, 100), source(75, 75));
}

TEST_P(MagnifyKernel, HalfShrinksAndMinusOneTurnsHalfAround) {
  // 8 x 8 about (4, row 4): source 2x - 4, outside 1..8 the fill.
  KernelPicture half = numbered(8, 8);
  run(half, 5, false);
  auto shrink = [](int v) { return 2 * v - 4 >= 1 && 2 * v - 4 <= 8 ? 2 * v - 4 : 0; };
  expect_map(half, shrink, shrink);
  // 6 x 4 about (3, row 4 - 2 = 2): (x, y) takes (6 - x, 4 - y).
  KernelPicture turned = numbered(6, 4);
  run(turned, -10, false);
  expect_map(turned, [](int x) { return 6 - x; }, [](int y) { return 4 - y; });
}

TEST_P(MagnifyKernel, ZeroTenthsFillsEverythingAndKeepsTheFourthByte) {
  for (bool bilinear : {false, true}) {
    KernelPicture picture = numbered(5, 3);
    picture.fill({1, 2, 3, 44});
    run(picture, 0, bilinear, {}, {}, 0xFF123456u);  // the top byte is ignored
    for (int y = 1; y <= 3; ++y)
      for (int x = 1; x <= 5; ++x) EXPECT_EQ(picture.get(x, y), (Bgr{0x12, 0x34, 0x56, 44}));
  }
}

TEST_P(MagnifyKernel, CentreYZeroIsTheTopRow) {
  KernelPicture picture = numbered(4, 6);
  run(picture, 20, false, 0, 0);  // rows: round((y - 6) / 2 + 6)
  EXPECT_EQ(picture.get(4, 6), source(2, 6));
  EXPECT_EQ(picture.get(4, 5), source(2, 6));  // 5.5 -> 6
  EXPECT_EQ(picture.get(4, 1), source(2, 4));  // 3.5 -> 4
  EXPECT_EQ(picture.get(1, 1), kFill);         // column 0.5 -> 0
}

TEST_P(MagnifyKernel, BilinearWeightsRoundHalfToEven) {
  // Factor 2 about the bottom-left corner: (3, 3) samples (1.5, 1.5).
  KernelPicture picture(4, 4);
  picture.set(1, 1, {11, 10, 0, 0}, 3);
  picture.set(2, 1, {12, 11, 100, 0}, 3);
  picture.set(1, 2, {11, 10, 50, 0}, 3);
  picture.set(2, 2, {12, 11, 150, 0}, 3);
  run(picture, 20, true, 0, 4);
  EXPECT_EQ(picture.get(3, 3), (Bgr{12, 10, 75, 0}));  // 11.5 -> 12, 10.5 -> 10
}

TEST_P(MagnifyKernel, HugeTenthsTakeEverythingFromTheCentre) {
  for (bool bilinear : {false, true}) {
    KernelPicture picture = numbered(7, 5);
    run(picture, INT_MAX, bilinear, 3, 2);  // centre row 5 - 2 = 3
    expect_map(picture, [](int) { return 3; }, [](int) { return 3; });
  }
}

TEST_P(MagnifyKernel, BadCentresFillAndBadOpcodesChangeNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const std::pair<float, float> centres[] = {{nan, 2}, {2, nan}, {inf, 2}, {2, -inf}, {1e30f, 2}, {-3e9f, 2}};
  for (auto [cx, cy] : centres)
    for (bool bilinear : {false, true}) {
      KernelPicture picture = numbered(5, 4);
      run(picture, 13, bilinear, cx, cy);
      expect_map(picture, [](int) { return 0; }, [](int) { return 0; });
    }
  std::mt19937 random(5);
  KernelPicture picture(5, 4);
  picture.randomize(random);
  const auto before = picture.all_bytes();
  for (std::int32_t opcode : {-1, 2, INT_MAX}) {
    picture.block.opcode = opcode;
    GetParam().kernel(picture.block, 0, 0, 10);
  }
  KernelBlock empty;
  GetParam().kernel(empty, 0, 0, 10);
  EXPECT_EQ(picture.all_bytes(), before);
}

INSTANTIATE_TEST_SUITE_P(Kernels, MagnifyKernel,
                         ::testing::Values(KernelUnderTest{"plain", magnify_kernel_plain},
                                           KernelUnderTest{"fast", magnify_kernel}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MagnifyScale, IsTheInverseOfTheTenthsInSinglePrecision) {
  EXPECT_EQ(magnify_scale(20), 0.5f);
  EXPECT_EQ(magnify_scale(-10), -1.0f);
  EXPECT_EQ(magnify_scale(30), static_cast<float>(1.0 / 3.0));
}

}  // namespace
}  // namespace virelta::effects
