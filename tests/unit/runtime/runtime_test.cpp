// The run-time's number rules: every hand-edited settings value and every
// extreme argument is decided by these conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/runtime.h"

using namespace virelta;

namespace {
int error_of(auto&& statement) {  // the run-time error number raised, or 0
  try { statement(); } catch (const RuntimeError& e) { return e.number(); }
  return 0;
}
}  // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbourAndNarrowingOverflows) {
  const double halves[][2] = {{200.5, 200}, {201.5, 202}, {-2.5, -2}, {-3.5, -4}, {0.49999999999999994, 0}, {2.5000001, 3}};
  for (const auto& h : halves) EXPECT_EQ(round_half_even(h[0]), h[1]) << h[0];
  EXPECT_EQ(int_floor(-3.5) * 100 + int_floor(12.9), -388);
  EXPECT_EQ(to_integer(32767.4) + to_integer(-32768.5), -1);
  EXPECT_EQ(to_long(-2147483648.0), INT32_MIN);
  // Overflow is error 6.
  EXPECT_EQ(error_of([] { to_integer(32767.5); }) + error_of([] { to_integer(NAN); }) +
                error_of([] { narrow_integer(40000); }) + error_of([] { to_long(2147483647.5); }) +
                error_of([] { narrow_byte(256); }) + error_of([] { narrow_long(INT64_C(1) << 31); }),
            6 * 6);
}

TEST(TextToNumber, AcceptsWhatTheRunTimeAcceptsAndRejectsTheRest) {
  const std::pair<const char*, double> good[] = {
      {" 12 ", 12}, {"\t\r\n12\f\v", 12}, {"-3.5", -3.5}, {"+.5", 0.5}, {"5.", 5}, {"1e3", 1000}, {"2D-1", 0.2}, {"&H10", 16},
      {"&h1f", 31}, {"&hFFFF", -1}, {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15}};
  for (const auto& [text, value] : good) EXPECT_EQ(text_to_number(text), value) << text;
  for (const char* bad : {"", "   ", "abc", "1 2", "12abc", "--1", "1e", "&H", "&HG", "&Q1", ".", "+", "0x10"})
    EXPECT_EQ(error_of([&] { text_to_number(bad); }), 13) << '"' << bad << '"';
  EXPECT_EQ(error_of([] { text_to_number("1e999"); }), 6);
  EXPECT_EQ(leading_number(" 1234 junk") + leading_number(":1234") + leading_number("12 34"), 2468);  // blanks skipped
  EXPECT_EQ(number_to_text(1) + number_to_text(-256), " 1-256");  // a sign position kept
}

TEST(SkipOnError, SwallowsErrorsButNotTheProgramsEnd) {
  EXPECT_FALSE(on_error_resume_next([&] { raise(ErrorNumber::Overflow); }));
  EXPECT_THROW(on_error_resume_next([] { throw ProgramEnded{0}; }), ProgramEnded);
}

TEST(RandomGenerator, RepeatsAfterTheSameSeedAndStaysInRange) {
  RandomGenerator a, b;
  a.randomize(1234.5);
  b.randomize(1234.5);
  for (int i = 0; i < 1000; ++i) {
    const float r = a.rnd();
    ASSERT_TRUE(r == b.rnd() && r >= 0.0f && r < 1.0f) << r;
  }
  const float first = a.rnd(-1.0f), next = a.rnd();  // a negative argument: a state of its own
  b.randomize(99);
  EXPECT_TRUE(b.rnd(-1.0f) == first && b.rnd() == next);
}
