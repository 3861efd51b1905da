// ASM_ColorXEffects as a caller sees it on a bound picture box: the colour
// used as given, the generator reseeded on every call, one kernel call per
// dot with the overflow check, absent centres, the redraw.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "runtime/runtime.h"
#include "effects/cls_asm_pic.h"
#include "unit/engine_host.h"

using namespace virelta;

namespace {

struct Fixture : virelta::testing::EngineHost {
  using EngineHost::EngineHost;
  std::set<std::pair<int, int>> shown_with(std::uint32_t pixel) {
    std::set<std::pair<int, int>> out;
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x)
        if (shown(x, y) == pixel) out.insert({x, y});
    return out;
  }
};

// Makes the generator's clock seed fixed for one test.
struct FixedClock {
  explicit FixedClock(double seed) { program_random().set_fixed_clock_seed(seed); }
  ~FixedClock() { program_random().set_fixed_clock_seed(std::nullopt); }
};

constexpr std::uint32_t kGrey = 0x00646464;

}  // namespace

TEST(ColorXEffectsHost, RowLinesAreDrawnAndTheUndoCopyKept) {
  Fixture f(3, 5, kGrey);
  const int before = f.draws();
  f.engine.ASM_ColorXEffects(1, 0x302010, 2);
  EXPECT_EQ(f.draws(), before + 1);
  std::set<std::pair<int, int>> expected;
  for (int y : {5, 3, 1})
    for (int x = 1; x <= 3; ++x) expected.insert({x, y});
  EXPECT_EQ(f.shown_with(0x00102030), expected);
  EXPECT_EQ(f.layer(3), f.layer(1));
}

TEST(ColorXEffectsHost, ANegativeColourIsUsedAsGiven) {
  Fixture f(9, 9, kGrey);
  f.box.set_back_color(0x00000000);
  f.engine.ASM_ColorXEffects(2, -1, 4);  // columns 9, 5, 1 in white, not BackColor
  EXPECT_EQ(f.shown_with(0x00FFFFFF).size(), 27u);
  // ... and with its top byte set it matches no pixel, white ones included.
  auto painted = f.layer(2);
  for (Long opcode = 4; opcode <= 8; ++opcode) f.engine.ASM_ColorXEffects(opcode, -1, 2);
  EXPECT_EQ(f.layer(2), painted);
}

TEST(ColorXEffectsHost, DotsUseTwoDrawsEachFromTheFreshlySeededGenerator) {
  FixedClock clock(43210.5);
  Fixture f(100, 50, kGrey);
  program_random().rnd();  // whatever state the program left it in
  RandomGenerator expected_generator = program_random();
  expected_generator.randomize_from_clock();
  std::set<std::pair<int, int>> expected;
  for (int i = 0; i < 40; ++i) {
    float x = expected_generator.rnd(), y = expected_generator.rnd();
    expected.insert({std::min(static_cast<int>(round_half_even(x * 100.0 + 1)), 100),
                     std::min(static_cast<int>(round_half_even(y * 50.0 + 1)), 50)});
  }
  f.engine.ASM_ColorXEffects(0, 0x0000FF, 2);  // 40 dots
  EXPECT_EQ(f.shown_with(0x00FF0000), expected);
  EXPECT_EQ(program_random().state(), expected_generator.state());
}

TEST(ColorXEffectsHost, EveryCallReseedsTheGeneratorWhateverTheOpcode) {
  FixedClock clock(777);
  Fixture f(4, 4, kGrey);
  for (Long opcode : {42L, 1L, 9L, -3L}) {
    program_random().rnd();
    RandomGenerator expected = program_random();
    expected.randomize_from_clock();
    f.engine.ASM_ColorXEffects(opcode, 0, 1);
    EXPECT_EQ(program_random().state(), expected.state()) << opcode;
  }
}

TEST(ColorXEffectsHost, TooManyDotsIsAnOverflowAfterTheUndoCopyAndBeforeAnyDot) {
  Fixture f(8, 8, kGrey);
  f.engine.ASM_ColorXEffects(1, 0x0000FF, 3);
  auto lined = f.layer(2);
  const int before = f.draws();
  for (Integer amount : {static_cast<Integer>(1639), static_cast<Integer>(-1639), static_cast<Integer>(32767)}) {
    try {
      f.engine.ASM_ColorXEffects(0, 0xFFFFFF, amount);
      ADD_FAILURE() << "no error for " << amount;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.code(), ErrorNumber::Overflow);
    }
    EXPECT_EQ(f.layer(2), lined);
    EXPECT_EQ(f.layer(3), lined);
  }
  EXPECT_EQ(f.draws(), before);
  f.engine.ASM_ColorXEffects(0, 0xFFFFFF, -5);  // no dots, but drawn
  EXPECT_EQ(f.layer(2), lined);
  EXPECT_EQ(f.draws(), before + 1);
  f.engine.ASM_ColorXEffects(0, 0xFFFFFF, 1638);  // 32760 dots is allowed
  EXPECT_NE(f.layer(2), lined);
}

TEST(ColorXEffectsHost, BurstCentresOnTheMiddleWhenCentresAreAbsent) {
  Fixture f(100, 100, 0x00C8C8C8);
  f.engine.ASM_ColorXEffects(9, 0, 1);
  EXPECT_EQ(f.shown(51, 50), 0u);
  EXPECT_EQ(f.shown(50, 49), 0u);
  EXPECT_EQ(f.shown(50, 50), 0x00C8C8C8u);
  EXPECT_EQ(f.shown(50, 80), 0x00C8C8C8u);
}

TEST(ColorXEffectsHost, BurstCentreYCountsFromTheTop) {
  Fixture f(40, 30, 0x00C8C8C8);
  f.engine.ASM_ColorXEffects(9, 0, 1, 10.0, 5.0);
  EXPECT_EQ(f.shown(11, 25), 0u);
  EXPECT_EQ(f.shown(10, 25), 0x00C8C8C8u);
  f.engine.UndoLast();
  f.engine.ASM_ColorXEffects(9, 0, 1, "10", "5");  // numbers given as text
  EXPECT_EQ(f.shown(11, 25), 0u);
}

TEST(ColorXEffectsHost, BadCentresFailOnlyWhereTheBurstConvertsThem) {
  Fixture f(20, 20, kGrey);
  f.engine.ASM_ColorXEffects(1, 0xFF, 5, "left", "top");  // not read by the lines
  EXPECT_EQ(f.shown(1, 20), 0x00FF0000u);
  auto before = f.layer(2);
  try {
    f.engine.ASM_ColorXEffects(9, 0xFF, 1, "left", 5.0);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorNumber::TypeMismatch);
  }
  try {
    f.engine.ASM_ColorXEffects(9, 0xFF, 1, 5.0, 1e300);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorNumber::Overflow);
  }
  EXPECT_EQ(f.layer(2), before);
  f.engine.ASM_ColorXEffects(9, 0xFF, 32767, 1e30, -1e30);  // far outside: nothing to touch
  EXPECT_EQ(f.layer(2), before);
}

TEST(ColorXEffectsHost, OpcodesOutsideTheRangeStillCopyAndRedraw) {
  Fixture f(6, 6, kGrey);
  f.engine.ASM_ColorXEffects(3, 0xFF, 2);
  auto grid = f.layer(2);
  for (Long opcode : {10L, -1L, 99L}) {
    const int before = f.draws();
    f.engine.ASM_ColorXEffects(opcode, 0xFF, 1);
    EXPECT_EQ(f.draws(), before + 1);
    EXPECT_EQ(f.layer(2), grid);
    EXPECT_EQ(f.layer(3), grid);
  }
}

TEST(ColorXEffectsHost, ExtremeAmountsOnTinyPicturesAreSurvived) {
  for (int size : {1, 2, 5}) {
    Fixture f(size, size, 0);
    for (Long opcode = 1; opcode <= 9; ++opcode)
      for (Integer amount : {static_cast<Integer>(-32768), static_cast<Integer>(-1), static_cast<Integer>(0),
                             static_cast<Integer>(1), static_cast<Integer>(8), static_cast<Integer>(32767)})
        f.engine.ASM_ColorXEffects(opcode, 0, amount);
  }
}
