// virelta-render: the saver window run on the in-memory platform, for
// previews, documentation, tests and the step benchmark.
//
//   virelta-render [--settings=FILE.ini] [--seed=N] [--steps=K]
//                  [--write=all|last|none] DESKTOP.bmp OUTDIR
//
// The desktop picture is the screen the saver captures (its size is the
// screen size). A frame is what Display shows after a step's refresh or after
// a cycle's reset; the run ends after K frames (default 38: one default cycle
// of 37 steps and its reset). Frames are written as OUTDIR/frame-NNNNN.bmp
// (32-bit), numbered from 1, and described on standard output, one JSON line
// each:
//   {"frame":N,"cycle":C,"angle":A,"tiles":[[x,y,w,h,active],...]}
// with A the step angle or null for a reset frame, C counted from 1. The
// measured cost of a step goes to standard error at the end.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "forms/bmp_file.h"
#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "saver/virelta_s.h"

using namespace virelta;
namespace fs = std::filesystem;

namespace {

enum class WriteMode { All, Last, None };

struct Options {
  std::optional<std::string> settings;
  std::optional<double> seed;
  long long steps = 38;
  WriteMode write = WriteMode::All;
  std::string desktop;
  std::string outdir;
};

int usage(const char* problem) {
  if (problem) std::fprintf(stderr, "virelta-render: %s\n", problem);
  std::fprintf(stderr,
               "usage: virelta-render [--settings=FILE.ini] [--seed=N] [--steps=K] "
               "[--write=all|last|none] DESKTOP.bmp OUTDIR\n");
  return 2;
}

bool whole_number(const std::string& text, long long& value) {
  if (text.empty()) return false;
  std::size_t used = 0;
  try {
    value = std::stoll(text, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == text.size();
}

std::optional<Options> parse(int argc, char** argv, const char*& problem) {
  auto fail = [&](const char* why) -> std::optional<Options> {
    problem = why;
    return std::nullopt;
  };
  Options o;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value_of = [&](const char* name) -> std::optional<std::string> {
      std::string prefix = std::string(name) + "=";
      if (a.rfind(prefix, 0) == 0) return a.substr(prefix.size());
      return std::nullopt;
    };
    if (auto v = value_of("--settings")) {
      o.settings = *v;
    } else if (auto v = value_of("--seed")) {
      long long n;
      if (!whole_number(*v, n)) return fail("--seed needs a whole number");
      o.seed = static_cast<double>(n);
    } else if (auto v = value_of("--steps")) {
      if (!whole_number(*v, o.steps) || o.steps < 0) return fail("--steps needs a number of frames");
    } else if (auto v = value_of("--write")) {
      if (*v == "all") o.write = WriteMode::All;
      else if (*v == "last") o.write = WriteMode::Last;
      else if (*v == "none") o.write = WriteMode::None;
      else return fail("--write is all, last or none");
    } else if (a.rfind("--", 0) == 0) {
      return fail("unknown option");
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return fail("DESKTOP.bmp and OUTDIR are needed");
  o.desktop = positional[0];
  o.outdir = positional[1];
  return o;
}

std::string utf8(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path from_utf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

// The settings module reads "Virelta.ini" from a folder: the given file is
// copied into a folder of its own (no file: the defaults).
bool load_settings(const std::optional<std::string>& file) {
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec) /
                    ("virelta-render-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(folder, ec);
  if (ec) return false;
  bool ok = true;
  if (file) ok = fs::copy_file(from_utf8(*file), folder / "Virelta.ini", fs::copy_options::overwrite_existing, ec);
  if (ok) LoadSettings(utf8(folder));
  fs::remove_all(folder, ec);
  return ok;
}

std::string frame_json(long long frame, long long cycle, std::optional<int> angle, const saver::Virelta_S& s) {
  char buffer[320];
  int n = std::snprintf(buffer, sizeof buffer, "{\"frame\":%lld,\"cycle\":%lld,\"angle\":", frame, cycle);
  n += angle ? std::snprintf(buffer + n, sizeof buffer - n, "%d", *angle)
             : std::snprintf(buffer + n, sizeof buffer - n, "null");
  n += std::snprintf(buffer + n, sizeof buffer - n, ",\"tiles\":[");
  for (int i = 0; i < 4; ++i)
    n += std::snprintf(buffer + n, sizeof buffer - n, "%s[%d,%d,%d,%d,%d]", i ? "," : "", s.TileX(i), s.TileY(i),
                       s.Master(i).width(), s.Master(i).height(), TileAction[i] == 1 ? 1 : 0);
  std::snprintf(buffer + n, sizeof buffer - n, "]}");
  return buffer;
}

std::string frame_file(const std::string& outdir, long long frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05lld.bmp", frame);
  return utf8(from_utf8(outdir) / name);
}

}  // namespace

int main(int argc, char** argv) {
  const char* problem = nullptr;
  std::optional<Options> options = parse(argc, argv, problem);
  if (!options) return usage(problem);
  const Options& o = *options;

  ScopedMemoryPlatform mp;
  std::string error;
  if (!read_bmp(o.desktop, mp->desktop, &error) || mp->desktop.empty()) {
    std::fprintf(stderr, "virelta-render: cannot read %s: %s\n", o.desktop.c_str(), error.c_str());
    return 1;
  }
  mp->screen_info.width = mp->desktop.width();
  mp->screen_info.height = mp->desktop.height();
  mp->on_message = [](const RecordedMessage& m) {
    std::fprintf(stderr, "message box \"%s\": %s\n", m.title.c_str(), m.text.c_str());
  };
  if (!load_settings(o.settings)) {
    std::fprintf(stderr, "virelta-render: cannot read the settings file %s\n", o.settings->c_str());
    return 1;
  }
  program_random().set_fixed_clock_seed(o.seed);
  std::error_code ec;
  if (o.write != WriteMode::None) fs::create_directories(from_utf8(o.outdir), ec);
  if (o.steps == 0) return 0;

  // Step costs in processor time (std::clock) and in wall time: on a shared
  // machine the first is the steadier figure.
  using Clock = std::chrono::steady_clock;
  struct Mark {
    Clock::time_point wall;
    std::clock_t cpu;
  };
  auto mark = [] { return Mark{Clock::now(), std::clock()}; };
  std::vector<double> step_wall_ms, step_cpu_ms;
  std::optional<Mark> after_step;
  long long frame = 0, cycle = 1;
  bool write_failed = false;

  saver::Virelta_S saver;
  saver.on_frame = [&](std::optional<int> angle) {
    // A step's cost: from the end of the previous step's frame to this one
    // (four rotations, the tile copies, the refresh and the event pump).
    if (angle && after_step) {
      Mark now = mark();
      step_wall_ms.push_back(std::chrono::duration<double, std::milli>(now.wall - after_step->wall).count());
      step_cpu_ms.push_back(1000.0 * static_cast<double>(now.cpu - after_step->cpu) / CLOCKS_PER_SEC);
    }
    ++frame;
    std::printf("%s\n", frame_json(frame, cycle, angle, saver).c_str());
    std::fflush(stdout);
    if (o.write == WriteMode::All || (o.write == WriteMode::Last && frame == o.steps))
      write_failed |= !write_bmp(frame_file(o.outdir, frame), saver.Display.image());
    if (!angle) ++cycle;
    if (frame >= o.steps) platform().end_program(0);
    after_step = angle ? std::optional<Mark>(mark()) : std::nullopt;
  };

  try {
    saver.form.load();
    for (;;) mp->advance(1);
  } catch (const ProgramEnded&) {
  }

  if (!step_cpu_ms.empty()) {
    auto median = [](std::vector<double> v) {
      std::sort(v.begin(), v.end());
      return v[v.size() / 2];
    };
    double cpu_sum = 0;
    for (double v : step_cpu_ms) cpu_sum += v;
    std::fprintf(stderr, "step cost on %dx%d over %zu steps: processor time mean %.3f ms, median wall time %.3f ms\n",
                 mp->desktop.width(), mp->desktop.height(), step_cpu_ms.size(), cpu_sum / step_cpu_ms.size(),
                 median(step_wall_ms));
  }
  if (write_failed) {
    std::fprintf(stderr, "virelta-render: cannot write frames to %s\n", o.outdir.c_str());
    return 1;
  }
  return 0;
}
