#include "saver/saver_entry.h"

#include <memory>

#include "saver/virelta_r.h"
#include "saver/virelta_s.h"

namespace virelta::saver {

namespace {
// Each window lives until the program ends: the platform ends the program
// from inside the windows' own handlers.
std::unique_ptr<Virelta_S> saver;
std::unique_ptr<Virelta_R> preview;
}  // namespace

void load_saver_window() {
  saver = std::make_unique<Virelta_S>();
  saver->form.load();
}

void show_preview_window(const std::string& command_line) {
  preview = std::make_unique<Virelta_R>();
  preview->start(command_line);
}

Virelta_S* saver_window() { return saver.get(); }
Virelta_R* preview_window() { return preview.get(); }

void release_windows() {
  saver.reset();
  preview.reset();
}

}  // namespace virelta::saver
