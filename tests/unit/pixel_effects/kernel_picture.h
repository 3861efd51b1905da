// A three-layer pixel store of exactly W x H x 4 x 3 bytes (a sanitizer build
// catches any stray access) with its kernel block. Pixels are (x, y), x = 1..W
// from the left and y = 1..H from the bottom, as the kernels count.
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
  KernelPicture(int w, int h, std::uint32_t seed = 0) : bytes(std::size_t(w) * h * 12), block{w, h, bytes.data()} {
    if (std::mt19937 random(seed); seed != 0) std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
  }
  KernelPicture(const KernelPicture& other) : bytes(other.bytes), block(other.block) { block.store = bytes.data(); }

  std::uint8_t* pixel(int layer, int x, int y) {
    return bytes.data() + ((layer - 1) * bytes.size() / 12 + (y - 1) * std::size_t(block.width) + (x - 1)) * 4;
  }
  Bytes get(int layer, int x, int y) { Bytes b; std::copy_n(pixel(layer, x, y), 4, b.begin()); return b; }
  void set(int layer, int x, int y, Bytes b) { std::copy_n(b.begin(), 4, pixel(layer, x, y)); }
  void fill(int layer, Bytes b) {
    for (int i = 0; i < block.width * block.height; ++i) set(layer, i % block.width + 1, i / block.width + 1, b);
  }

  // The plain kernel here and every entry this processor runs on a copy: a worked example checked through this
  // holds for all of them. None may write outside layer 2.
  void run(Kernel plain, const std::vector<KernelEntry>& entries, std::uint32_t msg, std::uint32_t wparam,
           std::uint32_t lparam) {
    const KernelPicture start(*this);
    plain(block, msg, wparam, lparam);
    const auto third = static_cast<std::ptrdiff_t>(bytes.size() / 3);
    ASSERT_TRUE(std::equal(bytes.begin(), bytes.begin() + third, start.bytes.begin())) << "layer 1 written";
    ASSERT_TRUE(std::equal(bytes.end() - third, bytes.end(), start.bytes.end() - third)) << "layer 3 written";
    for (const KernelEntry& entry : entries) {
      KernelPicture fast(start);
      entry.run(fast.block, msg, wparam, lparam);
      ASSERT_EQ(fast.bytes, bytes) << entry.name << " wrote other bytes than the plain kernel";
    }
  }
};

}  // namespace virelta::effects::testing
