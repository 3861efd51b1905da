// Lays the user's wallpaper out the way the desktop does, over the desktop's
// background colour: the picture the saver's tiles are cut from when the
// screen itself cannot be copied (the secure saver desktop shows no windows
// and no wallpaper, only a plain colour).
#pragma once

#include <vector>

#include "forms/image.h"

namespace virelta {

// The desktop's wallpaper styles (the registry's WallpaperStyle together
// with TileWallpaper).
enum class WallpaperStyle { Center, Tile, Stretch, Fit, Fill, Span };

// WallpaperStyle and TileWallpaper values as the desktop stores them
// ("0"/"1", "0", "2", "6", "10", "22"); unknown values are centred.
WallpaperStyle wallpaper_style_from_registry(int style, int tile);

// Paints the wallpaper over `desktop` (filled with `background_pixel` first).
// `monitors` are the monitors' rectangles in the desktop picture's own
// coordinates; every style but Span lays the picture out on each monitor,
// Span once across their bounding rectangle.
void lay_out_wallpaper(Image& desktop, const std::vector<Rect>& monitors, const Image& wallpaper,
                       WallpaperStyle style, std::uint32_t background_pixel);

// Bilinear resampling of a whole picture onto `target` within `to`, clipped.
void draw_scaled(Image& target, const Image& picture, const Rect& to);

}  // namespace virelta
