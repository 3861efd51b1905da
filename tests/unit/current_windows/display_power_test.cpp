// Power: while the display is off the saver takes no steps; it goes on where
// it stopped when the display comes back, and input still ends it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "unit/saver/saver_fixture.h"

namespace virelta::saver::testing {
namespace {

class DisplayPowerTest : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    fixed_tiles(40, 30, 40, 30, 40, 30, 40, 30);
  }
  // The display comes back on in the next pump; remembers what had been
  // drawn by then.
  void display_on_later() {
    machine->post([this] {
      frames_while_off = angles.size();
      frame_waits_while_off = machine->frame_waits;
      machine->display_on = true;
    });
  }
  std::size_t frames_while_off = 0;
  int frame_waits_while_off = 0;
};

TEST_F(DisplayPowerTest, NoStepWhileTheDisplayIsOffThenTheWholeCycle) {
  load();
  machine->display_on = false;
  display_on_later();
  run_cycle();
  EXPECT_EQ(frames_while_off, 0u);
  EXPECT_EQ(frame_waits_while_off, 0);
  EXPECT_EQ(machine->display_off_pumps, 1);
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
}

TEST_F(DisplayPowerTest, OffInTheMiddleOfACycleGoesOnWhereItStopped) {
  Virelta_S& s = load();
  Image screen_when_off;
  on_frame = [&](std::optional<int> angle) {
    if (angle != 100) return;
    machine->display_on = false;
    screen_when_off = s.Display.image();
    display_on_later();
  };
  run_cycle();
  // Steps 0, 10, ..., 100 before the display went off, nothing while off,
  // then 110 onwards: no step is lost or repeated.
  EXPECT_EQ(frames_while_off, 11u);
  EXPECT_EQ(frame_waits_while_off, 11);
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
}

TEST_F(DisplayPowerTest, AKeyWhileTheDisplayIsOffStillEndsTheSaver) {
  Virelta_S& s = load();
  machine->display_on = false;
  machine->post([&] { s.form.on_key_down(65, 0); });
  EXPECT_THROW(run_cycle(), ProgramEnded);
  EXPECT_TRUE(angles.empty());
  EXPECT_FALSE(s.form.loaded());
}

}  // namespace
}  // namespace virelta::saver::testing
