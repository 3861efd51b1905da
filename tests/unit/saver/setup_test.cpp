// The saver window's set-up: the screen covered by the untouched desktop, the
// tiles sized, placed, filled and bound with the random draws in their order.
#include "saver_fixture.h"

namespace virelta::saver::testing {
namespace {

using SetupTest = SaverTest;

TEST_F(SetupTest, TilesAreDrawnFreshOnTheScreenHoldingTheDesktopUnderThem) {
  use_screen(1024, 768);
  Virelta_S& s = load();
  EXPECT_TRUE(s.form.key_preview && s.Pic_Orgn.image() == machine->desktop && !s.Frame1.visible());
  for (int i = 0; i < 4; ++i) {
    const Rect r = tile_rect(i);
    EXPECT_TRUE(r.width >= 256 && r.width <= 512 && r.height >= 256 && r.height <= 512) << i;
    EXPECT_EQ(intersect(r, {0, 0, 1024, 768}), r);
    EXPECT_TRUE(s.Master(i).image() == crop(machine->desktop, r)) << i;
    EXPECT_EQ(s.TileEngine(i)->bound_box(), &s.Master(i));
  }
  EXPECT_FALSE(tile_rect(0) == tile_rect(1) || tile_rect(1) == tile_rect(2) || tile_rect(2) == tile_rect(3));
}

TEST_F(SetupTest, SidesFromTheSettingsFileThatCannotBeUsedAreDefined) {
  // At 120 dots per inch; zero or negative: the surface keeps its first 1500 x 1380 twips; above 2048: 2048.
  machine->screen_info.twips_per_pixel_x = machine->screen_info.twips_per_pixel_y = 12;
  fixed_tiles(-5, 0, 1, -32768, 0, 30000, 32767, 2049);  // 1 is a usable side
  TileAction = {1, 0, 7, -1};  // inactive tiles are bound all the same
  use_screen(64, 48);
  Virelta_S& s = load();
  const Rect sizes[] = {{0, 0, 125, 115}, {0, 0, 1, 115}, {0, 0, 125, 2048}, {0, 0, 2048, 2048}};
  EXPECT_EQ(s.Master(1).width_twips(), 12.0f);
  RotationSpeed = 360;  // a short cycle
  on_frame = [&](std::optional<int> a) {  // while turning, tile 0 (the one drawn) covers the screen from its place
    for (int i = 0; a && i < 64 * 48; ++i)
      ASSERT_EQ(s.Display.image().at(i % 64, i / 64), s.Master(0).image().at(i % 64 - s.TileX(0), i / 64 - s.TileY(0))) << i;
  };
  for (double clock : {0.0, 99.0}) {  // the places at set-up, then those a cycle draws from another clock
    if (clock) program_random().set_fixed_clock_seed(clock), run_cycle();
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(s.Master(i).bounds() == sizes[i] && s.TileEngine(i)->bound()) << i;
      // Larger than the screen: a place reaching past its top left, black beyond it.
      const Rect r = tile_rect(i);
      EXPECT_TRUE(r.left >= std::min(64 - r.width, 0) && r.left <= std::max(64 - r.width, 0)) << r.left;
      EXPECT_TRUE(r.top >= std::min(48 - r.height, 0) && r.top <= std::max(48 - r.height, 0)) << r.top;
      for (int y = 0; y < std::min(r.height, 200); ++y)
        for (int x = 0; x < std::min(r.width, 200); ++x) {
          const int sx = r.left + x, sy = r.top + y;
          const bool on_screen = sx >= 0 && sx < 64 && sy >= 0 && sy < 48;
          ASSERT_EQ(s.Master(i).image().at(x, y), on_screen ? desktop_pixel(sx, sy) : 0u) << i << ": " << x << "," << y;
        }
    }
  }
}

}  // namespace
}  // namespace virelta::saver::testing
