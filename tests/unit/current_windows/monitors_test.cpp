// The saver across all monitors and paused while the display is off; at every
// DPI the settings dialog's layout, centred on the primary monitor, and tiles' sizes.
#include <gtest/gtest.h>

#include "effects/cls_asm_pic.h"
#include "settings_dialog/virelta_p.h"
#include "unit/saver/saver_fixture.h"

namespace virelta::saver::testing {
namespace {

// A 160 x 120 primary monitor with one of that size to its left, 40 pixels
// higher: the virtual screen is 320 x 160 from (-160, -40).
class TwoMonitorsTest : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    use_screen(320, 160);
    machine->screen_info.left = -160;
    machine->screen_info.top = -40;
    machine->screen_info.primary = {0, 0, 160, 120};
    fixed_tiles(100, 80, 100, 80, 60, 50, 60, 50);
  }
};

TEST_F(TwoMonitorsTest, TheStageCoversBothMonitorsAndTilesTakeTheirPixelsAnywhere) {
  TurnCount = 0;  // one step a cycle: many places cheaply
  Virelta_S& s = load();
  EXPECT_EQ(s.form.bounds(), (Rect{-160, -40, 320, 160}));
  EXPECT_EQ(s.Display.image(), machine->desktop);  // captured from the virtual corner
  int on_left = 0, on_right = 0, low = 0;
  for (int cycle = 0; cycle < 30; ++cycle, run_cycle())
    for (int i = 0; i < 4; ++i) {
      const Rect r = tile_rect(i);
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right() <= 320 && r.bottom() <= 160);
      on_left += r.right() < 160, on_right += r.left >= 160, low += r.bottom() > 120;
      EXPECT_EQ(s.Master(i).image(), crop(machine->desktop, r)) << "cycle " << cycle << " tile " << i;
    }
  EXPECT_TRUE(on_left && on_right && low);
}

// Off at step 100: steps 0 to 100 before, nothing while off, then 110 onwards.
TEST_F(TwoMonitorsTest, WhileTheDisplayIsOffNoStepIsTakenLostOrRepeated) {
  Virelta_S& s = load();
  std::size_t frames_and_waits_while_off = 0;
  on_frame = [&](std::optional<int> angle) {
    if (angle != 100) return;
    machine->display_on = false;
    machine->post([&] { frames_and_waits_while_off = angles.size() * 100 + machine->frame_waits; machine->display_on = true; });
  };
  run_cycle();
  EXPECT_EQ(frames_and_waits_while_off, 1111u);
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
  machine->display_on = false;  // a key while it is off still ends the saver
  machine->post([&] { s.form.on_key_down(65, 0); });
  EXPECT_THROW(run_cycle(), ProgramEnded);
}

// Pixels from twips by hand, halves to even: client 6780 x 3660, Cmd_Set 3960,
// 3060, 1275 x 375, VS_Fast 1140, 540, 375 x 315; centred on the 2560 x 1440
// primary (another on its left): half the free width, a third of the free height.
struct Scale {
  double twips_per_pixel;
  int inch, twips_195;
  Rect client, set, fast;
  int left, top;
};

class DpiTest : public ::testing::TestWithParam<Scale> {};

INSTANTIATE_TEST_SUITE_P(Scales, DpiTest,
                         ::testing::Values(Scale{15, 96, 13, {0, 0, 452, 244}, {264, 204, 85, 25}, {76, 36, 25, 21}, 1054, 399},
                                           Scale{12, 120, 16, {0, 0, 565, 305}, {330, 255, 106, 31}, {95, 45, 31, 26}, 998, 378},
                                           Scale{10, 144, 20, {0, 0, 678, 366}, {396, 306, 128, 38}, {114, 54, 38, 32}, 941, 358},
                                           Scale{7.5, 192, 26, {0, 0, 904, 488}, {528, 408, 170, 50}, {152, 72, 50, 42}, 828, 317}),
                         [](const auto& info) { return std::to_string(info.param.inch) + "dpi"; });

TEST_P(DpiTest, TwipsTheSettingsDialogsLayoutAndTileSizes) {
  const Scale& s = GetParam();
  ScopedMemoryPlatform machine;
  machine->screen_info = {.width = 5120, .height = 1440, .twips_per_pixel_x = s.twips_per_pixel,
                         .twips_per_pixel_y = s.twips_per_pixel, .left = -2560, .primary = {0, 0, 2560, 1440}};
  machine->folder = "/nonexistent/virelta-current-windows";
  reset_settings();
  LoadSettings(machine->folder);
  EXPECT_EQ(pixels_from_twips_x(1440) * 1000 + pixels_from_twips_y(195), s.inch * 1000 + s.twips_195);
  settings_dialog::Virelta_P dialog;
  EXPECT_EQ((Rect{0, 0, dialog.width(), dialog.height()}), s.client);
  EXPECT_EQ(dialog.Cmd_Set->bounds(), s.set);
  EXPECT_EQ(dialog.VS_Fast->bounds(), s.fast);
  dialog.show();
  EXPECT_EQ(dialog.left() * 1000 + dialog.top(), s.left * 1000 + s.top);
  dialog.unload();
  reset_settings();
  Surface tile(nullptr, "Master");  // the engine reads twips over twips per pixel
  tile.move_twips(0, 0, 383 * s.twips_per_pixel, 256 * s.twips_per_pixel);
  effects::clsASMpic engine;
  engine.PictureBox(tile);
  EXPECT_EQ(engine.pixel_store().layer_bytes(), 383u * 256 * 4);
  EXPECT_EQ(engine.width() * 1000 + engine.height(), 383256);
}

}  // namespace
}  // namespace virelta::saver::testing
