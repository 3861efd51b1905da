// Edge filter, relief and emboss: worked examples with their visited ranges;
// blue, green and red written, the unused byte left alone.
#include <gtest/gtest.h>

#include "effects/pixel_effects_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::Bytes;
using testing::KernelPicture;

constexpr int kEdge = 1, kRelief = 2, kEmboss = 4;

void run(KernelPicture& p, int opcode, std::uint32_t colour) {
  p.block.opcode = opcode;
  p.block.colour = colour;
  p.block.amount = 1;
  p.run_both(pixel_effects_kernel_plain, pixel_effects_kernel, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
}

constexpr std::uint32_t rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
const Bytes kUntouched = {7, 7, 7, 7};

TEST(Edge, UniformPictureGivesTheColourAndKeepsTheBorderRowsAndColumns) {
  KernelPicture p(6, 5);
  p.fill(3, {60, 60, 60, 60});
  p.fill(2, kUntouched);
  run(p, kEdge, rgb(10, 20, 30));
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 6; ++x) {
      bool visited = y >= 3 && y <= 4 && x >= 3 && x <= 5;
      EXPECT_EQ(p.get(2, x, y), visited ? Bytes({30, 20, 10, 7}) : kUntouched) << x << "," << y;
    }
}

TEST(Edge, EightTimesCentreMinusNeighboursPlusColourLimitedTo0To255) {
  KernelPicture p(3, 3);  // the single centre (2, 2) is visited once
  p.fill(3, {40, 0, 1, 9});
  p.set(3, 2, 2, {50, 255, 0, 9});
  p.fill(2, kUntouched);
  run(p, kEdge, rgb(5, 0, 7));
  EXPECT_EQ(p.get(2, 2, 2), Bytes({400 - 320 + 7, 255, 0, 7}));
  EXPECT_EQ(p.get(2, 1, 1), kUntouched);
  EXPECT_EQ(p.get(2, 3, 3), kUntouched);
}

TEST(Relief, UniformPictureGivesZeroOrTheColour) {
  KernelPicture p(5, 4);
  p.fill(3, {100, 100, 100, 100});
  p.fill(2, kUntouched);
  run(p, kRelief, 0);
  EXPECT_EQ(p.get(2, 2, 2), Bytes({0, 0, 0, 7}));
  EXPECT_EQ(p.get(2, 4, 3), Bytes({0, 0, 0, 7}));
  run(p, kRelief, 0xFF);
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 5; ++x) {
      bool visited = y >= 2 && y <= 3 && x >= 2 && x <= 4;
      EXPECT_EQ(p.get(2, x, y), visited ? Bytes({0, 0, 255, 7}) : kUntouched) << x << "," << y;
    }
}

TEST(Relief, DifferenceToUpperRightMinusColourAsMagnitude) {
  KernelPicture p(2, 2);  // at least once: (1, 1) against (2, 2)
  p.fill(2, kUntouched);
  p.set(3, 1, 1, {10, 200, 50, 0});
  p.set(3, 2, 2, {200, 10, 50, 0});
  run(p, kRelief, rgb(0, 0, 100));
  EXPECT_EQ(p.get(2, 1, 1), Bytes({255, 190, 0, 7}));
  EXPECT_EQ(p.get(2, 2, 2), kUntouched);
}

TEST(Emboss, UniformPictures) {
  KernelPicture p(5, 5);
  p.fill(2, kUntouched);
  p.fill(3, {100, 100, 100, 0});
  run(p, kEmboss, 0xFFFFFF);
  EXPECT_EQ(p.get(2, 3, 3), Bytes({100, 100, 100, 7}));
  p.fill(3, {0, 0, 0, 0});
  run(p, kEmboss, 0xFFFFFF);
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 5; ++x) {
      bool visited = y >= 2 && y <= 4 && x >= 2 && x <= 4;
      EXPECT_EQ(p.get(2, x, y), visited ? Bytes({50, 50, 50, 7}) : kUntouched) << x << "," << y;
    }
}

// One visited pixel (2, 2) of a 3 x 3 picture; s of each channel is built
// from the centre and the six neighbours the filter weighs.
class EmbossPixel : public ::testing::Test {
 protected:
  enum Place { kCentre, kUp, kUpRight, kRight, kLeft, kDownLeft, kDown };
  void put(Place place, int channel, int value) {
    static const int xs[] = {2, 2, 3, 3, 1, 1, 2}, ys[] = {2, 3, 3, 2, 2, 1, 1};
    p.pixel(3, xs[place], ys[place])[channel] = static_cast<std::uint8_t>(value);
  }
  Bytes emboss() {
    p.fill(2, kUntouched);
    run(p, kEmboss, rgb(11, 22, 33));
    return p.get(2, 2, 2);
  }
  KernelPicture p{3, 3};
  static constexpr int kBlue = 0, kGreen = 1, kRed = 2;
};

TEST_F(EmbossPixel, RedTakingItsColourSparesTheOthersLowerLimit) {
  put(kLeft, kBlue, 50);                            // s = -50
  put(kCentre, kGreen, 255), put(kUp, kGreen, 245);  // s = 500
  put(kDown, kRed, 200);                            // s = -200
  EXPECT_EQ(emboss(), Bytes({25, 22, 11, 7}));
}

TEST_F(EmbossPixel, NegativeChannelsBecomeZeroWhenRedIsInRange) {
  put(kDownLeft, kBlue, 50);                         // s = -100
  put(kCentre, kGreen, 255), put(kUp, kGreen, 156);  // s = 411, the largest value kept
  put(kLeft, kRed, 1);                               // s = -1
  EXPECT_EQ(emboss(), Bytes({0, 255, 0, 7}));
}

TEST_F(EmbossPixel, BothEndsOfTheRangeTakeTheColour) {
  put(kDownLeft, kBlue, 50), put(kDown, kBlue, 1);  // s = -101
  put(kLeft, kGreen, 1);                            // s = -1, kept as its low byte 49
  put(kCentre, kRed, 255), put(kUpRight, kRed, 79);  // s = 413
  EXPECT_EQ(emboss(), Bytes({33, 49, 11, 7}));
}

TEST_F(EmbossPixel, GreenTakingItsColourDoesNotSpareBlue) {
  put(kRight, kBlue, 0), put(kDown, kBlue, 2);             // s = -2
  put(kLeft, kGreen, 101);                                 // s = -101
  put(kUpRight, kRed, 100), put(kLeft, kRed, 100);         // s = 100
  EXPECT_EQ(emboss(), Bytes({0, 22, 100, 7}));
}

}  // namespace
}  // namespace virelta::effects
