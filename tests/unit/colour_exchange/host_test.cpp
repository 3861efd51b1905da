// ASM_ColorXEffects on a bound picture box: the colour used as given, the
// generator reseeded on every call, the dot count's overflow, the centres.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "runtime/runtime.h"
#include "unit/engine_host.h"

using namespace virelta;

namespace {

using Spots = std::set<std::pair<int, int>>;

struct Fixture : virelta::testing::EngineHost {
  using EngineHost::EngineHost;
  Spots shown_with(std::uint32_t pixel) {
    Spots out;
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x)
        if (shown(x, y) == pixel) out.insert({x, y});
    return out;
  }
  template <class... Args>
  ErrorNumber error_of(Args... args) {
    try {
      engine.ASM_ColorXEffects(args...);
    } catch (const RuntimeError& e) {
      return e.code();
    }
    return ErrorNumber{};
  }
};

constexpr std::uint32_t kGrey = 0x00646464;

}  // namespace

TEST(ColorXEffectsHost, LinesInTheColourAsGivenDrawnAfterTheUndoCopy) {
  Fixture f(3, 5, kGrey);
  f.box.set_back_color(0);
  const int before = f.draws();
  f.engine.ASM_ColorXEffects(1, 0x302010, 2);
  EXPECT_EQ(f.draws(), before + 1);
  EXPECT_EQ(f.shown_with(0x00102030), (Spots{{1, 5}, {2, 5}, {3, 5}, {1, 3}, {2, 3}, {3, 3}, {1, 1}, {2, 1}, {3, 1}}));
  const auto lined = f.layer(2);
  f.engine.ASM_ColorXEffects(2, -1, 2);  // columns 3 and 1 in white, not BackColor
  EXPECT_EQ(f.shown_with(0x00FFFFFF).size(), 10u);
  EXPECT_EQ(f.layer(3), lined);
  for (Long opcode : {10L, -1L, 99L}) {  // outside the range: copied and drawn, nothing painted
    const auto painted = f.layer(2);
    f.engine.ASM_ColorXEffects(opcode, 0xFF, 1);
    EXPECT_EQ(f.layer(2), painted);
    EXPECT_EQ(f.layer(3), painted);
  }
  EXPECT_EQ(f.draws(), before + 5);
}

TEST(ColorXEffectsHost, EveryCallReseedsTheGeneratorAndDotsTakeTwoDrawsEach) {
  program_random().set_fixed_clock_seed(43210.5);
  Fixture f(100, 50, kGrey);
  Spots dots;
  for (Long opcode : {42L, 1L, 9L, -3L, 0L}) {
    program_random().rnd();  // whatever state the program left it in
    RandomGenerator expected = program_random();
    expected.randomize_from_clock();
    for (int i = 0; opcode == 0 && i < 40; ++i) {
      const double x = expected.rnd(), y = expected.rnd();
      dots.insert({std::min(static_cast<int>(std::nearbyint(x * 100 + 1)), 100),
                   std::min(static_cast<int>(std::nearbyint(y * 50 + 1)), 50)});
    }
    f.engine.ASM_ColorXEffects(opcode, opcode == 0 ? 0x0000FF : 0x00FF00, 2);
    EXPECT_EQ(program_random().state(), expected.state()) << opcode;
  }
  program_random().set_fixed_clock_seed(std::nullopt);
  EXPECT_EQ(f.shown_with(0x00FF0000), dots);
}

TEST(ColorXEffectsHost, TooManyDotsIsAnOverflowAfterTheUndoCopyAndBeforeAnyDot) {
  Fixture f(8, 8, kGrey);
  f.engine.ASM_ColorXEffects(1, 0x0000FF, 3);
  const auto lined = f.layer(2);
  const int before = f.draws();
  for (Integer amount : {Integer{1639}, Integer{-1639}, Integer{32767}}) {
    EXPECT_EQ(f.error_of(0, 0xFFFFFF, amount), ErrorNumber::Overflow) << amount;
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

TEST(ColorXEffectsHost, BurstCentresDefaultToTheMiddleCountYFromTheTopAndFailOnlyWhereConverted) {
  Fixture f(100, 100, 0x00C8C8C8);
  f.engine.ASM_ColorXEffects(9, 0, 1);  // centre (50, 50)
  EXPECT_EQ(f.shown(51, 50), 0u);
  EXPECT_EQ(f.shown(50, 49), 0u);
  EXPECT_EQ(f.shown(50, 50), 0x00C8C8C8u);
  EXPECT_EQ(f.shown(50, 80), 0x00C8C8C8u);
  Fixture g(40, 30, 0x00C8C8C8);
  g.engine.ASM_ColorXEffects(9, 0, 1, "10", "5");  // numbers given as text; 5 from the top is row 25
  EXPECT_EQ(g.shown(11, 25), 0u);
  EXPECT_EQ(g.shown(10, 25), 0x00C8C8C8u);
  g.engine.ASM_ColorXEffects(1, 0xFF, 30, "left", "top");  // the lines do not read them
  EXPECT_EQ(g.shown(1, 30), 0x00FF0000u);
  const auto before = g.layer(2);
  EXPECT_EQ(g.error_of(9, 0xFF, 1, "left", 5.0), ErrorNumber::TypeMismatch);
  EXPECT_EQ(g.error_of(9, 0xFF, 1, 5.0, 1e300), ErrorNumber::Overflow);
  EXPECT_EQ(g.layer(2), before);
}
