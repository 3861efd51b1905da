// The palette kernel's documented results, for the plain rule and the fast
// kernel alike.
#include <gtest/gtest.h>

#include <climits>

#include "effects/palette_kernel.h"
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

class PaletteKernel : public ::testing::TestWithParam<KernelUnderTest> {
 protected:
  void run(KernelPicture& picture, std::int32_t opcode, std::int32_t amount,
           std::uint32_t seed = kPaletteNoiseSeed) {
    picture.block.opcode = opcode;
    picture.block.amount = amount;
    GetParam().kernel(picture.block, seed, 0, 0);
  }
  // Runs one opcode on a 2 x 1 picture (one pair) of `pixel` and returns
  // the first pixel.
  Bgr on_pair(Bgr pixel, std::int32_t opcode, std::int32_t amount) {
    KernelPicture picture(2, 1);
    picture.fill(pixel);
    run(picture, opcode, amount);
    EXPECT_EQ(picture.get(1, 1), picture.get(2, 1));
    return picture.get(1, 1);
  }
  Bgr on_pixel(Bgr pixel, std::int32_t opcode) {
    KernelPicture picture(1, 1);
    picture.set(1, 1, pixel);
    run(picture, opcode, 1);
    return picture.get(1, 1);
  }
};

TEST_P(PaletteKernel, ChannelShiftsSaturateAndWrap) {
  EXPECT_EQ(on_pair({10, 230, 255, 7}, 6, 40), (Bgr{50, 255, 255, 7}));
  EXPECT_EQ(on_pair({10, 230, 255, 7}, 8, 40), (Bgr{50, 14, 39, 7}));
  EXPECT_EQ(on_pair({10, 230, 255, 7}, 7, 40), (Bgr{0, 190, 215, 7}));
  EXPECT_EQ(on_pair({10, 230, 255, 7}, 9, 40), (Bgr{226, 190, 215, 7}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 0, 5), (Bgr{10, 20, 35, 40}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 1, 50), (Bgr{10, 20, 0, 40}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 2, 5), (Bgr{10, 25, 30, 40}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 3, 5), (Bgr{10, 15, 30, 40}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 4, 250), (Bgr{255, 20, 30, 40}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 5, 5), (Bgr{5, 20, 30, 40}));
  EXPECT_EQ(on_pair({0, 20, 255, 40}, 11, 1), (Bgr{255, 235, 0, 215}));
}

TEST_P(PaletteKernel, AmountsBeyondAByteSpillIntoNeighbouringBytes) {
  // 300 x 65536 = 0x012C0000: red + 44, unused byte + 1.
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 0, 300), (Bgr{10, 20, 74, 41}));
  // 300 x 256: green + 44, red + 1.
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 2, 300), (Bgr{10, 64, 31, 40}));
  // -1 x 256 = 0xFFFFFF00.
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 2, -1), (Bgr{10, 255, 255, 255}));
  // -1 as the brighter pattern is 0xFFFFFFFF: every byte saturates.
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 6, -1), (Bgr{255, 255, 255, 255}));
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 7, -1), (Bgr{0, 0, 0, 0}));
  // 256 brighter: 0x01000000 + 0 + 0, only the unused byte moves.
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 6, 256), (Bgr{10, 20, 30, 41}));
  // -32768 x 65536 wraps to 0x80000000.
  EXPECT_EQ(on_pair({10, 20, 30, 40}, 8, -32768), (Bgr{10, 20, 30, 168}));
}

TEST_P(PaletteKernel, PairOpcodesLeaveAnOddLastPixelAlone) {
  const Bgr original{100, 110, 120, 130};
  for (std::int32_t opcode : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11}) {
    KernelPicture picture(3, 3);
    picture.fill(original);
    run(picture, opcode, 20);
    EXPECT_EQ(picture.get(3, 3), original) << "opcode " << opcode;
    EXPECT_NE(picture.get(2, 3), original) << "opcode " << opcode;
  }
  for (std::int32_t opcode : {10, 12, 13, 14, 15, 16, 17, 18, 19}) {
    KernelPicture picture(3, 3);
    picture.fill(opcode == 13 ? Bgr{1, 2, 3, 130} : opcode == 14 ? Bgr{250, 250, 250, 130}
                 : opcode == 16 ? Bgr{255, 255, 255, 130}
                 : opcode == 15 ? Bgr{0, 0, 0, 130} : original);
    const Bgr before = picture.get(3, 3);
    run(picture, opcode, 20);
    EXPECT_NE(picture.get(3, 3), before) << "opcode " << opcode;
  }
}

TEST_P(PaletteKernel, ASinglePixelHasNoPairToWalk) {
  KernelPicture picture(1, 1);
  picture.set(1, 1, {1, 2, 3, 4});
  for (std::int32_t opcode : {0, 6, 8, 11}) {
    run(picture, opcode, 9);
    EXPECT_EQ(picture.get(1, 1), (Bgr{1, 2, 3, 4}));
  }
}

TEST_P(PaletteKernel, GreyDropsTheRemainder) {
  EXPECT_EQ(on_pixel({255, 255, 254, 9}, 12), (Bgr{254, 254, 254, 9}));
  EXPECT_EQ(on_pixel({255, 255, 255, 9}, 12), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({0, 1, 1, 9}, 12), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({10, 20, 32, 9}, 12), (Bgr{20, 20, 20, 9}));
}

TEST_P(PaletteKernel, BlackAndWhiteRules) {
  EXPECT_EQ(on_pixel({24, 24, 24, 9}, 13), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({25, 0, 0, 9}, 13), (Bgr{25, 0, 0, 9}));
  EXPECT_EQ(on_pixel({249, 249, 249, 9}, 14), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({248, 255, 255, 9}, 14), (Bgr{248, 255, 255, 9}));
  EXPECT_EQ(on_pixel({0, 0, 0, 9}, 15), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({0, 0, 1, 9}, 15), (Bgr{0, 0, 1, 9}));
  EXPECT_EQ(on_pixel({255, 255, 255, 9}, 16), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({255, 254, 255, 9}, 16), (Bgr{255, 254, 255, 9}));
  EXPECT_EQ(on_pixel({255, 255, 255, 9}, 17), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({255, 255, 254, 9}, 17), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({0, 0, 0, 9}, 18), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({1, 0, 0, 9}, 18), (Bgr{255, 255, 255, 9}));
}

TEST_P(PaletteKernel, ThresholdAt180) {
  EXPECT_EQ(on_pixel({200, 200, 100, 9}, 19), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({100, 200, 100, 9}, 19), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({200, 100, 200, 9}, 19), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({200, 100, 100, 9}, 19), (Bgr{0, 0, 0, 9}));
  EXPECT_EQ(on_pixel({179, 179, 180, 9}, 19), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({179, 180, 179, 9}, 19), (Bgr{255, 255, 255, 9}));
  EXPECT_EQ(on_pixel({180, 180, 179, 9}, 19), (Bgr{0, 0, 0, 9}));
}

// Draws with seed 0x40000000: 4, 170, 83, 25, 242, 127.
TEST_P(PaletteKernel, NoiseAddsTheDrawnOffsetsChannelByChannel) {
  KernelPicture picture(2, 1);
  picture.fill({100, 100, 100, 50});
  run(picture, 10, 1);
  // 100 + 4/255 x 41 - 20 = 80.64 -> 81, and so on.
  EXPECT_EQ(picture.get(1, 1), (Bgr{81, 107, 93, 50}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{84, 119, 100, 50}));

  picture.set(1, 1, {5, 250, 0, 50});
  picture.set(2, 1, {255, 10, 128, 50});
  run(picture, 10, 1);
  EXPECT_EQ(picture.get(1, 1), (Bgr{0, 255, 0, 50}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{239, 29, 128, 50}));
}

TEST_P(PaletteKernel, NoiseOfAmountZeroRaisesWhereTheDrawIsAtLeast128) {
  KernelPicture picture(2, 1);
  picture.fill({100, 100, 100, 0});
  run(picture, 10, 0);
  EXPECT_EQ(picture.get(1, 1), (Bgr{100, 101, 100, 0}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{100, 101, 100, 0}));
  // The generator restarts from the seed: the same offsets again.
  run(picture, 10, 0);
  EXPECT_EQ(picture.get(1, 1), (Bgr{100, 102, 100, 0}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{100, 102, 100, 0}));
}

TEST_P(PaletteKernel, NoiseSpanFollowsTheAmount) {
  KernelPicture picture(2, 1);
  picture.fill({100, 100, 100, 0});
  run(picture, 10, 3);
  EXPECT_EQ(picture.get(1, 1), (Bgr{42, 121, 79, 0}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{52, 155, 100, 0}));
  // Huge or negative amounts only limit harder.
  run(picture, 10, 32767);
  EXPECT_EQ(picture.get(1, 1), (Bgr{0, 255, 0, 0}));
  KernelPicture other(1, 1);
  other.set(1, 1, {100, 100, 100, 0});
  run(other, 10, -1);  // 100 + r/255 x (-39) + 20
  EXPECT_EQ(other.get(1, 1), (Bgr{119, 94, 107, 0}));
}

TEST(PaletteNoiseGenerator, FirstDrawsFromTheDefaultSeed) {
  PaletteNoiseGenerator generator(kPaletteNoiseSeed);
  for (int expected : {4, 170, 83, 25, 242, 127}) EXPECT_EQ(generator.next(), expected);
  // The addition's carry lands in bit 31.
  PaletteNoiseGenerator wide(0xFFFFFFFFu);
  wide.next();
  EXPECT_EQ(wide.state(), static_cast<std::uint32_t>((std::uint64_t{0xFFFFFFFFu * 71699u} + 700937u) >> 1));
}

TEST(PaletteShiftPattern, BuiltFromTheSignWidenedAmount) {
  EXPECT_EQ(palette_shift_pattern(0, 300), 0x012C0000u);
  EXPECT_EQ(palette_shift_pattern(2, 300), 0x00012C00u);
  EXPECT_EQ(palette_shift_pattern(4, 300), 0x0000012Cu);
  EXPECT_EQ(palette_shift_pattern(6, 40), 0x00282828u);
  EXPECT_EQ(palette_shift_pattern(9, 300), 0x012C2C2Cu);
  EXPECT_EQ(palette_shift_pattern(3, -1), 0xFFFFFF00u);
  EXPECT_EQ(palette_shift_pattern(7, -1), 0xFFFFFFFFu);
  EXPECT_EQ(palette_shift_pattern(1, -32768), 0x80000000u);
  EXPECT_EQ(palette_shift_pattern(11, 40), 0u);
}

TEST_P(PaletteKernel, UnknownOpcodesAndEmptyBlocksChangeNothing) {
  std::mt19937 random(7);
  KernelPicture picture(5, 3);
  picture.randomize(random);
  const auto before = picture.all_bytes();
  for (std::int32_t opcode : {-1, 20, 21, 100, INT_MIN, INT_MAX}) {
    run(picture, opcode, 40);
    EXPECT_EQ(picture.all_bytes(), before) << "opcode " << opcode;
  }
  KernelBlock empty;
  empty.opcode = 6;
  GetParam().kernel(empty, 0, 0, 0);
  KernelBlock zero_width = picture.block;
  zero_width.width = 0;
  zero_width.opcode = 11;
  GetParam().kernel(zero_width, 0, 0, 0);
  EXPECT_EQ(picture.all_bytes(), before);
}

TEST_P(PaletteKernel, WritesOnlyTheCurrentLayer) {
  std::mt19937 random(11);
  for (std::int32_t opcode = 0; opcode <= 19; ++opcode) {
    KernelPicture picture(7, 5);
    picture.randomize(random);
    const auto base = picture.layer_bytes(1);
    const auto previous = picture.layer_bytes(3);
    run(picture, opcode, 77);
    EXPECT_EQ(picture.layer_bytes(1), base) << "opcode " << opcode;
    EXPECT_EQ(picture.layer_bytes(3), previous) << "opcode " << opcode;
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, PaletteKernel,
                         ::testing::Values(KernelUnderTest{"plain", palette_kernel_plain}, KernelUnderTest{"fast", palette_kernel}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace virelta::effects
