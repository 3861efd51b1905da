// The Effects Lab: one window with a picture box bound to a clsASMpic, and a
// command for every public member of the engine. The window's logic lives
// here, on the form layer; the Win32 frame adds the menu bar, the argument
// dialog and the status line.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "forms/form_layer.h"
#include "effects/cls_asm_pic.h"
#include "lab/lab_menu.h"

namespace virelta::lab {

inline constexpr const char* kLabCaption = "Virelta Effects Lab";
// Height of the status line below the picture box (pixels).
inline constexpr int kStatusHeight = 22;
// The box is never narrower than the menu bar needs, nor larger than this
// part of the screen leaves room for.
inline constexpr int kMinBoxWidth = 320;
inline constexpr int kMinBoxHeight = 120;

class EffectsLab {
 public:
  EffectsLab();
  EffectsLab(const EffectsLab&) = delete;
  EffectsLab& operator=(const EffectsLab&) = delete;

  // Shows the window with the picture file named on the command line (quotes
  // around it allowed), or with the top left of the desktop.
  void start(const std::string& command_line);

  void run(Command command);
  // Runs one call in virelta-fx's syntax ("ASM_Rotate(45,,False)"); an error
  // is shown in a message box and false returned.
  bool run_call(const std::string& text);
  bool checked(Command command) const;

  // Asks the user for the arguments of `member` (nothing: cancelled).
  std::function<std::optional<std::string>(const EffectMember& member, const std::string& initial)> ask_arguments;
  // The status line changed.
  std::function<void()> on_status;

  const std::string& status() const { return status_; }
  // The arguments last typed for a member (its first suggestion before that).
  std::string last_arguments(const EffectMember& member) const;

  Window& form() { return form_; }
  Surface& box() { return box_; }
  effects::clsASMpic& engine() { return engine_; }

 private:
  void set_status(const std::string& text);
  void place(int box_width, int box_height);
  void ask_and_run(const EffectMember& member);

  Window form_;
  Surface box_;
  effects::clsASMpic engine_;
  std::map<std::string, std::string> typed_;
  std::string status_;
};

// "Run-time error 6: Overflow", or the text of a call that was not understood.
std::string error_text(const std::exception& error);
// The picture path of the command line: blanks and surrounding quotes removed.
std::string picture_argument(const std::string& command_line);

}  // namespace virelta::lab
