// The saver window on the in-memory platform: a desktop whose every pixel
// tells where it came from, the settings set in code, a fixed clock seed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "forms/form_layer.h"
#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "saver/saver_entry.h"
#include "saver/virelta_s.h"

namespace virelta::saver::testing {

// Red and green give the column, blue the row, so a tile's pixels show from
// which place of the desktop they were taken.
inline std::uint32_t desktop_pixel(int x, int y) {
  return (static_cast<std::uint32_t>(x & 0xFF) << 16) | (static_cast<std::uint32_t>((x >> 8) & 0xFF) << 8) |
         static_cast<std::uint32_t>((y * 3 + 1) & 0xFF);
}

inline Image pattern_desktop(int width, int height) {
  Image im(width, height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) im.at(x, y) = desktop_pixel(x, y);
  return im;
}

inline Image crop(const Image& from, const Rect& r) {
  Image out(r.width, r.height, 0);
  out.copy_from(from, r.left, r.top, r.width, r.height, 0, 0);
  return out;
}

// The engine's documented examples, which the saver's tiles must follow:
// a quarter turn of a 4 x 4 picture with nearest neighbours takes the pixel
// at column c, row r (from the top left) from column r - 1, row 3 - c and
// fills the top row; a full turn with nearest neighbours copies the picture;
// one with bilinear sampling keeps an even-sized picture's inside and fills
// its outermost ring. The saver's fill is black.
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
    reset_settings();
    TileAction = {1, 1, 1, 1};
    TileRandom = {1, 1, 1, 1};
    TileWidth = {256, 256, 256, 256};
    TileHeight = {256, 256, 256, 256};
    RotationSpeed = 10;
    TurnCount = 1;
    AntiAliasSetting = 1;
    AntiAliasOn = true;
    program_random().set_fixed_clock_seed(1234.0);
    machine->on_message = [](const RecordedMessage& m) { ADD_FAILURE() << "message box: " << m.text; };
  }
  void TearDown() override {
    saver.reset();
    release_windows();
    program_random().set_fixed_clock_seed(std::nullopt);
    reset_settings();
  }

  void use_screen(int width, int height) {
    machine->screen_info.width = width;
    machine->screen_info.height = height;
    machine->desktop = pattern_desktop(width, height);
  }

  // Small fixed tiles: cycles then cost little.
  void fixed_tiles(int w0, int h0, int w1, int h1, int w2, int h2, int w3, int h3) {
    TileRandom = {0, 0, 0, 0};
    TileWidth = {Integer(w0), Integer(w1), Integer(w2), Integer(w3)};
    TileHeight = {Integer(h0), Integer(h1), Integer(h2), Integer(h3)};
  }

  Virelta_S& load() {
    saver = std::make_unique<Virelta_S>();
    saver->form.load();
    saver->on_frame = [this](std::optional<int> angle) {
      angles.push_back(angle);
      if (on_frame) on_frame(angle);
    };
    return *saver;
  }

  // One timer event: one whole cycle (unless input ends the program).
  void run_cycle() { machine->advance(1); }

  Rect tile_rect(int i) const {
    return {saver->TileX(i), saver->TileY(i), saver->Master(i).width(), saver->Master(i).height()};
  }

  ScopedMemoryPlatform machine;
  std::unique_ptr<Virelta_S> saver;
  // Every frame so far: the step angle, or nothing for a reset.
  std::vector<std::optional<int>> angles;
  std::function<void(std::optional<int>)> on_frame;
};

inline std::vector<std::optional<int>> steps_then_reset(int from, int to, int by) {
  std::vector<std::optional<int>> out;
  for (int a = from; by > 0 ? a <= to : a >= to; a += by) out.push_back(a);
  out.push_back(std::nullopt);
  return out;
}

}  // namespace virelta::saver::testing
