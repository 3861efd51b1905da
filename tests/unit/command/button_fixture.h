// The settings dialog's two buttons on an in-memory window, read from their
// stored properties and initialised as the dialog does, with helpers that
// tell what the user sees: which skin frames the button and which way the
// face runs.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platforms/memory/memory_form_layer.h"
#include "controls/command.h"
#include "controls/dialog_buttons.h"
#include "controls/skins.h"

namespace virelta::command_test {

// The looks a user can tell apart (HighLight and HighLightSelect are the
// same picture).
enum class Look { Normal, HighLight, Pressed, Disable, Selected, Unknown };

inline const char* look_text(Look look) {
  switch (look) {
    case Look::Normal: return "Normal";
    case Look::HighLight: return "HighLight";
    case Look::Pressed: return "Pressed";
    case Look::Disable: return "Disable";
    case Look::Selected: return "Selected";
    case Look::Unknown: break;
  }
  return "Unknown";
}

// The skin whose top-left corner and top edge the button shows (both copied
// one to one whatever the button's size).
inline Look look_of(const Command& button) {
  const Image& shown = button.image();
  const std::pair<SkinName, Look> candidates[] = {{SkinName::Normal, Look::Normal},
                                                  {SkinName::HighLight, Look::HighLight},
                                                  {SkinName::Pressed, Look::Pressed},
                                                  {SkinName::Disable, Look::Disable},
                                                  {SkinName::Selected, Look::Selected}};
  for (auto [skin, look] : candidates) {
    const Image& picture = skin_picture(skin);
    bool same = true;
    for (int y = 0; y < 4 && same; ++y)
      for (int x = 0; x < 4 && same; ++x) same = shown.at(x, y) == picture.at(x, y);
    for (int y = 0; y < 4 && same; ++y) same = shown.at(5, y) == picture.at(30, y);
    if (same) return look;
  }
  return Look::Unknown;
}

inline int red_of(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }

// The face runs from white at the top to lavender grey at the bottom (the
// normal direction), or the other way (reversed).
inline bool face_runs_reversed(const Command& button) {
  const Image& shown = button.image();
  const int x = button.width() / 2;
  return red_of(shown.at(x, 4)) < red_of(shown.at(x, button.height() - 5));
}

class ButtonFixture : public ::testing::Test {
 protected:
  ButtonFixture() {
    form.set_client_size(460, 244);
    Cmd_Set.move_twips(3960, 3060, 1275, 375);
    Cmd_Can.move_twips(5280, 3060, 1275, 375);
    Cmd_Set.ReadProperties(stored_button_properties("Cmd_Set"));
    Cmd_Can.ReadProperties(stored_button_properties("Cmd_Can"));
    Cmd_Set.Click = [this] { ++clicks; };
    form.show();
    for (Command* button : commands_in(form)) button->Initialize();
  }

  ScopedMemoryPlatform p;
  Window form{"Virelta_P"};
  Command Cmd_Set{&form, "Cmd_Set"};
  Command Cmd_Can{&form, "Cmd_Can"};
  int clicks = 0;
};

}  // namespace virelta::command_test
