#include "tools/support/fx_calls.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>

#include "runtime/runtime.h"
#include "effects/cls_asm_pic.h"

namespace virelta::fx {

namespace {

std::string trim(const std::string& text) {
  auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

Argument make_argument(const std::string& raw) {
  Argument a;
  std::string t = trim(raw);
  if (t.empty()) return a;
  a.missing = false;
  if (t.size() >= 2 && t.front() == '"' && t.back() == '"') {
    a.quoted = true;
    a.text = t.substr(1, t.size() - 2);
  } else {
    a.text = t;
  }
  return a;
}

}  // namespace

std::optional<double> parse_number(const std::string& raw) {
  std::string text = trim(raw);
  if (text.size() > 2 && text[0] == '&' && text.back() == '&') {
    // &H...& : a Long whatever the number of digits.
    std::string body = text.substr(1, text.size() - 2);
    if (body.empty()) return std::nullopt;
    int radix = (body[0] == 'h' || body[0] == 'H') ? 16 : (body[0] == 'o' || body[0] == 'O') ? 8 : 0;
    if (!radix || body.size() < 2) return std::nullopt;
    unsigned long long v = 0;
    for (std::size_t i = 1; i < body.size(); ++i) {
      int d = std::isdigit(static_cast<unsigned char>(body[i])) ? body[i] - '0'
              : std::isxdigit(static_cast<unsigned char>(body[i])) ? std::tolower(body[i]) - 'a' + 10 : 99;
      if (d >= radix) return std::nullopt;
      v = v * radix + d;
      if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
  }
  try {
    return text_to_number(text);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

Call parse_call(const std::string& raw) {
  std::string text = trim(raw);
  Call call;
  auto equals = text.find('=');
  auto paren = text.find('(');
  if (equals != std::string::npos && (paren == std::string::npos || equals < paren)) {
    call.member = trim(text.substr(0, equals));
    call.assignment = true;
    call.arguments.push_back(make_argument(text.substr(equals + 1)));
    if (call.arguments[0].missing) throw CallError("no value after =");
  } else if (paren == std::string::npos) {
    call.member = text;
  } else {
    if (text.back() != ')') throw CallError("missing closing parenthesis");
    call.member = trim(text.substr(0, paren));
    std::string inside = text.substr(paren + 1, text.size() - paren - 2);
    std::string current;
    bool in_quotes = false;
    for (char c : inside) {
      if (c == '"') in_quotes = !in_quotes;
      if (c == ',' && !in_quotes) {
        call.arguments.push_back(make_argument(current));
        current.clear();
      } else {
        current += c;
      }
    }
    if (in_quotes) throw CallError("unclosed quotes");
    if (!trim(inside).empty() || !call.arguments.empty()) call.arguments.push_back(make_argument(current));
  }
  if (call.member.empty()) throw CallError("no member name");
  for (char c : call.member)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') throw CallError("bad member name");
  return call;
}

namespace {

enum class Kind { Integer, Long, Single, Boolean, Variant };

struct Parameter {
  Kind kind;
  bool required;
};

double number_of(const Argument& a) {
  if (a.quoted) return text_to_number(a.text);  // text converts, or type mismatch
  auto n = parse_number(a.text);
  if (!n) throw CallError("not a number: " + a.text);
  return *n;
}

struct Arguments {
  const Call& call;
  std::size_t count;
  const Argument& at(std::size_t i) const {
    static const Argument missing;
    return i < call.arguments.size() ? call.arguments[i] : missing;
  }
  bool missing(std::size_t i) const { return at(i).missing; }
  Integer integer(std::size_t i, Integer fallback) const { return missing(i) ? fallback : to_integer(number_of(at(i))); }
  Long long_value(std::size_t i, Long fallback) const { return missing(i) ? fallback : to_long(number_of(at(i))); }
  Single single(std::size_t i) const {
    double v = number_of(at(i));
    if (std::isfinite(v) && std::fabs(v) > 3.4028234663852886e38) raise(ErrorNumber::Overflow);
    return static_cast<Single>(v);
  }
  bool boolean(std::size_t i, bool fallback) const {
    if (missing(i)) return fallback;
    std::string t = lower(at(i).text);
    if (t == "true") return true;
    if (t == "false") return false;
    return number_of(at(i)) != 0;
  }
  Variant variant(std::size_t i) const {
    if (missing(i)) return Variant();
    if (at(i).quoted) return Variant(at(i).text);
    return Variant(number_of(at(i)));
  }
};

struct Member {
  std::size_t required;
  std::size_t total;
  std::function<void(effects::clsASMpic&, const Arguments&)> run;
};

const std::map<std::string, Member>& members() {
  using E = effects::clsASMpic;
  static const std::map<std::string, Member> table{
      {"asm_rotate", {1, 6, [](E& e, const Arguments& a) {
         e.ASM_Rotate(a.integer(0, 0), a.boolean(1, false), a.boolean(2, true), a.long_value(3, -1), a.variant(4),
                      a.variant(5));
       }}},
      {"asm_paleffects", {1, 3, [](E& e, const Arguments& a) {
         e.ASM_PalEffects(a.long_value(0, 0), a.integer(1, 1), a.long_value(2, -1));
       }}},
      {"asm_pixeleffects", {1, 3, [](E& e, const Arguments& a) {
         e.ASM_PixelEffects(a.long_value(0, 0), a.integer(1, 1), a.long_value(2, -1));
       }}},
      {"asm_incrementalpaleffects", {1, 2, [](E& e, const Arguments& a) {
         e.ASM_IncrementalPalEffects(a.long_value(0, 0), a.integer(1, 1));
       }}},
      {"asm_colorxeffects", {2, 5, [](E& e, const Arguments& a) {
         e.ASM_ColorXEffects(a.long_value(0, 0), a.long_value(1, 0), a.integer(2, 1), a.variant(3), a.variant(4));
       }}},
      {"asm_magnify", {1, 5, [](E& e, const Arguments& a) {
         e.ASM_Magnify(a.single(0), a.variant(1), a.variant(2), a.boolean(3, false), a.long_value(4, -1));
       }}},
      {"undolast", {0, 0, [](E& e, const Arguments&) { e.UndoLast(); }}},
      {"resetpic", {0, 0, [](E& e, const Arguments&) { e.ResetPic(); }}},
      {"undolastdontdraw", {0, 0, [](E& e, const Arguments&) { e.UndoLastDontDraw(); }}},
      {"drawnow", {0, 0, [](E& e, const Arguments&) { e.DrawNow(); }}},
  };
  return table;
}

}  // namespace

void run_call(effects::clsASMpic& engine, const Call& call) {
  std::string name = lower(call.member);
  if (call.assignment) {
    if (name != "autodraw") throw CallError(call.member + " cannot be assigned");
    Arguments a{call, 1};
    engine.AutoDraw(a.boolean(0, true));
    return;
  }
  if (name == "autodraw") throw CallError("AutoDraw is set with AutoDraw=True or AutoDraw=False");
  auto it = members().find(name);
  if (it == members().end()) throw CallError("unknown member " + call.member);
  const Member& m = it->second;
  if (call.arguments.size() > m.total) throw CallError(call.member + " takes at most " + std::to_string(m.total) + " arguments");
  for (std::size_t i = 0; i < m.required; ++i)
    if (i >= call.arguments.size() || call.arguments[i].missing)
      throw CallError(call.member + " needs argument " + std::to_string(i + 1));
  // Every argument is checked for its form before the member runs.
  Arguments a{call, call.arguments.size()};
  for (const Argument& arg : call.arguments)
    if (!arg.missing && !arg.quoted) {
      std::string t = lower(arg.text);
      if (t != "true" && t != "false" && !parse_number(arg.text)) throw CallError("not a number: " + arg.text);
    }
  m.run(engine, a);
}

}  // namespace virelta::fx
