// Every fast form of the magnify kernel gives the plain rule's bytes.
#include <gtest/gtest.h>

#include <bit>
#include <climits>

#include "effects/magnify_kernel.h"
#include "unit/palette/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

TEST(MagnifyFastKernel, MatchesThePlainRuleOnRandomPictures) {
  const std::vector<KernelEntry> kernels = entries_run_here("magnify", magnify_kernels());
  std::mt19937 random(77);
  // Widths above 256 cross the fast kernel's column blocks.
  const std::pair<int, int> sizes[] = {{1, 1}, {2, 2}, {3, 1}, {1, 5}, {7, 4}, {16, 16}, {33, 21}, {300, 7}, {600, 3}};
  for (auto [width, height] : sizes) {
    const std::pair<float, float> centres[] = {{width / 2.0f, height / 2.0f}, {float(width / 2), float(height / 2)},
                                               {0.0f, 0.0f}, {0.3f, 1.7f}, {width + 0.5f, -2.25f},
                                               {-40.0f, height * 3.0f}};
    for (std::int32_t q : {0, 1, 3, 5, 7, 10, 13, 17, 20, 22, 23, 25, 28, 40, 100, -5, -10, -23, INT_MAX, INT_MIN})
      for (auto [cx, cy] : centres)
        for (std::int32_t opcode : {0, 1}) {
          KernelPicture plain(width, height);
          plain.randomize(random);
          const auto start = plain.all_bytes();
          plain.block.opcode = opcode;
          plain.block.colour = static_cast<std::uint32_t>(random());
          const auto msg = std::bit_cast<std::uint32_t>(cx), wparam = std::bit_cast<std::uint32_t>(cy);
          magnify_kernel_plain(plain.block, msg, wparam, static_cast<std::uint32_t>(q));
          for (auto [name, kernel, _] : kernels) {
            KernelPicture fast(width, height);
            std::copy(start.begin(), start.end(), fast.store.data());
            fast.block.opcode = opcode;
            fast.block.colour = plain.block.colour;
            kernel(fast.block, msg, wparam, static_cast<std::uint32_t>(q));
            ASSERT_EQ(plain.all_bytes(), fast.all_bytes()) << name << " " << width << "x" << height << " q " << q
                                                           << " centre " << cx << "," << cy << " opcode " << opcode;
          }
        }
  }
}

}  // namespace
}  // namespace virelta::effects
