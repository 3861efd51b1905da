// The palette kernel's results worked out by hand, for the plain rule and
// the fast kernel alike.
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

struct Case {
  std::int32_t opcode, amount;
  Bgr in, out;
};

class PaletteKernel : public ::testing::TestWithParam<KernelUnderTest> {
 protected:
  void run(KernelPicture& picture, std::int32_t opcode, std::int32_t amount) {
    picture.block.opcode = opcode;
    picture.block.amount = amount;
    GetParam().kernel(picture.block, kPaletteNoiseSeed, 0, 0);
  }
  // Every case on a 2 x 1 picture (one pair) of its input colour.
  void check(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      KernelPicture picture(2, 1);
      picture.fill(c.in);
      run(picture, c.opcode, c.amount);
      EXPECT_EQ(picture.get(1, 1), c.out) << "opcode " << c.opcode << " amount " << c.amount;
      EXPECT_EQ(picture.get(2, 1), c.out) << "opcode " << c.opcode << " amount " << c.amount;
    }
  }
};

// Pixels are (blue, green, red, unused).
TEST_P(PaletteKernel, PairOpcodesWorkOnAllFourBytes) {
  check({{6, 40, {10, 230, 255, 7}, {50, 255, 255, 7}},
         {8, 40, {10, 230, 255, 7}, {50, 14, 39, 7}},
         {7, 40, {10, 230, 255, 7}, {0, 190, 215, 7}},
         {9, 40, {10, 230, 255, 7}, {226, 190, 215, 7}},
         {1, 50, {10, 20, 30, 40}, {10, 20, 0, 40}},
         {2, 5, {10, 20, 30, 40}, {10, 25, 30, 40}},
         {4, 250, {10, 20, 30, 40}, {255, 20, 30, 40}},
         {11, 1, {0, 20, 255, 40}, {255, 235, 0, 215}},
         // Amounts beyond a byte spill into the neighbouring bytes.
         {0, 300, {10, 20, 30, 40}, {10, 20, 74, 41}},         // 0x012C0000
         {2, 300, {10, 20, 30, 40}, {10, 64, 31, 40}},         // 0x00012C00
         {2, -1, {10, 20, 30, 40}, {10, 255, 255, 255}},       // 0xFFFFFF00
         {7, -1, {10, 20, 30, 40}, {0, 0, 0, 0}},              // 0xFFFFFFFF
         {6, 256, {10, 20, 30, 40}, {10, 20, 30, 41}},         // 0x01000000
         {8, -32768, {10, 20, 30, 40}, {10, 20, 30, 168}}});   // 0x80000000
}

TEST_P(PaletteKernel, PixelOpcodesKeepTheUnusedByte) {
  check({{12, 1, {255, 255, 254, 9}, {254, 254, 254, 9}},
         {12, 1, {10, 20, 32, 9}, {20, 20, 20, 9}},
         {13, 1, {24, 24, 24, 9}, {0, 0, 0, 9}},
         {13, 1, {25, 0, 0, 9}, {25, 0, 0, 9}},
         {14, 1, {249, 249, 249, 9}, {255, 255, 255, 9}},
         {14, 1, {248, 255, 255, 9}, {248, 255, 255, 9}},
         {15, 1, {0, 0, 0, 9}, {255, 255, 255, 9}},
         {15, 1, {0, 0, 1, 9}, {0, 0, 1, 9}},
         {16, 1, {255, 255, 255, 9}, {0, 0, 0, 9}},
         {16, 1, {255, 254, 255, 9}, {255, 254, 255, 9}},
         {17, 1, {255, 255, 254, 9}, {0, 0, 0, 9}},
         {17, 1, {255, 255, 255, 9}, {255, 255, 255, 9}},
         {18, 1, {1, 0, 0, 9}, {255, 255, 255, 9}},
         {18, 1, {0, 0, 0, 9}, {0, 0, 0, 9}},
         {19, 1, {200, 200, 100, 9}, {0, 0, 0, 9}},
         {19, 1, {100, 200, 100, 9}, {255, 255, 255, 9}},
         {19, 1, {200, 100, 200, 9}, {255, 255, 255, 9}},
         {19, 1, {200, 100, 100, 9}, {0, 0, 0, 9}},
         {19, 1, {180, 180, 179, 9}, {0, 0, 0, 9}}});
}

TEST_P(PaletteKernel, OnlyTheNonPairOpcodesReachAnOddLastPixel) {
  const Bgr original{100, 110, 120, 130};
  for (std::int32_t opcode = 0; opcode <= 19; ++opcode) {
    KernelPicture picture(3, 3);
    picture.fill(original);
    run(picture, opcode, 20);
    const bool pair = opcode <= 9 || opcode == 11;
    const bool rule_changes_it = opcode < 13 || opcode > 16;
    EXPECT_EQ(picture.get(2, 3) != original, rule_changes_it) << opcode;
    EXPECT_EQ(picture.get(3, 3) != original, rule_changes_it && !pair) << opcode;
  }
  KernelPicture single(1, 1);
  single.set(1, 1, {1, 2, 3, 4});
  run(single, 6, 9);
  EXPECT_EQ(single.get(1, 1), (Bgr{1, 2, 3, 4}));
}

// Seed 0x40000000 draws 4, 170, 83 | 25, 242, 127.
TEST_P(PaletteKernel, NoiseAddsEachChannelsOwnDraw) {
  KernelPicture picture(2, 1);
  picture.fill({100, 100, 100, 50});
  run(picture, 10, 1);  // 100 + 4/255 x 41 - 20 = 80.64 -> 81, ...
  EXPECT_EQ(picture.get(1, 1), (Bgr{81, 107, 93, 50}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{84, 119, 100, 50}));
  picture.set(1, 1, {5, 250, 0, 50});
  run(picture, 10, 1);  // limited to 0..255
  EXPECT_EQ(picture.get(1, 1), (Bgr{0, 255, 0, 50}));
  picture.fill({100, 100, 100, 0});
  run(picture, 10, -1);  // 100 + r/255 x (-39) + 20
  EXPECT_EQ(picture.get(1, 1), (Bgr{119, 94, 107, 0}));
  // Amount 0 raises where the draw is 128 or more; every call draws the same.
  picture.fill({100, 100, 100, 0});
  run(picture, 10, 0);
  run(picture, 10, 0);
  EXPECT_EQ(picture.get(1, 1), (Bgr{100, 102, 100, 0}));
  EXPECT_EQ(picture.get(2, 1), (Bgr{100, 102, 100, 0}));
}

TEST_P(PaletteKernel, TouchesNothingButLayerTwoAndOnlyForKnownOpcodes) {
  std::mt19937 random(11);
  for (std::int32_t opcode : {-1, 0, 6, 10, 11, 12, 19, 20, INT_MIN, INT_MAX}) {
    KernelPicture picture(7, 5);
    picture.randomize(random);
    const auto before = picture.all_bytes();
    run(picture, opcode, 77);
    EXPECT_EQ(picture.layer_bytes(1), std::vector(before.begin(), before.begin() + 140));
    EXPECT_EQ(picture.layer_bytes(3), std::vector(before.begin() + 280, before.end()));
    EXPECT_EQ(picture.all_bytes() == before, opcode < 0 || opcode > 19) << opcode;
  }
  KernelBlock empty;
  empty.opcode = 11;
  GetParam().kernel(empty, 0, 0, 0);  // no store, no crash
}

INSTANTIATE_TEST_SUITE_P(Kernels, PaletteKernel,
                         ::testing::Values(KernelUnderTest{"plain", palette_kernel_plain},
                                           KernelUnderTest{"fast", palette_kernel}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PaletteNoiseGenerator, FirstDrawsFromTheDefaultSeed) {
  PaletteNoiseGenerator generator(kPaletteNoiseSeed);
  for (int expected : {4, 170, 83, 25, 242, 127}) EXPECT_EQ(generator.next(), expected);
}

}  // namespace
}  // namespace virelta::effects
