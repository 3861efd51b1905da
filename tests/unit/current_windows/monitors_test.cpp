// The saver on today's Windows: across all monitors from the virtual screen's
// corner, pausing while the display is off.
#include <gtest/gtest.h>

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
  EXPECT_EQ(s.Display.bounds(), (Rect{0, 0, 320, 160}));
  EXPECT_EQ(s.Display.image(), machine->desktop);  // captured from the virtual corner
  bool on_left = false, on_right = false, low = false;
  for (int cycle = 0; cycle < 30; ++cycle, run_cycle())
    for (int i = 0; i < 4; ++i) {
      const Rect place = tile_rect(i);
      EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right() <= 320 && place.bottom() <= 160);
      on_left |= place.left < 160 - place.width;
      on_right |= place.left >= 160;
      low |= place.bottom() > 120;
      EXPECT_EQ(s.Master(i).image(), crop(machine->desktop, place)) << "cycle " << cycle << " tile " << i;
    }
  EXPECT_TRUE(on_left && on_right && low);
  ScreenInfo plain;  // without a primary monitor the whole screen counts
  plain.left = -8;
  plain.width = 800;
  plain.height = 600;
  EXPECT_EQ(primary_monitor(plain), (Rect{-8, 0, 800, 600}));
}

// Off at step 100: steps 0 to 100 before, nothing while off, then 110 onwards.
TEST_F(TwoMonitorsTest, WhileTheDisplayIsOffNoStepIsTakenLostOrRepeated) {
  Virelta_S& s = load();
  std::size_t frames_while_off = 0;
  int waits_while_off = 0;
  on_frame = [&](std::optional<int> angle) {
    if (angle != 100) return;
    machine->display_on = false;
    machine->post([&] {
      frames_while_off = angles.size();
      waits_while_off = machine->frame_waits;
      machine->display_on = true;
    });
  };
  run_cycle();
  EXPECT_EQ(frames_while_off, 11u);
  EXPECT_EQ(waits_while_off, 11);
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
  // A key while the display is off still ends the saver.
  machine->display_on = false;
  machine->post([&] { s.form.on_key_down(65, 0); });
  EXPECT_THROW(run_cycle(), ProgramEnded);
  EXPECT_FALSE(s.form.loaded());
}

}  // namespace
}  // namespace virelta::saver::testing
