// High DPI: the twips per pixel follow the monitor's DPI, so the settings
// dialog keeps its layout at every scale and the saver's tiles keep their
// pixel sizes through the container's twips.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "effects/cls_asm_pic.h"
#include "settings_dialog/virelta_p.h"

namespace virelta {
namespace {

struct Scale {
  int dpi;
  double twips_per_pixel;
};

class DpiTest : public ::testing::TestWithParam<Scale> {
 protected:
  void SetUp() override {
    machine->screen_info.twips_per_pixel_x = GetParam().twips_per_pixel;
    machine->screen_info.twips_per_pixel_y = GetParam().twips_per_pixel;
    machine->screen_info.width = 2560;
    machine->screen_info.height = 1440;
    machine->folder = "/nonexistent/virelta-current-windows";
    reset_settings();
    LoadSettings(machine->folder);
  }
  void TearDown() override { reset_settings(); }
  // Index of this scale in the tables below: 96, 120, 144, 192 dpi.
  int at() const {
    switch (GetParam().dpi) {
      case 96: return 0;
      case 120: return 1;
      case 144: return 2;
      default: return 3;
    }
  }
  ScopedMemoryPlatform machine;
};

INSTANTIATE_TEST_SUITE_P(Scales, DpiTest,
                         ::testing::Values(Scale{96, 15}, Scale{120, 12}, Scale{144, 10}, Scale{192, 7.5}),
                         [](const auto& info) { return std::to_string(info.param.dpi) + "dpi"; });

TEST_P(DpiTest, TwipConversionsRoundHalvesToEven) {
  // 1440 twips are an inch at every scale.
  const int inch[] = {96, 120, 144, 192};
  EXPECT_EQ(pixels_from_twips_x(1440), inch[at()]);
  EXPECT_EQ(pixels_from_twips_y(1440), inch[at()]);
  EXPECT_DOUBLE_EQ(twips_x(inch[at()]), 1440.0);
  EXPECT_DOUBLE_EQ(twips_y(2), 2 * GetParam().twips_per_pixel);
  // 195 twips: 13, 16.25, 19.5 (to even: 20), 26 pixels; 315: 21, 26.25,
  // 31.5 (to even: 32), 42.
  const int twips_195[] = {13, 16, 20, 26};
  const int twips_315[] = {21, 26, 32, 42};
  EXPECT_EQ(pixels_from_twips_x(195), twips_195[at()]);
  EXPECT_EQ(pixels_from_twips_y(315), twips_315[at()]);
  // A half pixel below even rounds down: 375 twips at 144 dpi are 37.5 -> 38,
  // 1275 are 127.5 -> 128, 4095 are 409.5 -> 410, 2655 are 265.5 -> 266.
  const int twips_4095[] = {273, 341, 410, 546};
  EXPECT_EQ(pixels_from_twips_x(4095), twips_4095[at()]);
}

TEST_P(DpiTest, SettingsDialogKeepsItsLayout) {
  settings_dialog::Virelta_P dialog;
  // Client area 6780 x 3660 twips.
  const Rect client[] = {{0, 0, 452, 244}, {0, 0, 565, 305}, {0, 0, 678, 366}, {0, 0, 904, 488}};
  EXPECT_EQ(dialog.width(), client[at()].width);
  EXPECT_EQ(dialog.height(), client[at()].height);
  // Pic_C(0) at 240, 240, 4095 x 2655 twips.
  const Rect tiles[] = {{16, 16, 273, 177}, {20, 20, 341, 221}, {24, 24, 410, 266}, {32, 32, 546, 354}};
  EXPECT_EQ(dialog.Pic_C[0]->bounds(), tiles[at()]);
  // Cmd_Set at 3960, 3060, 1275 x 375.
  const Rect set[] = {{264, 204, 85, 25}, {330, 255, 106, 31}, {396, 306, 128, 38}, {528, 408, 170, 50}};
  EXPECT_EQ(dialog.Cmd_Set->bounds(), set[at()]);
  // VS_Fast at 1140, 540, 375 x 315 inside Pic_C(1).
  const Rect fast[] = {{76, 36, 25, 21}, {95, 45, 31, 26}, {114, 54, 38, 32}, {152, 72, 50, 42}};
  EXPECT_EQ(dialog.VS_Fast->bounds(), fast[at()]);
  // The controls stay inside their panels and the panels inside the window.
  EXPECT_LE(dialog.Pic_C[1]->bounds().right(), dialog.width());
  EXPECT_LE(dialog.Cmd_Can->bounds().right(), dialog.width());
  EXPECT_LE(dialog.Cmd_Can->bounds().bottom(), dialog.height());
  EXPECT_LE(dialog.VS_Fast->bounds().right(), dialog.Pic_C[1]->width());
}

TEST_P(DpiTest, SettingsDialogCentresAtEveryScale) {
  settings_dialog::Virelta_P dialog;
  dialog.show();
  // Free width halved, a third of the free height, in twips, on 2560 x 1440;
  // at 120 dpi 11970 twips are 997.5 pixels, rounded to even.
  const int expected_left[] = {1054, 998, 941, 828};
  const int expected_top[] = {399, 378, 358, 317};
  EXPECT_EQ(dialog.left(), expected_left[at()]);
  EXPECT_EQ(dialog.top(), expected_top[at()]);
  dialog.unload();
}

TEST_P(DpiTest, EngineTakesATilesPixelSizeBackFromItsTwips) {
  // The saver sizes a tile through its container in twips; the engine reads
  // the size back as twips over twips per pixel. Both ends of the tile range
  // and an odd size in between survive the round trip.
  for (int side : {256, 257, 383, 512}) {
    Surface tile(nullptr, "Master");
    tile.move_twips(0, 0, side * GetParam().twips_per_pixel, (side - 1) * GetParam().twips_per_pixel);
    ASSERT_EQ(tile.width(), side);
    effects::clsASMpic engine;
    engine.PictureBox(tile);
    EXPECT_EQ(engine.width(), side);
    EXPECT_EQ(engine.height(), side - 1);
    EXPECT_EQ(engine.pixel_store().layer_bytes(), static_cast<std::size_t>(side) * (side - 1) * 4);
  }
}

}  // namespace
}  // namespace virelta
