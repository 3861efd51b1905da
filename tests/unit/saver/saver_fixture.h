// The saver window on the in-memory platform: a desktop whose every pixel
// tells where it came from, the default settings, a fixed clock seed.
#pragma once

#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "saver/saver_entry.h"
#include "saver/virelta_s.h"
#include "settings/settings.h"

namespace virelta::saver::testing {

inline std::uint32_t desktop_pixel(int x, int y) {  // red and green: the column, blue: the row
  return (std::uint32_t(x & 0xFF) << 16) | (std::uint32_t((x >> 8) & 0xFF) << 8) | std::uint32_t((y * 3 + 1) & 0xFF);
}

inline Image crop(const Image& from, const Rect& r) {
  Image out(r.width, r.height, 0);
  out.copy_from(from, r.left, r.top, r.width, r.height, 0, 0);
  return out;
}

// Documented examples: a nearest quarter turn of a 4 x 4 picture takes (c, r)
// from (r - 1, 3 - c) and fills the top row; a full bilinear turn keeps an
// even-sized picture's inside and fills its outer ring. The fill is black.
inline Image quarter_turn_4x4(const Image& im) {
  Image out(4, 4, 0);
  for (int r = 1; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out.at(c, r) = im.at(r - 1, 3 - c);
  return out;
}
inline Image full_turn_bilinear(const Image& im) {
  Image out(im.width(), im.height(), 0);
  for (int y = 1; y + 1 < im.height(); ++y)
    for (int x = 1; x + 1 < im.width(); ++x) out.at(x, y) = im.at(x, y);
  return out;
}

class SaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    use_screen(160, 120);
    TileAction = TileRandom = {1, 1, 1, 1};
    TileWidth = TileHeight = {256, 256, 256, 256};
    RotationSpeed = 10, TurnCount = AntiAliasSetting = 1, AntiAliasOn = true;
    program_random().set_fixed_clock_seed(1234.0);
    machine->on_message = [](const RecordedMessage& m) { ADD_FAILURE() << "message box: " << m.text; };
  }
  void TearDown() override {
    saver.reset();
    release_windows();
    program_random().set_fixed_clock_seed(std::nullopt);
  }
  void use_screen(int width, int height) {
    machine->screen_info.width = width, machine->screen_info.height = height;
    machine->desktop = Image(width, height, 0);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) machine->desktop.at(x, y) = desktop_pixel(x, y);
  }
  void fixed_tiles(Integer w0, Integer h0, Integer w1, Integer h1, Integer w2, Integer h2, Integer w3, Integer h3) {
    TileRandom = {0, 0, 0, 0};
    TileWidth = {w0, w1, w2, w3}, TileHeight = {h0, h1, h2, h3};
  }
  void nearest() { AntiAliasSetting = 2, AntiAliasOn = false; }
  Virelta_S& load() {
    saver = std::make_unique<Virelta_S>();
    saver->form.load();
    return watch(*saver);
  }
  Virelta_S& watch(Virelta_S& s) {
    s.on_frame = [this](std::optional<int> angle) {
      angles.push_back(angle);
      if (on_frame) on_frame(angle);
    };
    return s;
  }
  void run_cycle() { machine->advance(1); }  // one timer event: one whole cycle
  Rect tile_rect(int i) const {
    return {saver->TileX(i), saver->TileY(i), saver->Master(i).width(), saver->Master(i).height()};
  }

  ScopedMemoryPlatform machine;
  std::unique_ptr<Virelta_S> saver;
  std::vector<std::optional<int>> angles;  // every frame: the step angle, nothing for a reset
  std::function<void(std::optional<int>)> on_frame;
};

inline std::vector<std::optional<int>> steps_then_reset(int from, int to, int by) {
  std::vector<std::optional<int>> out;
  for (int a = from; by > 0 ? a <= to : a >= to; a += by) out.push_back(a);
  out.push_back(std::nullopt);
  return out;
}

}  // namespace virelta::saver::testing
