// The animation cycle: one timer event turns the tiles through TurnCount full
// turns, RotationSpeed degrees a step, then moves every tile to a new place
// and puts the untouched desktop back.
#include <optional>

#include "settings/settings.h"
#include "saver/tile_limits.h"
#include "saver/virelta_s.h"

namespace virelta::saver {

namespace {
struct CycleFlag {
  explicit CycleFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~CycleFlag() { flag_ = false; }
  bool& flag_;
};
}  // namespace

void Virelta_S::Timer1_Timer() {
  // A timer event that falls due inside a running cycle (its event pump)
  // never starts a second one.
  if (in_cycle_) return;
  CycleFlag running(in_cycle_);

  // The end angle is clamped so that no angle leaves 16 bits (see
  // tile_limits.h); the counter itself is wider than 16 bits, so a + s past
  // the end simply ends the loop.
  const int end_angle = cycle_end_angle(TurnCount);
  const int s = RotationSpeed;
  for (int a = 0; s >= 0 ? a <= end_angle : a >= end_angle; a += s) {
    // Unloaded by a handler that ran in the last step's waits: the cycle ends.
    if (!form.loaded()) return;
    step(a);
  }
  if (!form.loaded()) return;
  move_tiles();
  reset_to_desktop();
}

void Virelta_S::step(int a) {
  // Nothing here allocates: the surfaces and every tile's engine were made
  // at set-up, the engines' stores then or at the last re-binding.
  Platform& p = platform();
  // Nothing is drawn while the display is off; the cycle goes on where it
  // stopped once the display is back.
  p.wait_while_display_off();
  for (int i = 0; i < 4; ++i) tiles[i].engine->ASM_Rotate(tile_angle(i, a), AntiAliasOn, true, 0);
  Image& screen = Display.image();
  for (const Tile& t : tiles) {
    if (!t.drawn()) continue;
    const Image& tile = t.surface->image();
    screen.copy_from(tile, 0, 0, tile.width(), tile.height(), t.x, t.y);
  }
  // At most one step per displayed frame; only the tiles changed.
  p.wait_for_frame();
  for (const Tile& t : tiles) {
    if (!t.drawn()) continue;
    Rect changed = intersect(t.place(), screen.bounds());
    if (!changed.empty()) Display.refresh(changed);
  }
  if (on_frame) on_frame(a);
  p.do_events();
}

void Virelta_S::move_tiles() {
  // A fresh random sequence; the sizes stay as set at start-up.
  platform().random().randomize_from_clock();
  for (Tile& t : tiles) draw_tile_place(t);
}

void Virelta_S::reset_to_desktop() {
  // The untouched desktop again, the whole screen at once.
  Display.image().copy_from(Pic_Orgn.image(), 0, 0, Display.width(), Display.height(), 0, 0);
  platform().wait_for_frame();
  Display.refresh();
  if (on_frame) on_frame(std::nullopt);

  // Each tile takes the desktop pixels of its new place (always from
  // Pic_Orgn, so effects never pile up) and its engine starts from them.
  for (Tile& t : tiles) {
    fill_tile(t);
    t.surface->refresh();
    bind_tile(t);
  }
}

}  // namespace virelta::saver
