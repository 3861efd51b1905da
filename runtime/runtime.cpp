#include "runtime/runtime.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

namespace virelta {

std::string error_description(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::InvalidProcedureCall: return "Invalid procedure call or argument";
    case ErrorNumber::Overflow: return "Overflow";
    case ErrorNumber::OutOfMemory: return "Out of memory";
    case ErrorNumber::SubscriptOutOfRange: return "Subscript out of range";
    case ErrorNumber::DivisionByZero: return "Division by zero";
    case ErrorNumber::TypeMismatch: return "Type mismatch";
    case ErrorNumber::FileNotFound: return "File not found";
    case ErrorNumber::PermissionDenied: return "Permission denied";
    case ErrorNumber::PathNotFound: return "Path not found";
    case ErrorNumber::ObjectNotSet: return "Object variable or With block variable not set";
    case ErrorNumber::InvalidPropertyValue: return "Invalid property value";
    case ErrorNumber::InvalidPicture: return "Invalid picture";
  }
  return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(ErrorNumber number)
    : std::runtime_error(error_description(number)), number_(number) {}

RuntimeError::RuntimeError(ErrorNumber number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

void raise(ErrorNumber number) { throw RuntimeError(number); }

double round_half_even(double value) {
  // The processor's default rounding mode is to nearest with ties to even,
  // which nothing in the program changes.
  return std::nearbyint(value);
}

double int_floor(double value) { return std::floor(value); }

Integer to_integer(double value) {
  double r = round_half_even(value);
  if (!(r >= -32768.0 && r <= 32767.0)) raise(ErrorNumber::Overflow);
  return static_cast<Integer>(r);
}

Long to_long(double value) {
  double r = round_half_even(value);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) raise(ErrorNumber::Overflow);
  return static_cast<Long>(r);
}

Integer narrow_integer(std::int64_t value) {
  if (value < -32768 || value > 32767) raise(ErrorNumber::Overflow);
  return static_cast<Integer>(value);
}

Long narrow_long(std::int64_t value) {
  if (value < std::numeric_limits<Long>::min() || value > std::numeric_limits<Long>::max())
    raise(ErrorNumber::Overflow);
  return static_cast<Long>(value);
}

std::uint8_t narrow_byte(std::int64_t value) {
  if (value < 0 || value > 255) raise(ErrorNumber::Overflow);
  return static_cast<std::uint8_t>(value);
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

int digit_value(char c, int radix) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < radix ? v : -1;
}

// Parses "&H..." or "&O..." (the text after the ampersand is `body`). Returns
// the value read as Integer (up to 16 bits) or Long (up to 32 bits).
std::optional<double> parse_radix(std::string_view body, bool strict) {
  if (body.empty()) return std::nullopt;
  int radix = 0;
  char kind = body.front();
  if (kind == 'h' || kind == 'H') radix = 16;
  else if (kind == 'o' || kind == 'O') radix = 8;
  else return std::nullopt;
  body.remove_prefix(1);
  std::uint64_t value = 0;
  std::size_t used = 0;
  for (char c : body) {
    int d = digit_value(c, radix);
    if (d < 0) break;
    value = value * radix + d;
    if (value > 0xFFFFFFFFull) raise(ErrorNumber::Overflow);
    ++used;
  }
  if (used == 0 || (strict && used != body.size())) return std::nullopt;
  if (value <= 0xFFFF) return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
  return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// Reads a decimal number from the start of `text`; returns the number of
// characters used (0 when no digits were found).
std::size_t scan_decimal(std::string_view text, double& out) {
  std::size_t i = 0;
  std::string buffer;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) buffer += text[i++];
  std::size_t digits = 0;
  while (i < text.size() && is_digit(text[i])) buffer += text[i++], ++digits;
  if (i < text.size() && text[i] == '.') {
    buffer += text[i++];
    while (i < text.size() && is_digit(text[i])) buffer += text[i++], ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    std::size_t exp_digits = 0;
    while (j < text.size() && is_digit(text[j])) exponent += text[j++], ++exp_digits;
    if (exp_digits > 0) {
      buffer += exponent;
      i = j;
    }
  }
  out = std::strtod(buffer.c_str(), nullptr);
  return i;
}

}  // namespace

double text_to_number(std::string_view text) {
  std::string_view t = trim(text);
  if (t.empty()) raise(ErrorNumber::TypeMismatch);
  if (t.front() == '&') {
    auto value = parse_radix(t.substr(1), true);
    if (!value) raise(ErrorNumber::TypeMismatch);
    return *value;
  }
  double value = 0;
  std::size_t used = scan_decimal(t, value);
  if (used == 0 || used != t.size()) raise(ErrorNumber::TypeMismatch);
  if (!std::isfinite(value)) raise(ErrorNumber::Overflow);
  return value;
}

double leading_number(std::string_view text) {
  // Val() ignores blanks anywhere in the number.
  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact += c;
  std::string_view t = compact;
  if (t.empty()) return 0;
  if (t.front() == '&') {
    auto value = parse_radix(t.substr(1), false);
    return value ? *value : 0;
  }
  double value = 0;
  if (scan_decimal(t, value) == 0) return 0;
  if (!std::isfinite(value)) raise(ErrorNumber::Overflow);
  return value;
}

std::string number_to_text(std::int64_t value) {
  if (value < 0) return std::to_string(value);
  return " " + std::to_string(value);
}

double Variant::to_double() const {
  switch (kind_) {
    case Kind::Missing: raise(ErrorNumber::TypeMismatch);
    case Kind::Number: return number_;
    case Kind::Text: return text_to_number(text_);
  }
  return 0;
}

Single Variant::to_single() const {
  double value = to_double();
  if (std::isfinite(value) && std::fabs(value) > 3.4028234663852886e38) raise(ErrorNumber::Overflow);
  return static_cast<Single>(value);
}

namespace {
constexpr std::uint32_t kMask24 = 0xFFFFFF;

std::uint32_t float_bits(float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}
}  // namespace

double RandomGenerator::seconds_since_midnight() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  double fraction = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 / 1000.0;
  // The run-time's Timer is a Single.
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);
}

void RandomGenerator::randomize_from_clock() {
  randomize(fixed_clock_seed_ ? *fixed_clock_seed_ : seconds_since_midnight());
}

void RandomGenerator::randomize(double seed) {
  std::uint64_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  std::uint32_t high = static_cast<std::uint32_t>(bits >> 32);
  std::uint32_t mixed = (high ^ (high >> 16)) & 0xFFFF;
  state_ = (state_ & 0xFF) | (mixed << 8);
}

Single RandomGenerator::rnd(Single argument) {
  if (argument < 0) {
    std::uint32_t bits = float_bits(argument);
    state_ = (bits + (bits >> 24)) & kMask24;
  } else if (argument == 0) {
    return static_cast<Single>(state_) / 16777216.0f;
  }
  return rnd();
}

Single RandomGenerator::rnd() {
  state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & kMask24;
  return static_cast<Single>(state_) / 16777216.0f;
}

RandomGenerator& program_random() {
  static RandomGenerator generator;
  return generator;
}

}  // namespace virelta
