#include "platforms/x11/options.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/settings.h"

namespace virelta::x11 {

const char* const kUsage =
    "usage: virelta [-root | -window-id ID | -window [-fullscreen]] [-display NAME]\n"
    "               [-settings FILE] [-speed 1..20] [-turns 1..10] [-tiles 0..4]\n"
    "               [-antialias | -no-antialias] [-random-size | -size WxH (256..512)]\n"
    "               [-seed N] [-fps] [-frames K]\n";

namespace {

// A whole number, nothing else (no blanks, no sign on its own).
bool whole_number(const std::string& text, long& value, int base = 10) {
  if (text.empty() || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, base);
  return errno == 0 && *end == '\0';
}

bool in_range(const std::string& text, long low, long high, std::optional<int>& out) {
  long value;
  if (!whole_number(text, value) || value < low || value > high) return false;
  out = static_cast<int>(value);
  return true;
}

bool window_id(const std::string& text, std::uintptr_t& out) {
  long value;
  bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
  if (!whole_number(hex ? text.substr(2) : text, value, hex ? 16 : 10) || value <= 0 || text.find('-') != text.npos)
    return false;
  out = static_cast<std::uintptr_t>(value);
  return true;
}

bool tile_size(const std::string& text, std::optional<std::pair<int, int>>& out) {
  std::size_t x = text.find_first_of("xX");
  std::optional<int> w, h;
  if (x == text.npos || !in_range(text.substr(0, x), 256, 512, w) || !in_range(text.substr(x + 1), 256, 512, h))
    return false;
  out = std::pair{*w, *h};
  return true;
}

// Options that take a whole number from a range.
struct RangedOption {
  const char* name;
  long low, high;
  std::optional<int> Options::*field;
  const char* problem;
};
constexpr RangedOption kRangedOptions[] = {
    {"-speed", 1, 20, &Options::speed, "needs 1 to 20 degrees per step"},
    {"-turns", 1, 10, &Options::turns, "needs 1 to 10 turns"},
    {"-tiles", 0, 4, &Options::tiles, "needs 0 to 4 tiles"},
};

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, const char* saver_window,
                                     std::string& problem) {
  Options o;
  bool root = false, own_window = false;
  std::optional<std::uintptr_t> given;
  for (std::size_t i = 0; i < args.size(); ++i) {
    // xscreensaver's programs take "-name" and "--name" alike.
    std::string name = args[i].rfind("--", 0) == 0 ? args[i].substr(1) : args[i];
    const std::size_t first = i;
    auto fail = [&](const std::string& why) -> std::optional<Options> {
      problem = args[first] + (i > first ? " " + args[i] : "") + ": " + why;
      return std::nullopt;
    };
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    const RangedOption* ranged = nullptr;
    for (const RangedOption& r : kRangedOptions)
      if (name == r.name) ranged = &r;
    if (name == "-root") {
      root = true;
    } else if (name == "-window") {
      own_window = true;
    } else if (name == "-fullscreen") {
      own_window = o.fullscreen = true;
    } else if (name == "-antialias" || name == "-no-antialias") {
      o.antialias = name == "-antialias" ? 1 : 0;
    } else if (name == "-random-size") {
      o.random_size = true;
      o.size.reset();
    } else if (name == "-fps") {
      o.fps = true;
    } else if (name == "-h" || name == "-help") {
      o.help = true;
    } else if (ranged || name == "-window-id" || name == "-display" || name == "-settings" || name == "-size" ||
               name == "-seed" || name == "-frames") {
      const std::string* v = value();
      std::uintptr_t id;
      long number;
      if (!v) return fail("needs a value");
      if (ranged) {
        if (!in_range(*v, ranged->low, ranged->high, o.*(ranged->field))) return fail(ranged->problem);
      } else if (name == "-window-id") {
        if (!window_id(*v, id)) return fail("needs a window id (decimal or 0x hex)");
        given = id;
      } else if (name == "-display") {
        o.display = *v;
      } else if (name == "-settings") {
        o.settings_file = *v;
      } else if (name == "-size") {
        if (!tile_size(*v, o.size)) return fail("needs WIDTHxHEIGHT, each 256 to 512");
        o.random_size = false;
      } else if (name == "-seed") {
        if (!whole_number(*v, number)) return fail("needs a whole number");
        o.seed = number;
      } else if (!whole_number(*v, o.frames) || o.frames < 1) {
        return fail("needs a number of frames");
      }
    } else {
      return fail("unknown option");
    }
  }
  // An explicit window wins; xscreensaver passes -root and names its own
  // window in the environment, which then is the one to draw on.
  std::uintptr_t from_environment = 0;
  if (!given && !own_window && saver_window && *saver_window) {
    if (!window_id(saver_window, from_environment)) {
      problem = std::string("XSCREENSAVER_WINDOW=") + saver_window + ": not a window id";
      return std::nullopt;
    }
  }
  if (given) o.target = Target::GivenWindow, o.window = *given;
  else if (own_window) o.target = Target::OwnWindow;
  else if (from_environment) o.target = Target::SaverWindow, o.window = from_environment;
  else if (root) o.target = Target::Root;
  return o;
}

bool apply_settings(const Options& o) {
  // The settings module reads "Virelta.ini" from a folder: the file is linked
  // into an empty folder of its own (no file: the defaults).
  namespace fs = std::filesystem;
  std::error_code ec;
  std::string pattern = (fs::temp_directory_path(ec) / "virelta-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return false;
  const fs::path folder = pattern;
  bool ok = true;
  if (o.settings_file) {
    ok = std::ifstream(*o.settings_file).good();
    if (ok) fs::create_symlink(fs::absolute(*o.settings_file, ec), folder / "Virelta.ini", ec);
    ok = ok && !ec;
  }
  if (ok) LoadSettings(folder.string());
  fs::remove_all(folder, ec);
  if (!ok) return false;

  if (o.speed) RotationSpeed = static_cast<Integer>(*o.speed);
  if (o.turns) TurnCount = static_cast<Integer>(*o.turns);
  if (o.antialias) AntiAliasSetting = static_cast<Integer>(*o.antialias);
  AntiAliasOn = AntiAliasSetting == 1;
  for (int i = 0; i < 4; ++i) {
    if (o.tiles) TileAction[i] = i < *o.tiles ? 1 : 0;
    if (o.random_size) TileRandom[i] = 1;
    if (o.size) {
      TileRandom[i] = 0;
      TileWidth[i] = static_cast<Integer>(o.size->first);
      TileHeight[i] = static_cast<Integer>(o.size->second);
    }
  }
  return true;
}

}  // namespace virelta::x11
