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
#include "settings/settings.h"
#include "effects/cls_asm_pic.h"

namespace virelta::saver {

// One tile of the saver: its slot's flags and size in the settings, its place
// on the screen, the surface it is drawn on (its size is the tile's) and the
// engine that turns it.
struct Tile {
  int slot = 0;
  Integer x = 0;  // left edge on the screen, pixels
  Integer y = 0;  // top edge
  std::unique_ptr<Surface> surface;
  std::unique_ptr<effects::clsASMpic> engine;

  bool drawn() const { return TileAction[slot] == 1; }
  bool random_size() const { return TileRandom[slot] == 1; }
  Rect place() const { return {x, y, surface->width(), surface->height()}; }
};

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
  Timer Timer1;

  std::array<Tile, 4> tiles;
  // The tiles' parts by the names the saver's documentation uses.
  Surface& Master(int i) { return *tiles[i].surface; }
  const Surface& Master(int i) const { return *tiles[i].surface; }
  std::unique_ptr<effects::clsASMpic>& TileEngine(int i) { return tiles[i].engine; }
  Integer& TileX(int i) { return tiles[i].x; }
  Integer TileX(int i) const { return tiles[i].x; }
  Integer& TileY(int i) { return tiles[i].y; }
  Integer TileY(int i) const { return tiles[i].y; }

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
  // The phases of a cycle after its steps (the timer event starts it).
  void step(int a);
  void move_tiles();
  void reset_to_desktop();

  // The tile's start size: random sides from 256 to 512 (width first), or
  // the settings' sides.
  void size_tile(Tile& tile);
  // Sets one side of the tile's surface, passed to its container in twips.
  void set_tile_side(Tile& tile, Single side_pixels, bool width);
  // The tile's place: Int((window side - tile side) x r), fresh r each. (It
  // cannot fail: sides are at most kMaxTileSide.)
  void draw_tile_place(Tile& tile);
  // The desktop pixels under the tile's place into its surface; parts of the
  // place beyond the screen picture are black.
  void fill_tile(Tile& tile);
  void bind_tile(Tile& tile);

  bool in_cycle_ = false;
};

}  // namespace virelta::saver
