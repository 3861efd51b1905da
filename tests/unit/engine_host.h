// A picture box on a form of the in-memory platform, bound to an engine: the
// host every test of the engine's members shares.
#pragma once

#include <cstdint>
#include <vector>

#include "platforms/memory/memory_form_layer.h"
#include "effects/cls_asm_pic.h"

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
  // The same with x from 1 at the left and y from 1 at the bottom, as the
  // kernels count.
  std::uint32_t shown(int x, int y) { return box.image().at(x - 1, h - y); }
  std::vector<std::uint8_t> layer(int n) const {
    const auto& s = engine.pixel_store();
    return {s.layer(n), s.layer(n) + s.layer_bytes()};
  }
};

}  // namespace virelta::testing
