// A pixel store with its kernel block, for calling kernels directly.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/pixel_store.h"

namespace virelta::effects::testing {

struct Bgr {
  std::uint8_t blue, green, red, unused = 0;
  bool operator==(const Bgr&) const = default;
};

struct KernelPicture {
  PixelStore store;
  KernelBlock block;

  KernelPicture(std::int32_t width, std::int32_t height) {
    store.recreate(width, height);
    block.width = width;
    block.height = height;
    block.store = store.data();
  }

  // Pixel (x from the left, y from the bottom, both from 1) of a layer.
  Bgr get(int x, int y, int layer = 2) {
    return {store.at(1, x, y, layer), store.at(2, x, y, layer), store.at(3, x, y, layer), store.at(4, x, y, layer)};
  }
  void set(int x, int y, Bgr p, int layer = 2) {
    store.at(1, x, y, layer) = p.blue;
    store.at(2, x, y, layer) = p.green;
    store.at(3, x, y, layer) = p.red;
    store.at(4, x, y, layer) = p.unused;
  }
  void fill(Bgr p, int layer = 2) {
    for (int y = 1; y <= block.height; ++y)
      for (int x = 1; x <= block.width; ++x) set(x, y, p, layer);
  }
  void randomize(std::mt19937& random) {
    std::uint8_t* bytes = store.data();
    for (std::size_t i = 0; i < store.layer_bytes() * 3; ++i) bytes[i] = static_cast<std::uint8_t>(random());
  }
  void copy_from(const KernelPicture& other) {
    std::copy_n(other.store.data(), other.store.layer_bytes() * 3, store.data());
  }
  std::vector<std::uint8_t> all_bytes() const {
    return std::vector<std::uint8_t>(store.data(), store.data() + store.layer_bytes() * 3);
  }
  std::vector<std::uint8_t> layer_bytes(int layer) const {
    return std::vector<std::uint8_t>(store.layer(layer), store.layer(layer) + store.layer_bytes());
  }
};

}  // namespace virelta::effects::testing
