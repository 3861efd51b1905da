// Arguments outside the documented ranges: nothing changes, or the rules'
// own outcome, and never an access outside the store (which is exactly three
// layers long here, so a sanitizer build catches any stray access).
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>

#include "effects/colour_exchange_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

const Kernel kKernels[] = {colour_exchange_kernel_plain, colour_exchange_kernel};

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

TEST(ColourExchangeBadInput, OpcodesOutsideZeroToNineChangeNothing) {
  for (Kernel kernel : kKernels)
    for (int opcode : {-1, 10, 11, 1000, INT_MIN, INT_MAX}) {
      KernelPicture p(6, 6);
      p.randomize(9);
      p.block.opcode = opcode;
      p.block.amount = 1;
      auto before = p.all_bytes();
      kernel(p.block, bits(0.5f), bits(0.5f), 0);
      EXPECT_EQ(p.all_bytes(), before) << opcode;
    }
}

TEST(ColourExchangeBadInput, OnlyLayerTwoIsEverWritten) {
  for (Kernel kernel : kKernels)
    for (int opcode = 0; opcode <= 9; ++opcode) {
      KernelPicture p(9, 9);
      p.randomize(opcode + 1);
      for (int y = 1; y <= 9; ++y) p.set(2, 5, y, {0x30, 0x20, 0x10, 0});
      p.block.opcode = opcode;
      p.block.amount = 2;
      p.block.colour = 0x102030;
      auto layer1 = p.layer_bytes(1), layer3 = p.layer_bytes(3);
      float x = opcode == 0 ? 0.5f : opcode == 9 ? 5.0f : kStartingWeight;
      float y = opcode == 0 ? 0.5f : opcode == 9 ? 5.0f : kWeightStep;
      kernel(p.block, bits(x), bits(y), 0);
      EXPECT_EQ(p.layer_bytes(1), layer1) << opcode;
      EXPECT_EQ(p.layer_bytes(3), layer3) << opcode;
    }
}

TEST(ColourExchangeBadInput, SmallPicturesAndExtremeAmountsStayInside) {
  for (Kernel kernel : kKernels)
    for (int w = 1; w <= 4; ++w)
      for (int h = 1; h <= 4; ++h)
        for (int opcode = 0; opcode <= 9; ++opcode)
          for (int amount : {SHRT_MIN, -3, -1, 0, 1, 2, 5, 9, SHRT_MAX}) {
            if (opcode == 9 && (amount > 9 || amount < -9) && kernel == kKernels[0]) continue;  // slow, not risky
            KernelPicture p(w, h);
            p.fill(2, {0, 0, 0, 0});
            p.block.opcode = opcode;
            p.block.amount = amount;
            p.block.colour = 0;  // every pixel matches
            float x = opcode == 9 ? 1.0f : 0.9f, y = opcode == 9 ? 1.0f : 0.1f;
            kernel(p.block, bits(x), bits(y), 0);
          }
}

TEST(ColourExchangeBadInput, HugeBurstWithTheCentreFarAwayEndsQuickly) {
  KernelPicture p(50, 50);
  p.randomize(3);
  auto before = p.all_bytes();
  p.block.opcode = 9;
  p.block.amount = SHRT_MAX;
  p.block.colour = 0xFFFFFF;
  colour_exchange_kernel(p.block, bits(1e7f), bits(-1e7f), 0);
  EXPECT_EQ(p.all_bytes(), before);
}

}  // namespace
}  // namespace virelta::effects
