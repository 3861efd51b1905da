// The animation cycle: its steps, the angle each tile is turned to, what is
// drawn where, the reset and the re-binding at the end.
#include "saver_fixture.h"

namespace virelta::saver::testing {
namespace {

class CycleTest : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    fixed_tiles(40, 30, 50, 40, 30, 30, 60, 20);
  }
};

TEST_F(CycleTest, DefaultCycleIs37StepsFrom0To360ThenTheReset) {
  load();
  run_cycle();
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
  // One displayed frame per step and one for the reset.
  EXPECT_EQ(machine->frame_waits, 38);
}

TEST_F(CycleTest, StepCountsFollowSpeedAndTurns) {
  struct Case {
    Integer speed, turns;
    std::vector<std::optional<int>> expected;
  };
  const Case cases[] = {
      {7, 1, steps_then_reset(0, 357, 7)},   // 52 steps, the last short of 360
      {20, 3, steps_then_reset(0, 1080, 20)},
      {10, 0, {0, std::nullopt}},            // zero turns: one step at 0
      {-5, 1, {std::nullopt}},               // negative speed: no step at all
      {-90, -1, {0, -90, -180, -270, -360, std::nullopt}},
      {400, 1, {0, std::nullopt}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "speed " << c.speed << ", turns " << c.turns);
    RotationSpeed = c.speed;
    TurnCount = c.turns;
    angles.clear();
    load();
    run_cycle();
    EXPECT_EQ(angles, c.expected);
  }
  EXPECT_EQ(steps_then_reset(0, 357, 7).size(), 53u);
}

TEST_F(CycleTest, SpeedZeroTurnsNothingUntilAKeyEndsIt) {
  fixed_tiles(40, 30, 6, 4, 30, 30, 60, 20);
  RotationSpeed = 0;
  Virelta_S& s = load();
  const Image tile1 = s.Master(1).image();
  on_frame = [&](std::optional<int>) {
    if (angles.size() == 50) machine->post([&] { s.form.on_key_down(32, 0); });
  };
  EXPECT_THROW(run_cycle(), ProgramEnded);
  EXPECT_EQ(angles, std::vector<std::optional<int>>(50, 0));
  EXPECT_EQ(machine->exit_code, 0);
  // Tile 1 is handed 360 every step: a full bilinear turn from its base.
  EXPECT_TRUE(s.Master(1).image() == full_turn_bilinear(tile1));
}

// Nearest neighbours on 4 x 4 tiles: a quarter turn is known pixel by pixel.
TEST_F(CycleTest, TilesZeroAndTwoTurnOneWayOneAndThreeTheOther) {
  fixed_tiles(4, 4, 4, 4, 4, 4, 4, 4);
  AntiAliasSetting = 2;
  AntiAliasOn = false;
  RotationSpeed = 90;
  Virelta_S& s = load();
  Image before[4], at90[4], at360[4], at270[4];
  for (int i = 0; i < 4; ++i) before[i] = s.Master(i).image();
  on_frame = [&](std::optional<int> angle) {
    for (int i = 0; i < 4; ++i) {
      // Angle 0 leaves tiles 0 and 2 as they were.
      if (angle == 0 && i % 2 == 0) {
        EXPECT_TRUE(s.Master(i).image() == before[i]) << i;
      }
      if (angle == 90) at90[i] = s.Master(i).image();
      if (angle == 270) at270[i] = s.Master(i).image();
      if (angle == 360) at360[i] = s.Master(i).image();
    }
  };
  run_cycle();
  // Tiles 0 and 2 are handed 90 at step 90, tiles 1 and 3 at step 270.
  for (int i = 0; i < 4; ++i) EXPECT_TRUE((i % 2 == 0 ? at90[i] : at270[i]) == quarter_turn_4x4(before[i])) << i;
  EXPECT_FALSE(at90[1] == at270[1]);
  // At 360 tiles 1 and 3 are handed 0 and keep the drawing of step 270;
  // tiles 0 and 2 make a full turn, which copies them.
  EXPECT_TRUE(at360[1] == at270[1]);
  EXPECT_TRUE(at360[0] == before[0]);
}

TEST_F(CycleTest, AntiAliasingOffTurnsWithNearestNeighbours) {
  fixed_tiles(6, 4, 50, 40, 30, 30, 60, 20);
  RotationSpeed = 360;
  Image before, at360[2];
  for (bool anti_alias : {false, true}) {
    AntiAliasSetting = anti_alias ? 1 : 2;
    AntiAliasOn = anti_alias;
    Virelta_S& s = load();
    before = s.Master(0).image();
    on_frame = [&](std::optional<int> angle) {
      if (angle == 360) at360[anti_alias] = s.Master(0).image();
    };
    run_cycle();
    EXPECT_TRUE(at360[anti_alias] == (anti_alias ? full_turn_bilinear(before) : before)) << anti_alias;
  }
  EXPECT_FALSE(at360[0] == at360[1]);
}

TEST_F(CycleTest, HigherTilesLieOnTopAndInactiveOnesAreNeverDrawn) {
  // Four tiles the size of the screen all lie at (0, 0).
  use_screen(64, 48);
  fixed_tiles(64, 48, 64, 48, 64, 48, 64, 48);
  RotationSpeed = 90;
  Virelta_S& s = load();
  bool checked = false;
  on_frame = [&](std::optional<int> angle) {
    if (angle != 90) return;
    checked = true;
    EXPECT_FALSE(s.Master(3).image() == s.Master(2).image());
    EXPECT_TRUE(s.Display.image() == s.Master(3).image());
  };
  run_cycle();
  ASSERT_TRUE(checked);

  TileAction[3] = 0;
  checked = false;
  on_frame = [&](std::optional<int> angle) {
    if (angle != 90) return;
    checked = true;
    EXPECT_TRUE(s.Display.image() == s.Master(2).image());
  };
  run_cycle();
  ASSERT_TRUE(checked);
}

TEST_F(CycleTest, InactiveTilesStillTurnAndMoveWhileTheScreenStaysTheDesktop) {
  fixed_tiles(4, 4, 4, 4, 4, 4, 4, 4);
  AntiAliasSetting = 2;
  AntiAliasOn = false;
  TileAction = {0, 0, 2, -1};
  RotationSpeed = 90;
  Virelta_S& s = load();
  Image before[4];
  for (int i = 0; i < 4; ++i) before[i] = s.Master(i).image();
  auto places = [&] { return std::array{tile_rect(0), tile_rect(1), tile_rect(2), tile_rect(3)}; };
  const auto places_before = places();
  int display_refreshes = 0;
  machine->on_refresh = [&](const Surface& surface, const Rect*) {
    if (&surface == &s.Display) ++display_refreshes;
  };
  bool checked = false;
  on_frame = [&](std::optional<int> angle) {
    EXPECT_TRUE(s.Display.image() == machine->desktop);
    if (angle != 90) return;
    checked = true;
    for (int i : {0, 2}) EXPECT_TRUE(s.Master(i).image() == quarter_turn_4x4(before[i])) << i;
  };
  program_random().set_fixed_clock_seed(98765.0);
  run_cycle();
  ASSERT_TRUE(checked);
  // Only the reset refreshed the screen.
  EXPECT_EQ(display_refreshes, 1);
  EXPECT_NE(places(), places_before);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(s.Master(i).image() == crop(machine->desktop, tile_rect(i))) << i;
}

TEST_F(CycleTest, StepsRefreshOnlyTheTilesAndTheResetTheWholeScreen) {
  // Tile 0 is wider than the screen: its refresh is cut to the screen.
  fixed_tiles(200, 30, 50, 40, 30, 30, 60, 20);
  TileAction = {1, 1, 0, 1};
  RotationSpeed = 180;
  Virelta_S& s = load();
  std::vector<std::optional<Rect>> refreshed;
  machine->on_refresh = [&](const Surface& surface, const Rect* area) {
    if (&surface != &s.Display) return;
    refreshed.push_back(area ? std::optional<Rect>(*area) : std::nullopt);
  };
  std::vector<std::optional<Rect>> expected;
  for (int step = 0; step < 3; ++step)
    for (int j : {0, 1, 3}) expected.push_back(intersect(tile_rect(j), {0, 0, 160, 120}));
  expected.push_back(std::nullopt);
  EXPECT_EQ((*expected.begin())->width, 160);
  run_cycle();
  EXPECT_EQ(refreshed, expected);
}

TEST_F(CycleTest, EachStepShowsTheTurnedTilesOverTheDesktop) {
  RotationSpeed = 120;
  TileAction = {1, 0, 1, 1};
  Virelta_S& s = load();
  int checked = 0;
  on_frame = [&](std::optional<int> angle) {
    if (angle != 120 && angle != 240) return;
    // The desktop with tiles 0, 2 and 3 pasted over it in that order.
    Image expected = machine->desktop;
    for (int j : {0, 2, 3}) {
      const Image& tile = s.Master(j).image();
      const Rect r = tile_rect(j);
      expected.copy_from(tile, 0, 0, r.width, r.height, r.left, r.top);
    }
    EXPECT_TRUE(s.Display.image() == expected) << *angle;
    ++checked;
  };
  run_cycle();
  EXPECT_EQ(checked, 2);
}

TEST_F(CycleTest, ResetShowsTheUntouchedDesktopAndTilesStartAfreshFromIt) {
  fixed_tiles(4, 4, 4, 4, 4, 4, 4, 4);
  AntiAliasSetting = 2;
  AntiAliasOn = false;
  RotationSpeed = 90;
  Virelta_S& s = load();
  // Scribble over the screen in the middle of the cycle: the next cycle's
  // tiles must still come from the untouched capture, never from Display.
  on_frame = [&](std::optional<int> angle) {
    if (angle == 180) s.Display.image().fill(0x00FF00FF);
  };
  program_random().set_fixed_clock_seed(4321.0);
  run_cycle();
  EXPECT_TRUE(s.Display.image() == machine->desktop);
  for (int j = 0; j < 4; ++j) {
    SCOPED_TRACE(j);
    const Image fresh = crop(machine->desktop, tile_rect(j));
    EXPECT_TRUE(s.Master(j).image() == fresh);
    // The engine's base layer is the new place's pixels.
    std::vector<std::uint8_t> rows(fresh.width() * fresh.height() * 4);
    fresh.read_bottom_up(rows.data(), fresh.width(), fresh.height());
    const effects::PixelStore& store = s.TileEngine(j)->pixel_store();
    ASSERT_EQ(store.layer_bytes(), rows.size());
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), store.layer(1)));
  }

  // The next cycle turns those pixels: effects never pile up.
  Image turned[2];
  const Image fresh0 = s.Master(0).image(), fresh1 = s.Master(1).image();
  on_frame = [&](std::optional<int> angle) {
    if (angle == 90) turned[0] = s.Master(0).image();
    if (angle == 270) turned[1] = s.Master(1).image();
  };
  run_cycle();
  EXPECT_TRUE(turned[0] == quarter_turn_4x4(fresh0));
  EXPECT_TRUE(turned[1] == quarter_turn_4x4(fresh1));
}

TEST_F(CycleTest, NoCycleStartsInsideARunningOne) {
  load();
  on_frame = [&](std::optional<int> angle) {
    // Timer events fall due while the cycle runs its event pump.
    if (angle == 50) machine->advance(5);
  };
  run_cycle();
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
  run_cycle();
  EXPECT_EQ(angles.size(), 2 * 38u);
}

TEST_F(CycleTest, TurnCountsBeyondThe16BitRangeStopAt90Turns) {
  struct Case {
    Integer speed, turns;
    std::vector<std::optional<int>> expected;
  };
  const Case cases[] = {
      // 100 turns would be 36000 degrees: the cycle ends at 90 turns.
      {3600, 100, steps_then_reset(0, 32400, 3600)},
      {32767, 32767, {0, std::nullopt}},
      // 91 turns and 20 degrees: the last step is 32400, and 32400 + 20 ends
      // the loop instead of leaving the 16-bit range.
      {20, 91, steps_then_reset(0, 32400, 20)},
      {-3600, -100, steps_then_reset(0, -32040, -3600)},
      {-32768, -91, {0, std::nullopt}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "speed " << c.speed << ", turns " << c.turns);
    RotationSpeed = c.speed;
    TurnCount = c.turns;
    angles.clear();
    load();
    run_cycle();
    EXPECT_EQ(angles, c.expected);
  }
}

TEST_F(CycleTest, The90TurnCycleHandsTheEngineItsExtremeAngles) {
  fixed_tiles(5, 3, 5, 3, 5, 3, 5, 3);  // odd sides: a full nearest turn copies every pixel
  AntiAliasSetting = 2;
  AntiAliasOn = false;
  RotationSpeed = 3240;
  TurnCount = 90;
  Virelta_S& s = load();
  const Image before0 = s.Master(0).image(), before1 = s.Master(1).image();
  Image last0, last1;
  on_frame = [&](std::optional<int> angle) {
    if (angle == 32400) last0 = s.Master(0).image(), last1 = s.Master(1).image();
  };
  run_cycle();
  EXPECT_TRUE(last0 == before0);
  EXPECT_TRUE(last1 == before1);
}

}  // namespace
}  // namespace virelta::saver::testing
