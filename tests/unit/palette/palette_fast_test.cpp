// The fast palette kernel gives the plain rule's bytes on random pictures.
#include <gtest/gtest.h>

#include "effects/palette_kernel.h"
#include "effects/palette_kernel_simd.h"
#include "unit/palette/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

// Every fast implementation this processor can run.
std::vector<std::pair<const char*, Kernel>> fast_kernels() {
  std::vector<std::pair<const char*, Kernel>> kernels{{"chosen", palette_kernel},
                                                     {"baseline", palette_simd::palette_kernel_baseline}};
  if (palette_simd::cpu_has_avx2()) kernels.emplace_back("avx2", palette_simd::palette_kernel_avx2);
  return kernels;
}

TEST(PaletteFastKernel, MatchesThePlainRuleByteForByte) {
  std::mt19937 random(2024);
  const std::pair<int, int> sizes[] = {{1, 1}, {2, 1}, {3, 1}, {1, 7}, {5, 3}, {4, 4}, {7, 7}, {16, 9}, {33, 17}, {64, 63}};
  const std::int32_t amounts[] = {0, 1, 40, 255, 256, 300, -1, -300, 32767, -32768, 100000, INT32_MIN};
  for (auto [width, height] : sizes) {
    for (std::int32_t opcode = -1; opcode <= 20; ++opcode) {
      for (std::int32_t amount : amounts) {
        KernelPicture plain(width, height);
        plain.randomize(random);
        const auto before = plain.all_bytes();
        plain.block.opcode = opcode;
        plain.block.amount = amount;
        const std::uint32_t seed = amount == 1 ? kPaletteNoiseSeed : static_cast<std::uint32_t>(random());
        palette_kernel_plain(plain.block, seed, 0, 0);
        for (auto [name, kernel] : fast_kernels()) {
          KernelPicture fast(width, height);
          std::copy(before.begin(), before.end(), fast.store.data());
          fast.block.opcode = opcode;
          fast.block.amount = amount;
          kernel(fast.block, seed, 0, 0);
          ASSERT_EQ(plain.all_bytes(), fast.all_bytes())
              << name << " " << width << "x" << height << " opcode " << opcode << " amount " << amount;
        }
      }
    }
  }
}

// Pictures whose channels sit on every threshold of the per-pixel rules.
TEST(PaletteFastKernel, MatchesOnThresholdValues) {
  const std::uint8_t values[] = {0, 1, 24, 25, 179, 180, 248, 249, 254, 255};
  KernelPicture plain(static_cast<int>(std::size(values)), 100);
  int x = 1, y = 1;
  for (auto blue : values)
    for (auto green : values)
      for (auto red : values) {
        plain.set(x, y, {blue, green, red, red});
        if (++x > plain.block.width) x = 1, ++y;
      }
  for (std::int32_t opcode = 12; opcode <= 19; ++opcode) {
    KernelPicture p(plain.block.width, plain.block.height);
    std::copy_n(plain.store.data(), plain.store.layer_bytes() * 3, p.store.data());
    p.block.opcode = opcode;
    palette_kernel_plain(p.block, 0, 0, 0);
    for (auto [name, kernel] : fast_kernels()) {
      KernelPicture f(plain.block.width, plain.block.height);
      std::copy_n(plain.store.data(), plain.store.layer_bytes() * 3, f.store.data());
      f.block.opcode = opcode;
      kernel(f.block, 0, 0, 0);
      EXPECT_EQ(p.all_bytes(), f.all_bytes()) << name << " opcode " << opcode;
    }
  }
}

}  // namespace
}  // namespace virelta::effects
