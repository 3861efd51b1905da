// Virelta_R, the preview: a still picture of the effect shown as a child of
// the host window that the system's display settings name on the command
// line. It lives exactly as long as that host window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "forms/form_layer.h"

namespace virelta::saver {

// The host window named on the command line: the text from its fourth
// character on read as a number (leading digits, so /p 1234 and /p:1234 both
// give 1234) and made whole. Nothing when that is 0 or does not fit 32 bits.
std::optional<std::uintptr_t> preview_host_handle(const std::string& command_line);

class Virelta_R {
 public:
  Virelta_R();
  Virelta_R(const Virelta_R&) = delete;
  Virelta_R& operator=(const Virelta_R&) = delete;

  Window form;
  Picture Img_Prev;

  // Preview start-up: embeds the window in the host and shows the picture.
  // A missing host, or a handle that names no window, ends the program at
  // once (nothing would ever close an unparented preview).
  void start(const std::string& command_line);
  void Form_Unload();
};

}  // namespace virelta::saver
