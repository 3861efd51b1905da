// The saver window's set-up: the screen covered by the untouched desktop, the
// tiles sized, placed, filled and bound with the random draws in their order.
#include <algorithm>
#include <cmath>

#include "saver_fixture.h"

namespace virelta::saver::testing {
namespace {

using SetupTest = SaverTest;

TEST_F(SetupTest, WindowCoversTheScreenShowingTheUntouchedDesktop) {
  use_screen(1024, 768);
  Virelta_S& s = load();
  EXPECT_EQ(s.form.caption(), "Virelta_Main");
  EXPECT_EQ(s.form.border, BorderStyle::None);
  EXPECT_TRUE(s.form.key_preview);
  EXPECT_EQ(s.form.bounds(), (Rect{0, 0, 1024, 768}));
  EXPECT_EQ(s.Display.bounds(), (Rect{0, 0, 1024, 768}));
  EXPECT_EQ(s.Pic_Orgn.image().bounds(), (Rect{0, 0, 1024, 768}));
  EXPECT_TRUE(s.Display.image() == machine->desktop);
  EXPECT_TRUE(s.Pic_Orgn.image() == machine->desktop);
  EXPECT_EQ(machine->shown_windows, std::vector<Window*>{&s.form});
  // The tile surfaces and the desktop copy never show.
  EXPECT_FALSE(s.Frame1.visible());
  EXPECT_FALSE(s.Pic_Orgn.visible());
  EXPECT_EQ(s.Timer1.interval(), 1);
  EXPECT_TRUE(s.Timer1.enabled());
}

TEST_F(SetupTest, RandomSizesThenPlacesAreDrawnInOrder) {
  use_screen(1024, 768);
  // The same generator, seeded the same way, drawn in the documented order:
  // width and height of tile 0 to 3, then left and top of tile 0 to 3.
  RandomGenerator expected = program_random();
  expected.randomize_from_clock();
  int w[4], h[4];
  for (int i = 0; i < 4; ++i) {
    w[i] = static_cast<int>(std::floor(expected.rnd() * 257.0f + 256.0f));
    h[i] = static_cast<int>(std::floor(expected.rnd() * 257.0f + 256.0f));
  }
  int x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = static_cast<int>(std::floor(static_cast<float>(1024 - w[i]) * expected.rnd()));
    y[i] = static_cast<int>(std::floor(static_cast<float>(768 - h[i]) * expected.rnd()));
  }

  Virelta_S& s = load();
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.Master(i).width(), w[i]);
    EXPECT_EQ(s.Master(i).height(), h[i]);
    EXPECT_EQ(s.TileX(i), x[i]);
    EXPECT_EQ(s.TileY(i), y[i]);
    EXPECT_TRUE(w[i] >= 256 && w[i] <= 512 && h[i] >= 256 && h[i] <= 512);
    // Entirely on the screen.
    EXPECT_EQ(intersect(tile_rect(i), {0, 0, 1024, 768}), tile_rect(i));
  }
  // Sizes differ from tile to tile: the draws are fresh each time.
  EXPECT_FALSE(w[0] == w[1] && w[1] == w[2] && w[2] == w[3]);
}

TEST_F(SetupTest, EveryTileHoldsTheDesktopUnderItAndIsBoundActiveOrNot) {
  use_screen(1024, 768);
  TileAction = {1, 0, 7, -1};
  Virelta_S& s = load();
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const Rect r = tile_rect(i);
    EXPECT_TRUE(s.Master(i).image() == crop(machine->desktop, r));
    ASSERT_TRUE(s.TileEngine(i));
    EXPECT_EQ(s.TileEngine(i)->bound_box(), &s.Master(i));
    // The engine's base layer: the tile's top-left pixel is the first pixel
    // of its top row, which is stored last (rows run bottom-up).
    const effects::PixelStore& store = s.TileEngine(i)->pixel_store();
    const std::uint32_t top_left = desktop_pixel(r.left, r.top);
    EXPECT_EQ(store.layer(1)[(static_cast<std::size_t>(r.height - 1) * r.width) * 4 + 0], top_left & 0xFF);
    EXPECT_EQ(store.layer(1)[(static_cast<std::size_t>(r.height - 1) * r.width) * 4 + 2], (top_left >> 16) & 0xFF);
  }
}

TEST_F(SetupTest, FixedSizesPassThroughTheContainersTwips) {
  // 120 dots per inch: 12 twips to the pixel.
  machine->screen_info.twips_per_pixel_x = 12;
  machine->screen_info.twips_per_pixel_y = 12;
  fixed_tiles(40, 30, 57, 33, 1, 1, 160, 120);
  Virelta_S& s = load();
  EXPECT_EQ(s.Master(0).bounds(), (Rect{0, 0, 40, 30}));
  EXPECT_EQ(s.Master(1).bounds(), (Rect{0, 0, 57, 33}));
  EXPECT_EQ(s.Master(2).bounds(), (Rect{0, 0, 1, 1}));
  EXPECT_EQ(s.Master(3).bounds(), (Rect{0, 0, 160, 120}));
  EXPECT_EQ(s.Master(1).width_twips(), 684.0f);
  // A tile the size of the screen has only one place.
  EXPECT_EQ(tile_rect(3), (Rect{0, 0, 160, 120}));
}

TEST_F(SetupTest, TilesLargerThanTheScreenReachPastItsTopLeftWithBlackBeyond) {
  fixed_tiles(300, 100, 100, 200, 40, 40, 40, 40);
  Virelta_S& s = load();
  // Wider than the 160-pixel screen: a left edge between 160 - 300 and 0.
  EXPECT_GE(s.TileX(0), -140);
  EXPECT_LE(s.TileX(0), 0);
  EXPECT_GE(s.TileY(0), 0);
  EXPECT_LE(s.TileY(0), 20);
  EXPECT_GE(s.TileY(1), -80);
  EXPECT_LE(s.TileY(1), 0);
  for (int i : {0, 1}) {
    SCOPED_TRACE(i);
    const Rect r = tile_rect(i);
    const Image& tile = s.Master(i).image();
    for (int y = 0; y < r.height; ++y)
      for (int x = 0; x < r.width; ++x) {
        int sx = r.left + x, sy = r.top + y;
        bool on_screen = sx >= 0 && sx < 160 && sy >= 0 && sy < 120;
        ASSERT_EQ(tile.at(x, y), on_screen ? desktop_pixel(sx, sy) : 0u) << x << "," << y;
      }
  }
}

TEST_F(SetupTest, SidesFromTheSettingsFileThatCannotBeUsedAreDefined) {
  // Zero or negative: the surface refuses that side and keeps its first size
  // (1500 x 1380 twips, 100 x 92 pixels); above 2048: 2048.
  fixed_tiles(-5, 0, 40, -32768, 0, 30000, 32767, 2049);
  use_screen(64, 48);
  Virelta_S& s = load();
  EXPECT_EQ(s.Master(0).bounds(), (Rect{0, 0, 100, 92}));
  EXPECT_EQ(s.Master(1).bounds(), (Rect{0, 0, 40, 92}));
  EXPECT_EQ(s.Master(2).bounds(), (Rect{0, 0, 100, 2048}));
  EXPECT_EQ(s.Master(3).bounds(), (Rect{0, 0, 2048, 2048}));
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(s.TileEngine(i)->bound());
    const int room_x = 64 - s.Master(i).width(), room_y = 48 - s.Master(i).height();
    EXPECT_TRUE(s.TileX(i) >= std::min(room_x, 0) && s.TileX(i) <= std::max(room_x, 0)) << s.TileX(i);
    EXPECT_TRUE(s.TileY(i) >= std::min(room_y, 0) && s.TileY(i) <= std::max(room_y, 0)) << s.TileY(i);
  }
}

}  // namespace
}  // namespace virelta::saver::testing
