// virelta: the saver window run on an X server, the way xscreensaver runs
// its programs (-root, -window-id, XSCREENSAVER_WINDOW) or in a window of its
// own that a key or a click ends.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "saver/virelta_s.h"
#include "platforms/x11/options.h"
#include "platforms/x11/x11_platform.h"

using namespace virelta;

int main(int argc, char** argv) {
  std::string problem;
  const std::optional<x11::Options> parsed =
      x11::parse_options({argv + 1, argv + argc}, std::getenv("XSCREENSAVER_WINDOW"), problem);
  if (!parsed) {
    std::fprintf(stderr, "virelta: %s\n%s", problem.c_str(), x11::kUsage);
    return 2;
  }
  const x11::Options& options = *parsed;
  if (options.help) {
    std::fputs(x11::kUsage, stdout);
    return 0;
  }
  if (!x11::apply_settings(options)) {
    std::fprintf(stderr, "virelta: cannot read the settings file %s\n", options.settings_file->c_str());
    return 2;
  }

  std::unique_ptr<x11::X11Platform> platform;
  try {
    platform = std::make_unique<x11::X11Platform>(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "virelta: %s\n", e.what());
    return 1;
  }
  set_platform(platform.get());
  if (options.seed) program_random().set_fixed_clock_seed(static_cast<double>(*options.seed));

  // Frames as the saver shows them: one per step, one per cycle's reset.
  using Clock = std::chrono::steady_clock;
  long frames = 0, frames_counted = 1;
  Clock::time_point since = Clock::now();
  saver::Virelta_S saver;
  saver.on_frame = [&](std::optional<int>) {
    if (++frames == 1) since = Clock::now();  // start-up is not a frame
    if (options.fps) {
      const double seconds = std::chrono::duration<double>(Clock::now() - since).count();
      if (seconds >= 1) {
        std::printf("virelta: %.1f frames a second\n", static_cast<double>(frames - frames_counted) / seconds);
        std::fflush(stdout);
        frames_counted = frames;
        since = Clock::now();
      }
    }
    if (options.frames && frames >= options.frames) platform->end_program(0);
  };
  saver.form.load();
  platform->run(saver.form);
}
