// The fast magnify kernel gives the plain rule's bytes on random pictures.
#include <gtest/gtest.h>

#include <bit>
#include <climits>

#include "effects/magnify_kernel.h"
#include "unit/palette/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

TEST(MagnifyFastKernel, MatchesThePlainRuleByteForByte) {
  std::mt19937 random(77);
  const std::pair<int, int> sizes[] = {{1, 1}, {2, 2}, {3, 1}, {1, 5}, {7, 4}, {16, 16}, {33, 21}, {300, 7}, {600, 3}};
  const std::int32_t tenths[] = {0, 1, 3, 5, 7, 10, 13, 17, 20, 22, 23, 25, 28, 40, 100, -5, -10, -23, INT_MAX, INT_MIN};
  for (auto [width, height] : sizes) {
    const std::pair<float, float> centres[] = {{width / 2.0f, height / 2.0f},
                                               {static_cast<float>(width / 2), static_cast<float>(height / 2)},
                                               {0.0f, 0.0f},
                                               {0.3f, 1.7f},
                                               {width + 0.5f, -2.25f},
                                               {-40.0f, height * 3.0f}};
    for (std::int32_t q : tenths) {
      for (auto [cx, cy] : centres) {
        for (std::int32_t opcode : {0, 1}) {
          KernelPicture plain(width, height), fast(width, height);
          plain.randomize(random);
          std::copy_n(plain.store.data(), plain.store.layer_bytes() * 3, fast.store.data());
          plain.block.opcode = fast.block.opcode = opcode;
          plain.block.colour = fast.block.colour = static_cast<std::uint32_t>(random());
          const auto msg = std::bit_cast<std::uint32_t>(cx), wparam = std::bit_cast<std::uint32_t>(cy);
          magnify_kernel_plain(plain.block, msg, wparam, static_cast<std::uint32_t>(q));
          magnify_kernel(fast.block, msg, wparam, static_cast<std::uint32_t>(q));
          ASSERT_EQ(plain.all_bytes(), fast.all_bytes()) << width << "x" << height << " q " << q << " centre " << cx
                                                         << "," << cy << " opcode " << opcode;
        }
      }
    }
  }
}

}  // namespace
}  // namespace virelta::effects
