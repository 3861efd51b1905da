// Placeholder saver and preview windows: they carry the right captions so
// that start-up and its single-instance guard work end to end.
#include "saver/saver_entry.h"

#include <memory>

#include "app/form_layer.h"
#include "app/virelta_b.h"

namespace virelta::saver {

namespace {
std::unique_ptr<Window> saver_window;
std::unique_ptr<Window> preview_window;
}  // namespace

void load_saver_window() {
  saver_window = std::make_unique<Window>("Virelta_S");
  Window& w = *saver_window;
  w.set_caption(kSaverCaption);
  w.border = BorderStyle::None;
  w.key_preview = true;
  ScreenInfo screen = platform().screen();
  w.move(screen.left, screen.top, screen.width, screen.height);
  w.on_key_down = [](int, int) { platform().end_program(0); };
  w.on_click = [] { platform().end_program(0); };
  w.show();
  w.make_topmost();
}

void show_preview_window(const std::string& command_line) {
  preview_window = std::make_unique<Window>("Virelta_R");
  Window& w = *preview_window;
  w.set_caption("Preview Window");
  w.border = BorderStyle::None;
  std::uintptr_t host = static_cast<std::uintptr_t>(
      static_cast<std::int64_t>(leading_number(command_line.size() > 3 ? command_line.substr(3) : "")));
  if (!platform().is_window(host)) platform().end_program(0);
  platform().embed_in(w, host);
  w.show();
}

}  // namespace virelta::saver
