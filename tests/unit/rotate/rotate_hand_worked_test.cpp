// Rotation kernel cases worked out by hand, run through the plain kernel and
// every vectorised version.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "rotate_support.h"

namespace virelta::effects::rotate_test {
namespace {

constexpr int kNearestFromPrevious = 0;
constexpr int kBilinearFromPrevious = 1;
constexpr int kNearestFromBase = 2;
constexpr int kBilinearFromBase = 3;

// &H00BBGGRR with blue 0x11, green 0x22, red 0x33.
constexpr std::uint32_t kFill = 0x00112233;

class RotateKernel : public ::testing::TestWithParam<KernelVersion> {
 protected:
  Kernel kernel() const { return GetParam().kernel; }
};

void expect_fill(Picture& p, int x, int y) {
  EXPECT_EQ(p.at(1, x, y, 2), 0x11) << "blue at " << x << "," << y;
  EXPECT_EQ(p.at(2, x, y, 2), 0x22) << "green at " << x << "," << y;
  EXPECT_EQ(p.at(3, x, y, 2), 0x33) << "red at " << x << "," << y;
}

void expect_copied(Picture& p, int x, int y, int source_layer, int sx, int sy) {
  for (int channel = 1; channel <= 3; ++channel) {
    EXPECT_EQ(p.at(channel, x, y, 2), p.at(channel, sx, sy, source_layer))
        << "channel " << channel << " at " << x << "," << y << " from " << sx << "," << sy;
  }
}

TEST_P(RotateKernel, QuarterTurnOfFourByFourNearest) {
  for (int opcode : {kNearestFromPrevious, kNearestFromBase}) {
    const int source = opcode == kNearestFromBase ? 1 : 3;
    Picture p(4, 4);
    p.randomise(11);
    p.run_default_centre(kernel(), opcode, kFill, 90);
    for (int y = 1; y <= 3; ++y) {
      for (int x = 1; x <= 4; ++x) expect_copied(p, x, y, source, 4 - y, x);
    }
    for (int x = 1; x <= 4; ++x) expect_fill(p, x, 4);
  }
}

TEST_P(RotateKernel, FullTurnNearestCopiesTheSource) {
  for (int opcode : {kNearestFromPrevious, kNearestFromBase}) {
    const int source = opcode == kNearestFromBase ? 1 : 3;
    Picture p(5, 3);
    p.randomise(12);
    p.run_default_centre(kernel(), opcode, kFill, 360);
    for (int y = 1; y <= 3; ++y) {
      for (int x = 1; x <= 5; ++x) expect_copied(p, x, y, source, x, y);
    }
  }
}

TEST_P(RotateKernel, FullTurnBilinearFillsTheBorderOfAnEvenPicture) {
  for (int opcode : {kBilinearFromPrevious, kBilinearFromBase}) {
    const int source = opcode == kBilinearFromBase ? 1 : 3;
    Picture p(6, 4);
    p.randomise(13);
    p.run_default_centre(kernel(), opcode, kFill, 360);
    for (int y = 1; y <= 4; ++y) {
      for (int x = 1; x <= 6; ++x) {
        if (x == 1 || x == 6 || y == 1 || y == 4) {
          expect_fill(p, x, y);
        } else {
          expect_copied(p, x, y, source, x, y);
        }
      }
    }
  }
}

TEST_P(RotateKernel, HalfTurnAboutTheUpperLeftCornerFillsEverything) {
  Picture p(4, 4);
  p.randomise(14);
  p.run(kernel(), kNearestFromBase, kFill, 0.0f, 0.0f, 180);
  for (int y = 1; y <= 4; ++y) {
    for (int x = 1; x <= 4; ++x) expect_fill(p, x, y);
  }
}

TEST_P(RotateKernel, FillColourIsWrittenBlueGreenRed) {
  // The colour's top byte is not part of the colour.
  for (std::uint32_t colour : {0x00112233u, 0xFF112233u}) {
    Picture p(3, 3);
    p.randomise(15);
    for (int opcode = 0; opcode <= 3; ++opcode) {
      p.run(kernel(), opcode, colour, 1000.0f, 1000.0f, 45);
      for (int y = 1; y <= 3; ++y) {
        for (int x = 1; x <= 3; ++x) expect_fill(p, x, y);
      }
    }
  }
}

// A turn by 180 degrees about (2.625, 1.75 from the bottom) maps destination
// (1, 1) to (4.25, 2.5): cell (4, 2) with dx = 0.25 and dy = 0.5.
TEST_P(RotateKernel, BilinearArithmeticExamples) {
  Picture p(6, 4);
  p.randomise(16);
  for (int layer : {1, 3}) {
    // Blue: 0, 100, 50, 150 gives 50. Green: 10, 10, 11, 11 gives 10.5,
    // written as 10. Red: 11, 11, 12, 12 gives 11.5, written as 12.
    p.set_pixel(4, 2, layer, 0, 10, 11);
    p.set_pixel(5, 2, layer, 100, 10, 11);
    p.set_pixel(4, 3, layer, 50, 11, 12);
    p.set_pixel(5, 3, layer, 150, 11, 12);
  }
  for (int opcode : {kBilinearFromPrevious, kBilinearFromBase}) {
    p.at(1, 1, 1, 2) = p.at(2, 1, 1, 2) = p.at(3, 1, 1, 2) = 0xEE;
    p.run(kernel(), opcode, kFill, 2.625f, 4 - 1.75f, 180);
    EXPECT_EQ(p.at(1, 1, 1, 2), 50);
    EXPECT_EQ(p.at(2, 1, 1, 2), 10);
    EXPECT_EQ(p.at(3, 1, 1, 2), 12);
  }
}

// A quarter turn of a 2 x 2 picture about a centre chosen so that destination
// (1, 1) samples cell (1, 1) with dx = 0x1.0efc44p-1 and dy = 0x1.2da7f4p-1.
// Pixels 253, 250, 1, 3 then give 104.5 in double arithmetic, written as 104;
// a fused multiply-add keeps the last bits of the exact value (104.5 + 2^-46)
// and gives 105.
TEST_P(RotateKernel, BilinearValueDoesNotFuseMultiplyAdd) {
  Picture p(2, 2);
  p.randomise(17);
  p.at(1, 1, 1, 1) = 253;
  p.at(1, 2, 1, 1) = 250;
  p.at(1, 1, 2, 1) = 1;
  p.at(1, 2, 2, 1) = 3;
  p.run(kernel(), kBilinearFromBase, kFill, 0x1.f0aa28p-1f, 0x1.c35bc8p-2f, 90);
  EXPECT_EQ(p.at(1, 1, 1, 2), 104);
}

TEST_P(RotateKernel, WritesOnlyTheFirstThreeBytesOfLayerTwo) {
  Picture p(13, 7);
  for (int opcode = 0; opcode <= 3; ++opcode) {
    for (int angle : {-33, 90, 200, 360}) {
      p.randomise(static_cast<std::uint32_t>(opcode * 1000 + angle + 500));
      const std::vector<std::uint8_t> before(p.store.data(), p.store.data() + p.bytes());
      p.run(kernel(), opcode, kFill, 6.5f, 2.25f, angle);
      const std::size_t layer = p.store.layer_bytes();
      for (std::size_t i = 0; i < p.bytes(); ++i) {
        const bool written = i >= layer && i < 2 * layer && i % 4 != 3;
        if (!written) {
          ASSERT_EQ(p.store.data()[i], before[i]) << "byte " << i << " opcode " << opcode << " angle " << angle;
        }
      }
    }
  }
}

TEST_P(RotateKernel, OtherOpcodesLeaveTheStoreAlone) {
  Picture p(9, 5);
  p.randomise(18);
  const std::vector<std::uint8_t> before(p.store.data(), p.store.data() + p.bytes());
  for (int opcode : {4, 5, -1, 1000}) {
    p.run(kernel(), opcode, kFill, 4.0f, 2.0f, 45);
    EXPECT_EQ(std::vector<std::uint8_t>(p.store.data(), p.store.data() + p.bytes()), before) << opcode;
  }
}

// A centre that is not a number puts every sample outside the picture.
TEST_P(RotateKernel, CentreThatIsNotANumberFillsEverything) {
  for (int opcode = 0; opcode <= 3; ++opcode) {
    Picture p(10, 3);
    p.randomise(19);
    p.run(kernel(), opcode, kFill, std::numeric_limits<float>::quiet_NaN(), 1.0f, 30);
    for (int y = 1; y <= 3; ++y) {
      for (int x = 1; x <= 10; ++x) expect_fill(p, x, y);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, RotateKernel, ::testing::ValuesIn(all_versions()),
                         [](const ::testing::TestParamInfo<KernelVersion>& info) { return info.param.name; });

TEST(RotateBilinearRule, WorkedExamples) {
  using rotate_detail::bilinear_value;
  EXPECT_EQ(bilinear_value(0, 100, 50, 150, 0.25f, 0.5f), 50);
  EXPECT_EQ(bilinear_value(10, 10, 11, 11, 0.3f, 0.5f), 10);
  EXPECT_EQ(bilinear_value(11, 11, 12, 12, 0.7f, 0.5f), 12);
  EXPECT_EQ(bilinear_value(253, 250, 1, 3, 0x1.0efc44p-1f, 0x1.2da7f4p-1f), 104);
  EXPECT_EQ(bilinear_value(255, 255, 255, 255, 1.0f, 1.0f), 255);
}

// A quarter turn (lParam 450) as the x87 fsincos gives it on Windows; the C
// library's cosine ends in 0x7d7e instead.
TEST(RotateSetup, QuarterTurnSineAndCosineAsOnWindows) {
  const rotate_detail::RotationSetup setup = rotate_detail::rotation_setup(KernelBlock{}, 0, 0, 450);
  EXPECT_EQ(float_bits(setup.cos_t), 0x25b07c00u);
  EXPECT_EQ(float_bits(setup.sin_t), 0x3f800000u);
}

}  // namespace
}  // namespace virelta::effects::rotate_test
