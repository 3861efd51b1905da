// A small picture with its three layers and kernel block, and the list of
// rotation kernel versions every hand-worked case runs through.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/pixel_store.h"
#include "effects/rotate_kernel.h"
#include "effects/rotate_kernel_shared.h"

namespace virelta::effects::rotate_test {

struct KernelVersion {
  std::string name;
  Kernel kernel;
};

// Every entry of the table this processor runs, by name, and the chosen one.
inline std::vector<KernelVersion> all_versions() {
  std::vector<KernelVersion> versions;
  for (const KernelEntry& entry : entries_run_here("rotation", rotate_kernels()))
    versions.push_back({entry.name, entry.run});
  versions.push_back({"chosen", rotate_kernel});
  return versions;
}

inline std::uint32_t float_bits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

struct Picture {
  PixelStore store;
  KernelBlock block;

  Picture(std::int32_t w, std::int32_t h) {
    store.recreate(w, h);
    block.width = w;
    block.height = h;
    block.store = store.data();
  }

  std::int32_t w() const { return block.width; }
  std::int32_t h() const { return block.height; }
  std::size_t bytes() const { return store.layer_bytes() * 3; }

  // Channel 1 blue .. 4 unused; x from the left, y from the bottom, from 1.
  std::uint8_t& at(int channel, int x, int y, int layer) { return store.at(channel, x, y, layer); }

  void set_pixel(int x, int y, int layer, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    at(1, x, y, layer) = b;
    at(2, x, y, layer) = g;
    at(3, x, y, layer) = r;
  }

  void randomise(std::uint32_t seed) {
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < bytes(); i += 4) {
      const std::uint32_t word = random();
      std::memcpy(store.data() + i, &word, 4);
    }
  }

  // Runs a kernel as the host does: centre in pixels (centre row from the
  // top), lParam = Angle + 360.
  void run(Kernel kernel, int opcode, std::uint32_t colour, float center_x, float center_y,
           std::int32_t angle) {
    block.opcode = opcode;
    block.colour = colour;
    kernel(block, float_bits(center_x), float_bits(center_y), static_cast<std::uint32_t>(angle + 360));
  }

  // The host's default centre: W \ 2, H \ 2.
  void run_default_centre(Kernel kernel, int opcode, std::uint32_t colour, std::int32_t angle) {
    run(kernel, opcode, colour, static_cast<float>(w() / 2), static_cast<float>(h() / 2), angle);
  }
};

}  // namespace virelta::effects::rotate_test
