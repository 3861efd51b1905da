// The operating system's own calls that the start-up module, the saver and
// the settings dialog make, apart from the form layer. Each returns what the
// system call returned; callers rarely look. Every platform answers each one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "forms/image.h"
#include "runtime/runtime.h"

namespace virelta {

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;
  // A top-level window with exactly this caption (UTF-8) exists.
  virtual bool find_window(const std::string& caption) = 0;
  virtual int show_cursor(bool show) = 0;
  virtual Long system_parameters_info(unsigned action, Long parameter) = 0;
  // GetVersionExA: nothing when the call fails, else the platform identifier
  // (2 for the NT family, 1 for the 9x family).
  virtual std::optional<int> version_platform_id() = 0;
  // The screen rectangle of any window by handle; nothing when it is not one.
  virtual std::optional<Rect> window_rect(std::uintptr_t window) = 0;
  virtual bool is_window(std::uintptr_t window) = 0;
  virtual void draw_animated_rects(std::uintptr_t window, int kind, const Rect& from, const Rect& to) = 0;
  // The 9x password service: nothing when it cannot be reached, else whether
  // the saver may end.
  virtual std::optional<bool> verify_screen_save_password(std::uintptr_t window) = 0;
  // Opens a document or address with the shell ("open").
  virtual Long shell_open(std::uintptr_t window, const std::string& target) = 0;
};

}  // namespace virelta
