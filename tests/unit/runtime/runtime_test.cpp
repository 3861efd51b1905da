// The run-time's number rules: every hand-edited settings value and every
// extreme argument is decided by these conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/runtime.h"

using namespace virelta;

namespace {
int error_of(auto&& statement) {
  try {
    statement();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}
}  // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(round_half_even(200.5), 200);
  EXPECT_EQ(round_half_even(201.5), 202);
  EXPECT_EQ(round_half_even(-2.5), -2);
  EXPECT_EQ(round_half_even(-3.5), -4);
  EXPECT_EQ(round_half_even(0.49999999999999994), 0);
  EXPECT_EQ(round_half_even(2.5000001), 3);
  EXPECT_EQ(int_floor(-3.5), -4);
  EXPECT_EQ(int_floor(12.9), 12);
}

TEST(Narrowing, OutOfRangeIsOverflow) {
  EXPECT_EQ(to_integer(32767.4), 32767);
  EXPECT_EQ(to_integer(-32768.5), -32768);  // ties to even: -32768
  EXPECT_EQ(error_of([] { to_integer(32767.5); }), 6);
  EXPECT_EQ(error_of([] { to_integer(NAN); }), 6);
  EXPECT_EQ(error_of([] { narrow_integer(40000); }), 6);
  EXPECT_EQ(error_of([] { to_long(2147483647.5); }), 6);
  EXPECT_EQ(to_long(-2147483648.0), INT32_MIN);
  EXPECT_EQ(error_of([] { narrow_byte(256); }), 6);
}

TEST(TextToNumber, AcceptsWhatTheRunTimeAccepts) {
  EXPECT_EQ(text_to_number(" 12 "), 12);
  EXPECT_EQ(text_to_number("-3.5"), -3.5);
  EXPECT_EQ(text_to_number("+.5"), 0.5);
  EXPECT_EQ(text_to_number("5."), 5);
  EXPECT_EQ(text_to_number("1e3"), 1000);
  EXPECT_EQ(text_to_number("2D-1"), 0.2);
  EXPECT_EQ(text_to_number("&H10"), 16);
  EXPECT_EQ(text_to_number("&h1f"), 31);  // digits in either case
  EXPECT_EQ(text_to_number("&hFFFF"), -1);        // four hex digits read as Integer
  EXPECT_EQ(text_to_number("&H10000"), 65536);    // five or more as Long
  EXPECT_EQ(text_to_number("&HFFFFFFFF"), -1);
  EXPECT_EQ(text_to_number("&O17"), 15);
}

TEST(TextToNumber, RejectsEverythingElseAsTypeMismatch) {
  for (const char* bad : {"", "   ", "abc", "1 2", "12abc", "--1", "1e", "&H", "&HG", "&Q1", ".", "+", "0x10"})
    EXPECT_EQ(error_of([&] { text_to_number(bad); }), 13) << '"' << bad << '"';
  EXPECT_EQ(error_of([] { text_to_number("1e999"); }), 6);
}

TEST(LeadingNumber, ReadsTheLeadingDigitsOnly) {
  EXPECT_EQ(leading_number("1234"), 1234);
  EXPECT_EQ(leading_number(" 1234 junk"), 1234);
  EXPECT_EQ(leading_number(":1234"), 0);
  EXPECT_EQ(leading_number(""), 0);
  EXPECT_EQ(leading_number("12 34"), 1234);  // blanks inside are skipped
}

TEST(NumberToText, ReservesASignPosition) {
  EXPECT_EQ(number_to_text(1), " 1");
  EXPECT_EQ(number_to_text(0), " 0");
  EXPECT_EQ(number_to_text(-256), "-256");
}

TEST(SkipOnError, SwallowsErrorsButNotTheProgramsEnd) {
  int ran = 0;
  EXPECT_FALSE(on_error_resume_next([&] { raise(ErrorNumber::Overflow); }));
  EXPECT_TRUE(on_error_resume_next([&] { ++ran; }));
  EXPECT_EQ(ran, 1);
  EXPECT_THROW(on_error_resume_next([] { throw ProgramEnded{0}; }), ProgramEnded);
}

TEST(VariantArgument, MissingTextAndNumbers) {
  EXPECT_TRUE(Variant().is_missing());
  EXPECT_EQ(Variant(2.5).to_single(), 2.5f);
  EXPECT_EQ(Variant("  7 ").to_single(), 7.0f);
  EXPECT_EQ(error_of([] { Variant("centre").to_single(); }), 13);
  EXPECT_EQ(error_of([] { Variant(1e300).to_single(); }), 6);
}

TEST(RandomGenerator, RepeatsAfterTheSameSeedAndStaysInRange) {
  RandomGenerator a, b;
  a.randomize(1234.5);
  b.randomize(1234.5);
  for (int i = 0; i < 1000; ++i) {
    float r = a.rnd();
    ASSERT_EQ(r, b.rnd());
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
  }
  // A negative argument resets to a state of its own: the same numbers follow.
  float first = a.rnd(-1.0f);
  float next = a.rnd();
  b.randomize(99);
  EXPECT_EQ(b.rnd(-1.0f), first);
  EXPECT_EQ(b.rnd(), next);
}

TEST(RandomGenerator, FixedClockSeedMakesRunsRepeat) {
  RandomGenerator a, b;
  a.set_fixed_clock_seed(42);
  b.set_fixed_clock_seed(42);
  a.randomize_from_clock();
  b.randomize_from_clock();
  EXPECT_EQ(a.rnd(), b.rnd());
  RandomGenerator c;
  c.set_fixed_clock_seed(43);
  c.randomize_from_clock();
  EXPECT_NE(a.state(), c.state());
}
