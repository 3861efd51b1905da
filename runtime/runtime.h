// Numbers and errors the way the original run-time treats them, in one place:
// Integer is 16-bit signed, Long 32-bit signed, Single a 32-bit float; conversions
// round half to even, Int floors, a narrowing that does not fit raises overflow
// (6) and text that is not a number raises type mismatch (13). Every hand-edited
// settings value and every extreme argument goes through these functions.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace virelta {

using Integer = std::int16_t;
using Long = std::int32_t;
using Single = float;

// The run-time's error numbers that this program raises or traps.
enum class ErrorNumber : int {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  DivisionByZero = 11,
  TypeMismatch = 13,
  FileNotFound = 53,
  PermissionDenied = 70,
  PathNotFound = 76,
  ObjectNotSet = 91,
  InvalidPropertyValue = 380,
  InvalidPicture = 481,
};

// A run-time error: what a failing statement raises. Handlers under the
// skip-on-error rule swallow it with on_error_resume_next.
class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorNumber number);
  RuntimeError(ErrorNumber number, const std::string& description);
  int number() const { return static_cast<int>(number_); }
  ErrorNumber code() const { return number_; }

 private:
  ErrorNumber number_;
};

// The run-time's own text for an error number ("Overflow", "Type mismatch", ...).
std::string error_description(ErrorNumber number);

[[noreturn]] void raise(ErrorNumber number);

// Rounds to the nearest whole number, halves to even (the conversion rule).
double round_half_even(double value);

// Int(): the largest whole number not greater than the argument.
double int_floor(double value);

// Checked conversions of a floating-point value, rounding half to even.
// Not a number or out of range: overflow (6).
Integer to_integer(double value);
Long to_long(double value);
// Checked narrowing of whole numbers (no rounding involved).
Integer narrow_integer(std::int64_t value);
Long narrow_long(std::int64_t value);
std::uint8_t narrow_byte(std::int64_t value);

// Text to number, as the run-time converts a string to Double: surrounding
// blanks allowed, a sign, digits with an optional decimal point, an optional
// exponent (E or D), or the forms &H (hex) and &O (octal). Anything else,
// including empty text, raises type mismatch (13). Overflow of the double
// range raises overflow (6). Hex and octal texts of up to 16 bits read as
// Integer, longer ones as Long, so "&HFFFF" is -1.
double text_to_number(std::string_view text);

// Val(): the leading number of a text, ignoring blanks; 0 when there is none.
double leading_number(std::string_view text);

// Str(): decimal text with a leading blank for zero and positive numbers and a
// minus sign for negative ones.
std::string number_to_text(std::int64_t value);

// Thrown by the in-memory form layer when a handler ends the whole program
// ("End"). It is deliberately not a std::exception, so the skip-on-error rule
// never swallows it.
struct ProgramEnded {
  int exit_code = 0;
};

// Runs one statement under the skip-on-error rule: a run-time error (or any
// other exception a statement throws) is swallowed and reported back as false.
template <class Statement>
bool on_error_resume_next(Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// A value that an optional argument may leave out ("missing"), or a number,
// or a text that converts to a number on use.
class Variant {
 public:
  Variant() = default;  // missing
  Variant(double number) : kind_(Kind::Number), number_(number) {}
  Variant(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}
  Variant(const char* text) : kind_(Kind::Text), text_(text) {}
  static Variant missing() { return Variant(); }

  bool is_missing() const { return kind_ == Kind::Missing; }
  // The value as a number; text that is not a number raises type mismatch.
  double to_double() const;
  // The value as a Single (raises overflow when out of the float range).
  Single to_single() const;

 private:
  enum class Kind { Missing, Number, Text };
  Kind kind_ = Kind::Missing;
  double number_ = 0;
  std::string text_;
};

// The program's one random-number generator (Rnd / Randomize). A 24-bit
// linear congruential generator; Rnd draws a number in [0, 1).
class RandomGenerator {
 public:
  // Randomize with no argument: seeds from the clock (seconds since midnight).
  // When a fixed clock seed is set, that number is used instead, so runs repeat.
  void randomize_from_clock();
  // Randomize n.
  void randomize(double seed);
  // Rnd with a negative argument: resets the generator to a state derived
  // from the argument alone, then draws.
  Single rnd(Single argument);
  // Rnd(): the next number in [0, 1).
  Single rnd();

  void set_fixed_clock_seed(std::optional<double> seed) { fixed_clock_seed_ = seed; }
  std::uint32_t state() const { return state_; }

  static double seconds_since_midnight();

 private:
  std::uint32_t state_ = 0x50000;
  std::optional<double> fixed_clock_seed_;
};

// The generator shared by the whole program.
RandomGenerator& program_random();

}  // namespace virelta
