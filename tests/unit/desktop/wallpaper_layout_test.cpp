// The wallpaper laid out as the desktop does, for the secure saver desktop
// whose screen shows only a plain colour.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "platforms/win32/wallpaper_layout.h"

using namespace virelta;

TEST(WallpaperLayout, EveryStyleOnOneAndTwoMonitors) {
  using W = WallpaperStyle;  // from the registry's WallpaperStyle and TileWallpaper
  for (auto [style, tile, want] : {std::tuple{0, 0, W::Center}, {0, 1, W::Tile}, {2, 0, W::Stretch}, {6, 0, W::Fit},
                                   {10, 0, W::Fill}, {22, 0, W::Span}, {99, 0, W::Center}})
    EXPECT_EQ(wallpaper_style_from_registry(style, tile), want) << style;
  constexpr std::uint32_t B = 0x102030, R = 0xFF0000, U = 0x0000FF;  // background, red, blue
  Image picture(4, 2, R);  // left half red, right half blue
  picture.fill_rect({2, 0, 2, 2}, U);
  using P = std::vector<std::array<std::uint32_t, 3>>;  // probes: x, y, colour
  const std::tuple<WallpaperStyle, int, int, std::vector<Rect>, P> cases[] = {
      {W::Center, 8, 4, {{0, 0, 8, 4}}, {{0, 0, B}, {2, 1, R}, {5, 2, U}, {6, 1, B}, {3, 3, B}}},
      {W::Tile, 10, 3, {{0, 0, 6, 3}, {6, 0, 4, 3}}, {{0, 2, R}, {4, 0, R}, {6, 0, R}, {9, 0, U}}},
      {W::Fit, 8, 8, {{0, 0, 8, 8}}, {{0, 0, B}, {0, 7, B}, {0, 3, R}, {7, 4, U}}},
      {W::Fill, 8, 8, {{0, 0, 8, 8}}, {{0, 0, R}, {0, 7, R}, {7, 0, U}, {7, 7, U}}},
      {W::Stretch, 8, 6, {{0, 0, 8, 6}}, {{0, 0, R}, {7, 5, U}}},
      {W::Span, 8, 2, {{0, 0, 4, 2}, {4, 0, 4, 2}}, {{0, 0, R}, {2, 1, R}, {5, 0, U}}}};
  for (const auto& [style, width, height, monitors, probes] : cases) {
    Image desktop(width, height, 0xFFFFFF);
    lay_out_wallpaper(desktop, monitors, picture, style, B);
    for (const auto& [x, y, colour] : probes) EXPECT_EQ(desktop.at(x, y), colour) << int(style) << " at " << x << "," << y;
  }
  Image desktop(4, 4, 0xFFFFFF);  // no wallpaper: the background colour
  lay_out_wallpaper(desktop, {{0, 0, 4, 4}}, Image(), WallpaperStyle::Fill, B);
  EXPECT_EQ(desktop.at(2, 2), B);
}
