// The Effects Lab's menus: one item for every public member of the engine.
// The menu is data, so that the Win32 frame builds its menu bar from it and
// tests walk it without a screen.
#pragma once

#include <string>
#include <vector>

namespace virelta::lab {

enum class Command {
  None = 0,
  Open,
  Save,
  ChooseColour,
  Exit,
  Rotate,
  PalEffects,
  PixelEffects,
  IncrementalPalEffects,
  ColorXEffects,
  Magnify,
  AutoDraw,
  DrawNow,
  Undo,
  UndoDontDraw,
  Reset,
};

struct MenuItem {
  std::string caption;  // "&" marks the access key; empty: a separator
  Command command = Command::None;
  std::vector<MenuItem> children;  // a drop-down menu when not empty
};

// An effect member asked for with arguments.
struct EffectMember {
  Command command;
  std::string member;
  std::string signature;
  std::string hint;  // what the op codes do
  std::string first_arguments;
};

const std::vector<MenuItem>& menu_bar();
const std::vector<EffectMember>& effect_members();
// The effect member of a command, or null.
const EffectMember* effect_member(Command command);

}  // namespace virelta::lab
