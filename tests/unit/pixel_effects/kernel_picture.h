// A three-layer pixel store of exactly W x H x 4 x 3 bytes (so a sanitizer
// build catches any stray access) with its kernel block. Pixels are (x, y),
// x = 1..W from the left and y = 1..H from the bottom, as the kernels count.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "effects/cpu_features.h"

namespace virelta::effects::testing {

using Bytes = std::array<std::uint8_t, 4>;  // blue, green, red, unused
inline std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

struct KernelPicture {
  std::vector<std::uint8_t> bytes;
  KernelBlock block;

  // All zero, or random bytes from a non-zero seed.
  KernelPicture(int w, int h, std::uint32_t seed = 0) : bytes(static_cast<std::size_t>(w) * h * 12) {
    block.width = w;
    block.height = h;
    block.store = bytes.data();
    std::mt19937 random(seed);
    if (seed != 0) std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
  }
  KernelPicture(const KernelPicture& other) : bytes(other.bytes), block(other.block) { block.store = bytes.data(); }
  KernelPicture& operator=(const KernelPicture&) = delete;

  std::uint8_t* pixel(int layer, int x, int y) {
    const std::size_t w = block.width, h = block.height;
    return bytes.data() + ((layer - 1) * w * h + (y - 1) * w + (x - 1)) * 4;
  }
  Bytes get(int layer, int x, int y) {
    Bytes b;
    std::copy_n(pixel(layer, x, y), 4, b.begin());
    return b;
  }
  void set(int layer, int x, int y, Bytes b) { std::copy_n(b.begin(), 4, pixel(layer, x, y)); }
  void fill(int layer, Bytes b) {
    for (int y = 1; y <= block.height; ++y)
      for (int x = 1; x <= block.width; ++x) set(layer, x, y, b);
  }
  std::vector<std::uint8_t> layer_bytes(int layer) const {
    const auto size = bytes.size() / 3;
    return {bytes.begin() + (layer - 1) * size, bytes.begin() + layer * size};
  }

  // The fast kernel here and the plain one on a copy: a worked example checked
  // through this holds for both.
  void run_both(Kernel plain, Kernel fast, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
    KernelPicture copy(*this);
    plain(copy.block, msg, wparam, lparam);
    fast(block, msg, wparam, lparam);
    EXPECT_EQ(copy.bytes, bytes) << "the plain kernel wrote other bytes";
  }
};

// Every entry this processor runs writes the plain kernel's bytes, and the
// plain kernel writes nothing outside layer 2.
inline void expect_entries_agree(Kernel plain, const std::vector<KernelEntry>& entries, const KernelPicture& start,
                                 std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  KernelPicture expected(start);
  plain(expected.block, msg, wparam, lparam);
  ASSERT_EQ(expected.layer_bytes(1), start.layer_bytes(1));
  ASSERT_EQ(expected.layer_bytes(3), start.layer_bytes(3));
  for (const KernelEntry& entry : entries) {
    KernelPicture fast(start);
    entry.run(fast.block, msg, wparam, lparam);
    ASSERT_EQ(fast.bytes, expected.bytes) << entry.name;
  }
}

}  // namespace virelta::effects::testing
