// Virelta_S, the full-screen saver window: the desktop captured once and
// shown as it was, four tiles of it turning in place step by step, and the
// input that ends it. Written once against the form layer.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "forms/form_layer.h"
#include "runtime/runtime.h"
#include "effects/cls_asm_pic.h"

namespace virelta::saver {

class Virelta_S {
 public:
  Virelta_S();
  ~Virelta_S();
  Virelta_S(const Virelta_S&) = delete;
  Virelta_S& operator=(const Virelta_S&) = delete;

  // Controls, in the order they lie on the window (later ones on top).
  Window form;
  Surface Pic_Orgn;  // the untouched desktop, never shown
  Surface Display;   // everything the user sees
  Surface Frame1;    // hidden container of the tile surfaces, measured in twips
  Surface& Master(int i) { return *master_[i]; }
  const Surface& Master(int i) const { return *master_[i]; }
  Timer Timer1;

  // Form-level state.
  std::array<std::unique_ptr<effects::clsASMpic>, 4> TileEngine;
  std::array<Integer, 4> TileX{};
  std::array<Integer, 4> TileY{};

  // Event handlers.
  void Form_Load();
  void Timer1_Timer();
  void Display_Click();
  void Form_KeyDown(int KeyCode, int Shift);
  void Form_Unload();

  // Called after each frame reaches the screen: a step's tiles (with the
  // step angle) or a cycle's reset to the desktop (no angle). For tests,
  // the render tool and benchmarks; it must not allocate on a step.
  std::function<void(std::optional<int> angle)> on_frame;

 private:
  void EndSaver();
  // The tile's place: Int((window side - tile side) x r), fresh r each. (It
  // cannot fail: sides are at most kMaxTileSide.)
  void draw_tile_place(int i);
  // The desktop pixels under the tile's place into its surface; parts of the
  // place beyond the screen picture are black.
  void fill_tile(int i);
  void bind_tile(int i);
  Rect tile_rect(int i) const;
  // Sets one side of Master(i), passed to its container in twips.
  void set_tile_side(int i, Single side_pixels, bool width);

  std::array<std::unique_ptr<Surface>, 4> master_;
  bool in_cycle_ = false;
};

}  // namespace virelta::saver
