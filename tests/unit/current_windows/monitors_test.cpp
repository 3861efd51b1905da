// All monitors: the saver covers the virtual screen, whose corner may lie
// left of and above the primary monitor, and the settings dialog stays
// centred on the primary monitor.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings.h"
#include "settings_dialog/virelta_p.h"
#include "unit/saver/saver_fixture.h"

namespace virelta::saver::testing {
namespace {

// A 160 x 120 primary monitor with a second one of the same size to its
// left, 40 pixels higher: the virtual screen is 320 x 160 from (-160, -40).
class TwoMonitorsTest : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    use_screen(320, 160);
    machine->screen_info.left = -160;
    machine->screen_info.top = -40;
    machine->screen_info.primary = {0, 0, 160, 120};
  }
};

TEST_F(TwoMonitorsTest, TheStageCoversBothMonitorsFromTheVirtualCorner) {
  fixed_tiles(100, 80, 100, 80, 60, 50, 60, 50);
  Virelta_S& s = load();
  EXPECT_EQ(s.form.bounds(), (Rect{-160, -40, 320, 160}));
  EXPECT_EQ(s.Display.bounds(), (Rect{0, 0, 320, 160}));
  // The capture starts at the virtual corner: the left monitor's pixels
  // are at the picture's left edge.
  EXPECT_EQ(s.Pic_Orgn.image(), machine->desktop);
  EXPECT_EQ(s.Display.image(), machine->desktop);
}

TEST_F(TwoMonitorsTest, TilePlacesSpreadOverTheVirtualScreenAndTakeItsPixels) {
  fixed_tiles(100, 80, 100, 80, 60, 50, 60, 50);
  TurnCount = 0;  // one step a cycle: many places cheaply
  Virelta_S& s = load();
  bool on_left_monitor = false, on_right_monitor = false, low = false;
  for (int cycle = 0; cycle < 30; ++cycle) {
    for (int i = 0; i < 4; ++i) {
      const Rect place = tile_rect(i);
      // Int((320 - side) x r) and Int((160 - side) x r), r in [0, 1).
      EXPECT_GE(place.left, 0);
      EXPECT_GE(place.top, 0);
      EXPECT_LE(place.right(), 320);
      EXPECT_LE(place.bottom(), 160);
      on_left_monitor |= place.left < 160 - place.width;
      on_right_monitor |= place.left >= 160;
      low |= place.bottom() > 120;
      EXPECT_EQ(s.Master(i).image(), crop(machine->desktop, place)) << "cycle " << cycle << " tile " << i;
    }
    run_cycle();
  }
  EXPECT_TRUE(on_left_monitor);
  EXPECT_TRUE(on_right_monitor);
  EXPECT_TRUE(low);
}

TEST(SettingsDialogOnTwoMonitors, CentredOnThePrimaryMonitor) {
  ScopedMemoryPlatform machine;
  // A 1920 x 1080 primary with a second monitor of that size to its left.
  machine->screen_info.left = -1920;
  machine->screen_info.width = 3840;
  machine->screen_info.height = 1080;
  machine->screen_info.primary = {0, 0, 1920, 1080};
  machine->folder = "/nonexistent/virelta-current-windows";
  reset_settings();
  LoadSettings(machine->folder);
  settings_dialog::Virelta_P dialog;
  dialog.show();
  EXPECT_EQ(dialog.left(), (1920 - 452) / 2);
  // (16200 - 3660) \ 3 = 4180 twips, 278.67 pixels.
  EXPECT_EQ(dialog.top(), 279);
  dialog.unload();
  reset_settings();
}

TEST(PrimaryMonitor, WithoutOneTheWholeScreenCounts) {
  ScreenInfo screen;
  screen.left = -8;
  screen.top = 4;
  screen.width = 800;
  screen.height = 600;
  EXPECT_EQ(primary_monitor(screen), (Rect{-8, 4, 800, 600}));
  screen.primary = {0, 0, 640, 480};
  EXPECT_EQ(primary_monitor(screen), (Rect{0, 0, 640, 480}));
}

}  // namespace
}  // namespace virelta::saver::testing
