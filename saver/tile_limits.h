// Defined outcomes for hand-edited settings that the saver's 16-bit
// arithmetic and its memory could not otherwise carry: turn counts whose end
// angle leaves the 16-bit range, and tile sides that are not positive or too
// large to hold four times in memory.
#pragma once

#include <optional>

#include "runtime/runtime.h"

namespace virelta::saver {

// The cycle's end angle TurnCount x 360 is kept between these whole turns:
// then every step angle a, the mirrored angle 360 - a and the engine's own
// Angle + 360 stay inside -32768..32767.
inline constexpr int kMinEndAngle = -89 * 360;  // -32040
inline constexpr int kMaxEndAngle = 90 * 360;   // 32400

// TurnCount x 360, clamped to kMinEndAngle..kMaxEndAngle.
int cycle_end_angle(Integer turn_count);

// The angle tile `tile` is turned to at step angle `a`: tiles 0 and 2 take a,
// tiles 1 and 3 take 360 - a (they turn the other way).
Integer tile_angle(int tile, int a);

// Largest tile side: a tile keeps its surface and three engine layers, so
// four tiles of 2048 x 2048 already take 256 MB.
inline constexpr int kMaxTileSide = 2048;

// The side a tile surface takes for a side from the settings file: nothing
// when the surface rejects it (zero or negative: the side stays as it was),
// otherwise the side, at most kMaxTileSide.
std::optional<int> settings_tile_side(Integer side);

}  // namespace virelta::saver
