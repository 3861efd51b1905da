// The wallpaper laid out as the desktop lays it out, for the secure saver
// desktop where the screen itself shows only a plain colour.
#include <gtest/gtest.h>

#include "platforms/win32/wallpaper_layout.h"

using namespace virelta;

namespace {
constexpr std::uint32_t kBack = 0x00102030;
// A 4 x 2 picture: left half red, right half blue.
Image two_colour() {
  Image p(4, 2, 0x00FF0000);
  p.fill_rect({2, 0, 2, 2}, 0x000000FF);
  return p;
}
}  // namespace

TEST(WallpaperStyles, RegistryValues) {
  EXPECT_EQ(wallpaper_style_from_registry(0, 0), WallpaperStyle::Center);
  EXPECT_EQ(wallpaper_style_from_registry(0, 1), WallpaperStyle::Tile);
  EXPECT_EQ(wallpaper_style_from_registry(2, 0), WallpaperStyle::Stretch);
  EXPECT_EQ(wallpaper_style_from_registry(6, 0), WallpaperStyle::Fit);
  EXPECT_EQ(wallpaper_style_from_registry(10, 0), WallpaperStyle::Fill);
  EXPECT_EQ(wallpaper_style_from_registry(22, 0), WallpaperStyle::Span);
  EXPECT_EQ(wallpaper_style_from_registry(99, 0), WallpaperStyle::Center);
}

TEST(WallpaperLayout, CentreLeavesTheBackgroundAround) {
  Image desktop(8, 4);
  lay_out_wallpaper(desktop, {{0, 0, 8, 4}}, two_colour(), WallpaperStyle::Center, kBack);
  EXPECT_EQ(desktop.at(0, 0), kBack);
  EXPECT_EQ(desktop.at(2, 1), 0x00FF0000u);
  EXPECT_EQ(desktop.at(5, 2), 0x000000FFu);
  EXPECT_EQ(desktop.at(6, 1), kBack);
  EXPECT_EQ(desktop.at(3, 3), kBack);
}

TEST(WallpaperLayout, TileRepeatsFromEachMonitorsCorner) {
  Image desktop(10, 3);
  lay_out_wallpaper(desktop, {{0, 0, 6, 3}, {6, 0, 4, 3}}, two_colour(), WallpaperStyle::Tile, kBack);
  EXPECT_EQ(desktop.at(0, 2), 0x00FF0000u);  // second row of tiles
  EXPECT_EQ(desktop.at(4, 0), 0x00FF0000u);  // second tile across
  EXPECT_EQ(desktop.at(6, 0), 0x00FF0000u);  // the second monitor starts afresh
  EXPECT_EQ(desktop.at(9, 0), 0x000000FFu);
}

TEST(WallpaperLayout, FitKeepsTheShapeAndFillCoversTheMonitor) {
  Image fit(8, 8);
  lay_out_wallpaper(fit, {{0, 0, 8, 8}}, two_colour(), WallpaperStyle::Fit, kBack);
  EXPECT_EQ(fit.at(0, 0), kBack);   // bars above and below
  EXPECT_EQ(fit.at(0, 7), kBack);
  EXPECT_EQ(fit.at(0, 3), 0x00FF0000u);
  EXPECT_EQ(fit.at(7, 4), 0x000000FFu);
  Image fill(8, 8);
  lay_out_wallpaper(fill, {{0, 0, 8, 8}}, two_colour(), WallpaperStyle::Fill, kBack);
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(fill.at(0, y), 0x00FF0000u);  // covered, cut at the sides
    EXPECT_EQ(fill.at(7, y), 0x000000FFu);
  }
}

TEST(WallpaperLayout, StretchAndSpan) {
  Image stretch(8, 6);
  lay_out_wallpaper(stretch, {{0, 0, 8, 6}}, two_colour(), WallpaperStyle::Stretch, kBack);
  EXPECT_EQ(stretch.at(0, 0), 0x00FF0000u);
  EXPECT_EQ(stretch.at(7, 5), 0x000000FFu);
  // Span: one picture across both monitors, the left half on the left one.
  Image span(8, 2);
  lay_out_wallpaper(span, {{0, 0, 4, 2}, {4, 0, 4, 2}}, two_colour(), WallpaperStyle::Span, kBack);
  EXPECT_EQ(span.at(0, 0), 0x00FF0000u);
  EXPECT_EQ(span.at(2, 1), 0x00FF0000u);
  EXPECT_EQ(span.at(5, 0), 0x000000FFu);
  EXPECT_GT((span.at(3, 0) >> 16) & 0xFF, span.at(3, 0) & 0xFF);  // the seam blends, mostly red
  EXPECT_LT((span.at(4, 0) >> 16) & 0xFF, span.at(4, 0) & 0xFF);
}

TEST(WallpaperLayout, NoWallpaperShowsTheBackgroundColour) {
  Image desktop(4, 4, 0x00FFFFFF);
  lay_out_wallpaper(desktop, {{0, 0, 4, 4}}, Image(), WallpaperStyle::Fill, kBack);
  EXPECT_EQ(desktop.at(2, 2), kBack);
}
