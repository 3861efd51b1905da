// Arguments outside the documented ranges: the kernels change nothing, or do
// what the rules say, and never read or write outside the store (the store in
// these tests is exactly three layers long, so a sanitizer build catches any
// stray access).
#include <gtest/gtest.h>

#include <climits>

#include "effects/pixel_effects_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

const Kernel kKernels[] = {pixel_effects_kernel_plain, pixel_effects_kernel};

TEST(PixelEffectsBadInput, OpcodesOutsideZeroToFiveChangeNothing) {
  for (Kernel kernel : kKernels)
    for (int opcode : {-1, 6, 7, 100, INT_MIN, INT_MAX}) {
      KernelPicture p(6, 6);
      p.randomize(3);
      p.block.opcode = opcode;
      auto before = p.all_bytes();
      kernel(p.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
      EXPECT_EQ(p.all_bytes(), before) << opcode;
    }
}

TEST(PixelEffectsBadInput, OnlyLayerTwoIsEverWritten) {
  for (Kernel kernel : kKernels)
    for (int opcode = 0; opcode <= 5; ++opcode) {
      KernelPicture p(9, 8);
      p.randomize(opcode + 20);
      p.block.opcode = opcode;
      p.block.amount = opcode == 0 ? 8 : 2;
      p.block.colour = 0xFFFFFFFF;
      auto layer1 = p.layer_bytes(1), layer3 = p.layer_bytes(3);
      auto table = build_wave_table(p.block.amount, 9, 8);
      WaveTableWords words = wave_table_words(table.data());
      kernel(p.block, kPixelEffectsMsg, words.wparam, words.lparam);
      EXPECT_EQ(p.layer_bytes(1), layer1) << opcode;
      EXPECT_EQ(p.layer_bytes(3), layer3) << opcode;
    }
}

TEST(PixelEffectsBadInput, PicturesTooSmallForAFilterAreLeftAlone) {
  struct Expect {
    int opcode, amount, min_width, min_height;
  };
  const Expect filters[] = {{0, 1, 3, 1}, {0, 2, 1, 3}, {0, 4, 3, 3}, {0, 8, 3, 3},
                            {1, 1, 3, 3}, {2, 1, 2, 2}, {4, 1, 3, 3}};
  for (Kernel kernel : kKernels)
    for (const Expect& f : filters)
      for (int w = 1; w <= 4; ++w)
        for (int h = 1; h <= 4; ++h) {
          KernelPicture p(w, h);
          p.randomize(w * 10 + h);
          p.block.opcode = f.opcode;
          p.block.amount = f.amount;
          auto before = p.all_bytes();
          kernel(p.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
          if (w < f.min_width || h < f.min_height) {
            EXPECT_EQ(p.all_bytes(), before) << f.opcode << "/" << f.amount << " " << w << "x" << h;
          }
        }
}

TEST(PixelEffectsBadInput, WaveAndTwirlRunOnTheSmallestPictures) {
  for (Kernel kernel : kKernels)
    for (int w = 1; w <= 3; ++w)
      for (int h = 1; h <= 3; ++h)
        for (int amount : {SHRT_MIN, -1, 0, 1, 2, 4, SHRT_MAX}) {
          KernelPicture p(w, h);
          p.randomize(5);
          p.block.amount = amount;
          p.block.opcode = 3;
          auto table = build_wave_table(amount, w, h);
          WaveTableWords words = wave_table_words(table.data());
          kernel(p.block, kPixelEffectsMsg, words.wparam, words.lparam);
          p.block.opcode = 5;
          kernel(p.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
        }
}

TEST(PixelEffectsBadInput, WaveWithoutATableDoesNothing) {
  for (Kernel kernel : kKernels) {
    KernelPicture p(4, 4);
    p.randomize(8);
    p.block.opcode = 3;
    auto before = p.all_bytes();
    kernel(p.block, 0, 0, 0);
    EXPECT_EQ(p.all_bytes(), before);
  }
}

TEST(PixelEffectsBadInput, TopByteOfTheColourIsIgnored) {
  for (int opcode : {1, 2, 4, 5}) {
    KernelPicture a(7, 6);
    a.randomize(opcode);
    KernelPicture b(a);
    a.block.opcode = b.block.opcode = opcode;
    a.block.colour = 0x00123456;
    b.block.colour = 0xFF123456;
    pixel_effects_kernel(a.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
    pixel_effects_kernel(b.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
    EXPECT_EQ(a.all_bytes(), b.all_bytes()) << opcode;
  }
}

}  // namespace
}  // namespace virelta::effects
