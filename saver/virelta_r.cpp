#include "saver/virelta_r.h"

#include <algorithm>

#include "startup/virelta_b.h"
#include "saver/preview_picture.h"

namespace virelta::saver {

std::optional<std::uintptr_t> preview_host_handle(const std::string& command_line) {
  return handle_after_switch(command_line);
}

Virelta_R::Virelta_R() : form("Virelta_R"), Img_Prev(&form, "Img_Prev") {
  form.set_caption("Preview Window");
  form.border = BorderStyle::None;
  form.control_box = false;
  form.min_button = false;
  form.max_button = false;
  form.show_in_taskbar = false;
  form.set_back_color(0);
  form.clear();
  Img_Prev.set_picture(&preview_picture());
  Img_Prev.move(0, 0, kPreviewPictureWidth, kPreviewPictureHeight);
  form.on_unload = [this] { Form_Unload(); };
}

void Virelta_R::start(const std::string& command_line) {
  Platform& p = platform();
  // Only a window that exists can host the preview.
  const std::optional<std::uintptr_t> host = preview_host_handle(command_line);
  if (!host || !p.system().is_window(*host)) p.end_program(0);
  // The host's size; the preview takes it whole (no 16-bit twip limit).
  const Rect host_rect = p.system().window_rect(*host).value_or(Rect{});
  // Loaded as a child of the host window.
  form.load();
  p.embed_in(form, *host);
  // The picture keeps its size at the top left; the rest is black.
  const int width = std::max(host_rect.width, 0), height = std::max(host_rect.height, 0);
  form.move(0, 0, width, height);
  form.clear();
  Img_Prev.move(0, 0, width, height);
  form.show();
  // The preview goes with its host, also when the host's process dies and
  // no message tells the child.
  p.watch_window(*host, [this] { form.unload(); });
}

void Virelta_R::Form_Unload() {
  // The preview is the program's only window: when it goes, the program ends.
  platform().end_program(0);
}

}  // namespace virelta::saver
