// The engine's two test hosts: a picture box on a form of the in-memory
// platform bound to an engine, and a bare three-layer store for the kernels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "effects/cls_asm_pic.h"
#include "effects/cpu_features.h"
#include "platforms/memory/memory_form_layer.h"

namespace virelta::testing {

struct EngineHost {
  ScopedMemoryPlatform machine;
  Window form{"Form1"};
  Surface box{&form, "Picture1"};
  effects::clsASMpic engine;
  int w, h;

  // A w x h picture of one pixel value (0xXXRRGGBB), bound to the engine.
  EngineHost(int width, int height, std::uint32_t pixel = 0) : w(width), h(height) {
    form.move(0, 0, 400, 400);
    box.move(0, 0, w, h);
    box.image().fill(pixel);
    engine.PictureBox(box);
  }
  void rebind() { engine.PictureBox(box); }
  int draws() { return machine->refresh_count(box); }
  // What the box shows at column x and row y, both from 0 at the top left.
  std::uint32_t screen(int x, int y) { return box.image().at(x, y); }
  // The same with x from 1 at the left and y from 1 at the bottom, as the kernels count.
  std::uint32_t shown(int x, int y) { return box.image().at(x - 1, h - y); }
  std::vector<std::uint8_t> layer(int n) const {
    const auto& s = engine.pixel_store();
    return {s.layer(n), s.layer(n) + s.layer_bytes()};
  }
};

// The run-time error number a call raises, 0 for none.
template <typename Call>
int error_number(Call call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

struct Bgr {
  std::uint8_t blue = 0, green = 0, red = 0, unused = 0;
  bool operator==(const Bgr&) const = default;
};

// Pixels x from 1 at the left, y from 1 at the bottom; layer 2 by default.
struct Picture {
  effects::PixelStore store;
  effects::KernelBlock block;

  // All zero, or random bytes from a non-zero seed.
  Picture(int width, int height, std::uint32_t seed = 0) {
    store.recreate(width, height);
    block.width = width, block.height = height, block.store = store.data();
    if (seed != 0) randomise(seed);
  }
  Picture(const Picture& other) : Picture(other.block.width, other.block.height) {
    std::memcpy(store.data(), other.store.data(), bytes());
    block.amount = other.block.amount, block.colour = other.block.colour, block.opcode = other.block.opcode;
  }
  std::size_t bytes() const { return store.layer_bytes() * 3; }
  Bgr get(int x, int y, int layer = 2) const {
    Bgr p;
    std::memcpy(&p, store.layer(layer) + ((y - 1) * std::size_t(block.width) + (x - 1)) * 4, 4);
    return p;
  }
  void set(int x, int y, Bgr p, int layer = 2) { std::memcpy(&store.at(1, x, y, layer), &p, 4); }
  void fill(Bgr p, int layer = 2) {
    for (int y = 1; y <= block.height; ++y)
      for (int x = 1; x <= block.width; ++x) set(x, y, p, layer);
  }
  void randomise(std::uint32_t seed) {
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < bytes(); i += 4) {
      const std::uint32_t word = random();
      std::memcpy(store.data() + i, &word, 4);
    }
  }
  std::vector<std::uint8_t> all() const { return {store.data(), store.data() + bytes()}; }
  std::vector<std::uint8_t> layer(int n) const { return {store.layer(n), store.layer(n) + store.layer_bytes()}; }

  // Runs the table's first (plain) entry here and every other entry this processor runs on a copy as it
  // was: false, with a failure naming it, where one differs or the plain one wrote outside layer 2.
  bool run(effects::KernelTable table, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
    const Picture before(*this);
    Picture other(before);
    table.front().run(block, msg, wparam, lparam);
    if (layer(1) != before.layer(1) || layer(3) != before.layer(3)) {
      ADD_FAILURE() << table.front().name << " wrote outside layer 2";
      return false;
    }
    for (const auto& entry : table.subspan(1)) {
      if (!entry.runs_here()) continue;
      std::memcpy(other.store.data(), before.store.data(), bytes());
      entry.run(other.block, msg, wparam, lparam);
      if (std::memcmp(other.store.data(), store.data(), bytes()) == 0) continue;
      ADD_FAILURE() << entry.name << " differs from " << table.front().name;
      return false;
    }
    return true;
  }
};

}  // namespace virelta::testing
