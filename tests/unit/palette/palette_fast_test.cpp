// Every fast form of the palette kernel gives the plain rule's bytes.
#include <gtest/gtest.h>

#include <climits>

#include "effects/palette_kernel.h"
#include "unit/palette/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

void expect_fast_equals_plain(const KernelPicture& start, std::int32_t opcode, std::int32_t amount, std::uint32_t seed) {
  static const std::vector<KernelEntry> kernels = entries_run_here("palette", palette_kernels());
  KernelPicture plain(start.block.width, start.block.height);
  plain.copy_from(start);
  plain.block.opcode = opcode;
  plain.block.amount = amount;
  palette_kernel_plain(plain.block, seed, 0, 0);
  for (auto [name, kernel, _] : kernels) {
    KernelPicture fast(start.block.width, start.block.height);
    fast.copy_from(start);
    fast.block.opcode = opcode;
    fast.block.amount = amount;
    kernel(fast.block, seed, 0, 0);
    ASSERT_EQ(plain.all_bytes(), fast.all_bytes()) << name << " " << start.block.width << "x" << start.block.height
                                                   << " opcode " << opcode << " amount " << amount;
  }
}

TEST(PaletteFastKernel, MatchesThePlainRuleOnRandomPictures) {
  std::mt19937 random(2024);
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 1}, {1, 7}, {5, 3}, {4, 4}, {16, 9}, {33, 17}, {64, 63}};
  for (auto [width, height] : sizes)
    for (std::int32_t opcode = -1; opcode <= 20; ++opcode)
      for (std::int32_t amount : {0, 1, 40, 255, 256, 300, -1, -300, 32767, -32768, 100000, INT_MIN}) {
        KernelPicture start(width, height);
        start.randomize(random);
        expect_fast_equals_plain(start, opcode, amount, static_cast<std::uint32_t>(random()));
      }
}

// Every combination of the values around the per-pixel rules' thresholds.
TEST(PaletteFastKernel, MatchesThePlainRuleAtEveryThreshold) {
  const std::uint8_t values[] = {0, 1, 24, 25, 179, 180, 248, 249, 254, 255};
  KernelPicture start(10, 100);
  int i = 0;
  for (auto blue : values)
    for (auto green : values)
      for (auto red : values) {
        start.set(i % 10 + 1, i / 10 + 1, {blue, green, red, red});
        ++i;
      }
  for (std::int32_t opcode = 12; opcode <= 19; ++opcode) expect_fast_equals_plain(start, opcode, 1, 0);
}

}  // namespace
}  // namespace virelta::effects
