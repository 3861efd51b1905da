// The call syntax of virelta-fx: engine members written as in the class's
// interface, e.g. ASM_Rotate(45,,False), AutoDraw=False, UndoLast.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace virelta::effects {
class clsASMpic;
}

namespace virelta::fx {

// A call that cannot be understood (not a run-time error of the engine).
class CallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Argument {
  bool missing = true;
  bool quoted = false;
  std::string text;  // as written, blanks trimmed, quotes removed
};

struct Call {
  std::string member;
  std::vector<Argument> arguments;
  bool assignment = false;  // Member=Value
};

// Parses one call; throws CallError when it is malformed.
Call parse_call(const std::string& text);
// A number as the tool reads it: decimal (sign, fraction, exponent) or &H / &O,
// with a trailing & for a 32-bit hex value ("&HFFFF&" is 65535).
std::optional<double> parse_number(const std::string& text);
// Runs a parsed call on the engine. Unknown members, missing required
// arguments and arguments of the wrong kind throw CallError; the engine's
// run-time errors pass through as RuntimeError.
void run_call(effects::clsASMpic& engine, const Call& call);

}  // namespace virelta::fx
