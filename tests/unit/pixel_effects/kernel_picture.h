// A three-layer pixel store of exactly W x H x 4 x 3 bytes with its kernel
// block, for calling kernels directly. Pixels are addressed as the kernels
// see them: x = 1..W from the left, y = 1..H from the bottom.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "effects/kernel_block.h"

namespace virelta::effects::testing {

using Bytes = std::array<std::uint8_t, 4>;  // blue, green, red, unused

class KernelPicture {
 public:
  KernelPicture(int width, int height)
      : bytes_(static_cast<std::size_t>(width) * height * 4 * 3) {
    block.width = width;
    block.height = height;
    block.store = bytes_.data();
  }
  KernelPicture(const KernelPicture& other) : KernelPicture(other.block.width, other.block.height) {
    bytes_ = other.bytes_;
    block.store = bytes_.data();
    block.amount = other.block.amount;
    block.colour = other.block.colour;
    block.opcode = other.block.opcode;
  }
  KernelPicture& operator=(const KernelPicture&) = delete;

  int width() const { return block.width; }
  int height() const { return block.height; }

  std::uint8_t* pixel(int layer, int x, int y) {
    return bytes_.data() + static_cast<std::size_t>(layer - 1) * width() * height() * 4 +
           ((static_cast<std::size_t>(y) - 1) * width() + (x - 1)) * 4;
  }
  Bytes get(int layer, int x, int y) {
    std::uint8_t* p = pixel(layer, x, y);
    return {p[0], p[1], p[2], p[3]};
  }
  void set(int layer, int x, int y, Bytes b) {
    std::uint8_t* p = pixel(layer, x, y);
    for (int c = 0; c < 4; ++c) p[c] = b[c];
  }
  void fill(int layer, Bytes b) {
    for (int y = 1; y <= height(); ++y)
      for (int x = 1; x <= width(); ++x) set(layer, x, y, b);
  }
  void randomize(std::uint32_t seed) {
    std::mt19937 engine(seed);
    for (auto& b : bytes_) b = static_cast<std::uint8_t>(engine());
  }
  std::vector<std::uint8_t> layer_bytes(int layer) const {
    auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(layer - 1) * width() * height() * 4;
    return {first, first + static_cast<std::ptrdiff_t>(width()) * height() * 4};
  }
  const std::vector<std::uint8_t>& all_bytes() const { return bytes_; }

  // The fast kernel on this picture and the plain one on a copy: a worked
  // example checked through this holds for both kernels.
  void run_both(Kernel plain, Kernel fast, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
    KernelPicture copy(*this);
    plain(copy.block, msg, wparam, lparam);
    fast(block, msg, wparam, lparam);
    EXPECT_EQ(copy.all_bytes(), bytes_) << "the plain kernel wrote other bytes";
  }

  KernelBlock block;

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace virelta::effects::testing
