// High DPI: twips per pixel follow the monitor's DPI; the settings dialog keeps
// its layout, centred on the primary monitor, and the engine its tile sizes.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "effects/cls_asm_pic.h"
#include "settings_dialog/virelta_p.h"

namespace virelta {
namespace {

// Pixels worked out by hand from twips, halves rounded to even (19.5 -> 20,
// 997.5 -> 998). Dialog client 6780 x 3660 twips; Pic_C(0) 240, 240, 4095 x
// 2655; Cmd_Set 3960, 3060, 1275 x 375; VS_Fast 1140, 540, 375 x 315. Centred
// on the 2560 x 1440 primary (a second one on its left): half the free width,
// a third of the free height, in twips.
struct Scale {
  double twips_per_pixel;
  int inch, twips_195, twips_315;
  Rect client, tiles, set, fast;
  int left, top;
};

const Scale kScales[] = {
    {15, 96, 13, 21, {0, 0, 452, 244}, {16, 16, 273, 177}, {264, 204, 85, 25}, {76, 36, 25, 21}, 1054, 399},
    {12, 120, 16, 26, {0, 0, 565, 305}, {20, 20, 341, 221}, {330, 255, 106, 31}, {95, 45, 31, 26}, 998, 378},
    {10, 144, 20, 32, {0, 0, 678, 366}, {24, 24, 410, 266}, {396, 306, 128, 38}, {114, 54, 38, 32}, 941, 358},
    {7.5, 192, 26, 42, {0, 0, 904, 488}, {32, 32, 546, 354}, {528, 408, 170, 50}, {152, 72, 50, 42}, 828, 317},
};

class DpiTest : public ::testing::TestWithParam<Scale> {
 protected:
  void SetUp() override {
    machine->screen_info.twips_per_pixel_x = machine->screen_info.twips_per_pixel_y = GetParam().twips_per_pixel;
    machine->screen_info.left = -2560;
    machine->screen_info.width = 5120;
    machine->screen_info.primary = {0, 0, 2560, 1440};
    machine->screen_info.height = 1440;
    machine->folder = "/nonexistent/virelta-current-windows";
    reset_settings();
    LoadSettings(machine->folder);
  }
  void TearDown() override { reset_settings(); }
  ScopedMemoryPlatform machine;
};

INSTANTIATE_TEST_SUITE_P(Scales, DpiTest, ::testing::ValuesIn(kScales),
                         [](const auto& info) { return std::to_string(info.param.inch) + "dpi"; });

TEST_P(DpiTest, TwipsTheSettingsDialogsLayoutAndTileSizes) {
  const Scale& s = GetParam();
  EXPECT_EQ(pixels_from_twips_x(1440), s.inch);
  EXPECT_EQ(pixels_from_twips_y(1440), s.inch);
  EXPECT_DOUBLE_EQ(twips_x(s.inch), 1440.0);
  EXPECT_DOUBLE_EQ(twips_y(2), 2 * s.twips_per_pixel);
  EXPECT_EQ(pixels_from_twips_x(195), s.twips_195);
  EXPECT_EQ(pixels_from_twips_y(315), s.twips_315);
  settings_dialog::Virelta_P dialog;
  EXPECT_EQ((Rect{0, 0, dialog.width(), dialog.height()}), s.client);
  EXPECT_EQ(dialog.Pic_C[0]->bounds(), s.tiles);
  EXPECT_EQ(dialog.Cmd_Set->bounds(), s.set);
  EXPECT_EQ(dialog.VS_Fast->bounds(), s.fast);
  EXPECT_LE(dialog.Pic_C[1]->bounds().right(), dialog.width());
  EXPECT_LE(dialog.Cmd_Can->bounds().bottom(), dialog.height());
  dialog.show();
  EXPECT_EQ(dialog.left(), s.left);
  EXPECT_EQ(dialog.top(), s.top);
  dialog.unload();
  // The engine reads a tile's size back as twips over twips per pixel.
  for (int side : {256, 257, 383, 512}) {
    Surface tile(nullptr, "Master");
    tile.move_twips(0, 0, side * s.twips_per_pixel, (side - 1) * s.twips_per_pixel);
    effects::clsASMpic engine;
    engine.PictureBox(tile);
    EXPECT_EQ(engine.width(), side);
    EXPECT_EQ(engine.height(), side - 1);
    EXPECT_EQ(engine.pixel_store().layer_bytes(), static_cast<std::size_t>(side) * (side - 1) * 4);
  }
}

}  // namespace
}  // namespace virelta
