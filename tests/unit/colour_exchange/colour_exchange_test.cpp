// The colour-exchange kernel (worked examples through the plain kernel and every entry this processor runs, bad
// arguments, all entries against the plain one), then ASM_ColorXEffects on a picture box.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "effects/colour_exchange_kernel.h"
#include "runtime/runtime.h"
#include "unit/engine_host.h"

namespace virelta::effects {
namespace {

using testing::Bgr;
using testing::Picture;
using Spots = std::set<std::pair<int, int>>;
std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

constexpr std::uint32_t kColour = 200 | 50 << 8;  // red 200, green 50, blue 0
constexpr Bgr kMatch = {0, 50, 200, 7}, kGrey = {100, 100, 100, 7};
enum { kBleed = 4, kUp, kDown, kLeft, kRight, kBurst };

void run(Picture& p, int opcode, int amount, std::uint32_t colour = kColour, float x = kStartingWeight,
         float y = kWeightStep) {
  p.block.opcode = opcode, p.block.amount = amount, p.block.colour = colour;
  ASSERT_TRUE(p.run(colour_exchange_kernels(), bits(x), bits(y), 0));
}

// Grey blended toward kColour with weight tenths / 10: t x 100 + (1 - t) x (0, 50, 200).
Bgr grey_with_weight(int t) { return {std::uint8_t(10 * t), std::uint8_t(50 + 5 * t), std::uint8_t(200 - 10 * t), 7}; }

TEST(DotsAndLines, LandWhereTheRulesSay) {
  struct Case { int opcode, amount, w, h; float x, y; Spots expected; };
  const Case cases[] = {
      {0, 1, 100, 50, 0.999f, 0.0f, {{100, 1}}},  // round(100.9) = 101, limited to 100
      {0, 1, 100, 50, 0.0f, 0.999f, {{1, 50}}},
      {0, 1, 100, 50, 0.5f, 0.5f, {{51, 26}}},
      {1, 2, 3, 5, 2, 3, {{1, 5}, {2, 5}, {3, 5}, {1, 3}, {2, 3}, {3, 3}, {1, 1}, {2, 1}, {3, 1}}},
      {2, 3, 7, 2, 2, 3, {{7, 1}, {7, 2}, {4, 1}, {4, 2}, {1, 1}, {1, 2}}},
      {3, 3, 7, 7, 2, 3, {{7, 7}, {7, 4}, {7, 1}, {4, 7}, {4, 4}, {4, 1}, {1, 7}, {1, 4}, {1, 1}}},
      {3, SHRT_MAX, 4, 4, 2, 3, {{4, 4}}},  // a step beyond the picture: only the last line
  };
  for (const Case& c : cases) {
    Picture p(c.w, c.h);
    p.fill(kGrey);
    run(p, c.opcode, c.amount, 0x302010, c.x, c.y);
    Spots painted;
    for (int y = 1; y <= c.h; ++y)
      for (int x = 1; x <= c.w; ++x)
        if (p.get(x, y) == Bgr{0x30, 0x20, 0x10, 7}) painted.insert({x, y});
        else EXPECT_EQ(p.get(x, y), kGrey) << x << "," << y;
    EXPECT_EQ(painted, c.expected) << c.opcode << " " << c.amount << " " << c.x << "," << c.y;
  }
}

TEST(Bleed, ReachAndAmount8TintingANineByNineSquareRingByRing) {
  const int reach[] = {1, 1, 2, 2, 3, 3, 4, 4, 4, 4, 6, 6, 7};
  for (int amount = 0; amount <= 12; ++amount) EXPECT_EQ(colour_exchange_reach(amount), reach[amount]) << amount;
  Picture p(15, 15);
  p.fill(kGrey);
  p.set(8, 8, kMatch);
  run(p, kBleed, 8);
  for (int y = 1; y <= 15; ++y)
    for (int x = 1; x <= 15; ++x) {
      const int ring = std::max(std::abs(x - 8), std::abs(y - 8));
      EXPECT_EQ(p.get(x, y), ring == 0 ? kMatch : ring <= 4 ? grey_with_weight(5 + ring) : kGrey) << x << "," << y;
    }
}

TEST(Streaks, EachDirectionBlendsFromTheFarEndTowardTheMatchAndTravelsOn) {
  struct Case { int opcode, amount, dx, dy; std::vector<int> tenths; };  // tenths: the weight at distance 1, 2, ...
  for (const Case& c : {Case{kUp, 1, 0, 1, {8}}, {kUp, 2, 0, 1, {7, 8}}, {kDown, 2, 0, -1, {7, 8}},
                        {kLeft, 2, -1, 0, {7, 8}}, {kRight, 3, 1, 0, {7, 8}}}) {
    Picture p(9, 9);
    p.fill(kGrey);
    p.set(5, 5, {0, 50, 200, 255});  // the unused byte takes no part in the match
    run(p, c.opcode, c.amount);
    for (int y = 1; y <= 9; ++y)
      for (int x = 1; x <= 9; ++x) {
        Bgr expected = x == 5 && y == 5 ? Bgr{0, 50, 200, 255} : kGrey;
        for (int i = 1; i <= static_cast<int>(c.tenths.size()); ++i)
          if (x == 5 + i * c.dx && y == 5 + i * c.dy) expected = grey_with_weight(c.tenths[i - 1]);
        EXPECT_EQ(p.get(x, y), expected) << c.opcode << " at " << x << "," << y;
      }
  }
  // Reach 6: the three nearest pixels get weights below 0.5, so a red 201 becomes 200 and matches in its turn.
  Picture p(1, 12);
  p.fill({0, 50, 201, 7});
  p.set(1, 1, kMatch);
  run(p, kUp, 10);
  for (int y = 1; y <= 12; ++y) EXPECT_EQ(p.get(1, y).red, y <= 9 ? 200 : 201) << y;
}

TEST(Burst, RingsAroundTheCentreMultiplyThePixelsTheyHit) {
  struct Case { int w, h, amount; float x, y; Spots taken, kept; };  // centre y from the top; kept: left at 200
  const Case cases[] = {
      // 200 x (2 - 1/24) > 255 on ring 1; the centre and pixels beyond ring 24 are never sampled.
      {100, 100, 1, 50, 50, {{51, 50}, {49, 50}, {50, 51}}, {{50, 50}, {50, 76}, {80, 50}, {1, 1}}},
      {40, 30, 1, 10, 5, {{11, 25}}, {{10, 25}}},  // 5 from the top is row 25
      {30, 30, 1, -5, 15, {{1, 15}}, {{25, 15}}},  // ring 6 reaches column 1
      {20, 20, 0, 10, 10, {{11, 10}, {9, 10}}, {{10, 10}, {12, 10}}},  // one ring, f = -infinity
  };
  for (const Case& c : cases) {
    Picture p(c.w, c.h);
    p.fill({200, 200, 200, 7});
    p.set(9, 10, {0, 0, 0, 7});  // 0 x -infinity takes the colour too
    run(p, kBurst, c.amount, c.amount == 0 ? 0x030201 : 0, c.x, c.y);  // 0 stays 0 under later samples
    for (auto [x, y] : c.taken) EXPECT_EQ(p.get(x, y), (c.amount == 0 ? Bgr{3, 2, 1, 7} : Bgr{0, 0, 0, 7})) << x << "," << y;
    for (auto [x, y] : c.kept) EXPECT_EQ(p.get(x, y), (Bgr{200, 200, 200, 7})) << x << "," << y;
  }
}

TEST(ColourExchangeBadInput, CallsOutsideTheRulesChangeNothing) {
  struct Call { int opcode, amount; std::uint32_t colour; int w, h, mx, my; float x = kStartingWeight, y = kWeightStep; };
  std::vector<Call> calls = {
      {kBleed, 2, kColour, 9, 9, 2, 5}, {kBleed, 2, kColour, 9, 9, 5, 8},  // reach 2 visits 3..7 only
      {kBleed, 2, kColour, 4, 9, 3, 5},                                    // narrower than 5
      {kRight, 2, kColour, 6, 1, 5, 1},            // streak right from the last reach columns
      {0, 1, kColour, 10, 10, 5, 5, 7.0f, 1e30f},  // a dot too far for an integer
  };
  for (float f : {-0.5f, -1e30f, NAN, INFINITY, -INFINITY})
    calls.push_back({0, 1, kColour, 10, 10, 5, 5, f, 0.5f}), calls.push_back({0, 1, kColour, 10, 10, 5, 5, 0.5f, f});
  for (float c : {1e6f, -1e6f, 1e30f, -INFINITY, NAN})  // burst centres far outside
    calls.push_back({kBurst, 2, 0xFFFFFF, 30, 30, 5, 5, c, 15}), calls.push_back({kBurst, 2, 0xFFFFFF, 30, 30, 5, 5, 15, c});
  for (int opcode = kBleed; opcode <= kRight; ++opcode) {
    calls.push_back({opcode, 2, kColour | 0x80000000u, 9, 9, 5, 5});  // a top byte never matches
    for (int amount : {-1, -2, SHRT_MIN, SHRT_MAX}) calls.push_back({opcode, amount, kColour, 5, 5, 3, 3});
  }
  for (int opcode : {1, 2, 3})
    for (int amount : {0, -1, SHRT_MIN}) calls.push_back({opcode, amount, kColour, 5, 5, 3, 3});
  for (int opcode : {-1, 10, INT_MIN, INT_MAX}) calls.push_back({opcode, 1, kColour, 6, 6, 3, 3, 0.5f, 0.5f});
  for (const Call& c : calls) {
    Picture p(c.w, c.h);
    p.fill(kGrey);
    p.set(c.mx, c.my, kMatch);
    const auto before = p.all();
    run(p, c.opcode, c.amount, c.colour, c.x, c.y);
    EXPECT_EQ(p.all(), before) << c.opcode << " " << c.amount << " " << c.x << "," << c.y;
  }
  Picture far(50, 50, 3);  // the largest burst ends quickly when the centre is far away
  const auto before = far.all();
  far.block = {50, 50, far.store.data(), 0, SHRT_MAX, 0xFFFFFF, kBurst};
  colour_exchange_kernel(far.block, bits(1e7f), bits(-1e7f), 0);
  EXPECT_EQ(far.all(), before);
}

// Pictures that mix the colour, values one step from it (which blends turn
// into the colour, so matches travel) and random pixels.
TEST(ColourExchangePlainAndFast, WriteTheSameBytes) {
  struct Call { int opcode, amount; float x, y; int w, h; };
  std::vector<Call> calls = {{kBurst, 3, 40, 20, 80, 40}, {kBurst, 1, 1e6f, 20, 80, 40}};
  for (int opcode = kBleed; opcode <= kRight; ++opcode)  // reach 18, beyond the blend tables; weights outside 0..1
    calls.insert(calls.end(), {{opcode, 34, kStartingWeight, kWeightStep, 80, 40}, {opcode, 3, 1.3f, 0.25f, 23, 17},
                               {opcode, 40, 1.3f, 0.25f, 50, 45}});
  for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {5, 5}, {7, 4}, {9, 9}, {16, 15}, {31, 20}, {64, 33}}) {
    for (float x : {0.0f, 0.25f, 0.5f, 0.999f})
      for (float y : {0.0f, 0.3f, 0.999f}) calls.push_back({0, 1, x, y, w, h});
    for (int amount : {0, 1, 2, 3, 7, 8, 10, 12})
      for (int opcode = 1; opcode <= kRight; ++opcode)
        if (amount > 0 || opcode > 3) calls.push_back({opcode, amount, opcode > 3 ? kStartingWeight : 2, kWeightStep, w, h});
    for (int amount : {-1, 0, 1, 2})
      for (float c : {0.0f, 3.0f, 8.0f, 20.5f, -4.0f}) calls.push_back({kBurst, amount, c, c + 1, w, h});
  }
  std::uint32_t seed = 0;
  for (const Call& call : calls)
    for (std::uint32_t colour : {0x000000u, 0x7F8081u, 0xFFFFFFu, 0x12AB34u, 0x01000000u}) {
      SCOPED_TRACE(::testing::Message() << call.opcode << "/" << call.amount << " " << call.x << "," << call.y << " " << call.w << "x" << call.h << " " << colour);
      Picture p(call.w, call.h, ++seed);
      for (int i = 0; i < call.w * call.h; ++i) {
        std::uint8_t* px = &p.store.at(1, i % call.w + 1, i / call.w + 1, 2);  // its random unused byte picks the kind
        for (int c = 0; c < 3 && px[3] % 4 < 2; ++c)
          px[c] = static_cast<std::uint8_t>(std::clamp<int>((colour >> (16 - 8 * c) & 0xFF) + (px[3] % 4) * (px[c] % 3 - 1), 0, 255));
      }
      ASSERT_NO_FATAL_FAILURE(run(p, call.opcode, call.amount, colour, call.x, call.y));
    }
}

}  // namespace
}  // namespace virelta::effects

// ASM_ColorXEffects as a caller sees it: the colour used as given, the
// generator reseeded on every call, the dot count's overflow, the centres.
using namespace virelta;

namespace {

struct Fixture : virelta::testing::EngineHost {
  using EngineHost::EngineHost;
  effects::Spots shown_with(std::uint32_t pixel) {
    effects::Spots out;
    for (int i = 0; i < w * h; ++i) if (shown(i % w + 1, i / w + 1) == pixel) out.insert({i % w + 1, i / w + 1});
    return out;
  }
  template <class... Args>
  ErrorNumber error_of(Args... args) {
    try { engine.ASM_ColorXEffects(args...); } catch (const RuntimeError& e) { return e.code(); }
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
  EXPECT_EQ(f.shown_with(0x00102030).size(), 9u);  // rows 5, 3 and 1
  const auto lined = f.layer(2);
  f.engine.ASM_ColorXEffects(2, -1, 2);  // columns 3 and 1 in white, not BackColor
  EXPECT_EQ(f.shown_with(0x00FFFFFF).size(), 10u);
  EXPECT_EQ(f.layer(3), lined);
  const auto painted = f.layer(2);
  for (Long opcode : {10L, -1L, 99L}) f.engine.ASM_ColorXEffects(opcode, 0xFF, 1);  // copied and drawn, nothing painted
  EXPECT_EQ(f.layer(2), painted);
  EXPECT_EQ(f.layer(3), painted);
  EXPECT_EQ(f.draws(), before + 5);
}

TEST(ColorXEffectsHost, EveryCallReseedsTheGeneratorAndDotsTakeTwoDrawsEach) {
  program_random().set_fixed_clock_seed(43210.5);
  Fixture f(100, 50, kGrey);
  effects::Spots dots;
  for (Long opcode : {42L, 1L, 9L, -3L, 0L}) {
    program_random().rnd();  // whatever state the program left it in
    RandomGenerator expected = program_random();
    expected.randomize_from_clock();
    for (int i = 0; opcode == 0 && i < 40; ++i) {  // x first, then y
      const double x = std::nearbyint(expected.rnd() * 100 + 1), y = std::nearbyint(expected.rnd() * 50 + 1);
      dots.insert({std::min(static_cast<int>(x), 100), std::min(static_cast<int>(y), 50)});
    }
    f.engine.ASM_ColorXEffects(opcode, opcode == 0 ? 0x0000FF : 0x00FF00, 2);
    EXPECT_EQ(program_random().state(), expected.state()) << opcode;
  }
  program_random().set_fixed_clock_seed(std::nullopt);  // other tests draw from the clock again
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
  f.engine.ASM_ColorXEffects(0, 0xFFFFFF, 1638);  // 32760 dots is allowed
  EXPECT_NE(f.layer(2), lined);
}

TEST(ColorXEffectsHost, BurstCentresDefaultToTheMiddleCountYFromTheTopAndFailOnlyWhereConverted) {
  Fixture f(100, 100, 0x00C8C8C8);
  f.engine.ASM_ColorXEffects(9, 0, 1);  // centre (50, 50)
  EXPECT_EQ(f.shown(51, 50), 0u);
  EXPECT_EQ(f.shown(50, 50), 0x00C8C8C8u);
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
