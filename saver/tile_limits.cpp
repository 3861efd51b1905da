#include "saver/tile_limits.h"

#include <algorithm>

namespace virelta::saver {

int cycle_end_angle(Integer turn_count) {
  return std::clamp(static_cast<int>(turn_count) * 360, kMinEndAngle, kMaxEndAngle);
}

Integer tile_angle(int tile, int a) { return narrow_integer(tile % 2 == 0 ? a : 360 - a); }

std::optional<int> settings_tile_side(Integer side) {
  if (side <= 0) return std::nullopt;
  return std::min<int>(side, kMaxTileSide);
}

}  // namespace virelta::saver
