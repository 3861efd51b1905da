// The animation cycle: its steps, the angle each tile is turned to, what is
// drawn where, the reset and the re-binding at the end; a step allocates nothing.
#include <atomic>
#include <cstdlib>
#include <new>

#include "saver_fixture.h"

// Every new in this program is counted (GCC takes the malloc behind it for a mismatch).
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<long> allocations{0};
}
void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace virelta::saver::testing {
namespace {

using AllocationTest = SaverTest;

TEST_F(AllocationTest, StepsAllocateNothing) {
  use_screen(640, 480);
  Virelta_S& s = load();
  long last = -1, steps = 0;
  s.on_frame = [&](std::optional<int> angle) {  // from one step's frame to the next
    if (angle && last >= 0 && ++steps) {
      EXPECT_EQ(allocations.load() - last, 0) << "step " << steps;
    }
    last = angle ? allocations.load() : -1;
  };
  run_cycle();
  run_cycle();
  EXPECT_EQ(steps, 2 * 36);
}

using CycleTest = SaverTest;

TEST_F(CycleTest, StepCountsFollowSpeedAndTurns) {
  fixed_tiles(40, 30, 50, 40, 30, 30, 60, 20);
  const struct { Integer speed, turns; std::vector<std::optional<int>> expected; } cases[] = {
      {10, 1, steps_then_reset(0, 360, 10)}, {7, 1, steps_then_reset(0, 357, 7)},  // the last short of 360
      {20, 3, steps_then_reset(0, 1080, 20)}, {10, 0, {0, std::nullopt}}, {-5, 1, {std::nullopt}},
      {-90, -1, {0, -90, -180, -270, -360, std::nullopt}}, {400, 1, {0, std::nullopt}},
      // Past 90 turns the angle would leave the 16-bit range: the cycle stops there.
      {3600, 100, steps_then_reset(0, 32400, 3600)}, {32767, 32767, {0, std::nullopt}},
      {20, 91, steps_then_reset(0, 32400, 20)}, {-3600, -100, steps_then_reset(0, -32040, -3600)},
      {-32768, -91, {0, std::nullopt}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "speed " << c.speed << ", turns " << c.turns);
    RotationSpeed = c.speed;
    TurnCount = c.turns;
    angles.clear();
    machine->frame_waits = 0;
    load();
    run_cycle();
    EXPECT_EQ(angles, c.expected);
    EXPECT_EQ(machine->frame_waits, static_cast<int>(c.expected.size()));  // one shown frame each
  }
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

// Nearest turns of 4 x 4 tiles, known pixel by pixel.
TEST_F(CycleTest, TilesZeroAndTwoTurnOneWayOneAndThreeTheOtherAndTheResetStartsAfresh) {
  fixed_tiles(4, 4, 4, 4, 4, 4, 4, 4);
  nearest();
  TileAction = {0, 1, 2, -1};  // inactive tiles turn all the same
  RotationSpeed = 90;
  Virelta_S& s = load();
  Image before[4], at90[4], at270[4], at360[4];
  for (int i = 0; i < 4; ++i) before[i] = s.Master(i).image();
  on_frame = [&](std::optional<int> angle) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(angle != 0 || i % 2 == 1 || s.Master(i).image() == before[i]) << i;
      Image* into = angle == 90 ? at90 : angle == 270 ? at270 : angle == 360 ? at360 : nullptr;
      if (into) into[i] = s.Master(i).image();
    }
    // Scribbled over mid-cycle, new tiles still come from the untouched capture; timer
    // events falling due inside the cycle's event pump start no cycle inside it.
    if (angle == 180) s.Display.image().fill(0x00FF00FF), machine->advance(5);
  };
  auto places = [&] { return std::array{tile_rect(0), tile_rect(1), tile_rect(2), tile_rect(3)}; };
  const auto places_before = places();
  program_random().set_fixed_clock_seed(4321.0);
  run_cycle();
  EXPECT_EQ(angles, steps_then_reset(0, 360, 90));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE((i % 2 == 0 ? at90[i] : at270[i]) == quarter_turn_4x4(before[i])) << i;
  EXPECT_FALSE(at90[1] == at270[1]);
  // At 360 tiles 1 and 3 are handed 0 and keep step 270's drawing; a full turn copies 0 and 2.
  EXPECT_TRUE(at360[1] == at270[1] && at360[0] == before[0]);
  EXPECT_NE(places(), places_before);
  EXPECT_TRUE(s.Display.image() == machine->desktop);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE((before[i] = s.Master(i).image()) == crop(machine->desktop, tile_rect(i))) << i;
  // The next cycle turns those pixels, so the engines hold the new places: effects never pile up.
  run_cycle();
  for (int i = 0; i < 4; ++i) EXPECT_TRUE((i % 2 == 0 ? at90[i] : at270[i]) == quarter_turn_4x4(before[i])) << i;
}

}  // namespace
}  // namespace virelta::saver::testing
