// The settings dialog's two buttons on an in-memory window, read from their
// stored properties and initialised as the dialog does; what a user sees.
#pragma once

#include <gtest/gtest.h>

#include <array>

#include "platforms/memory/memory_form_layer.h"
#include "controls/command.h"
#include "controls/dialog_buttons.h"
#include "controls/skins.h"

namespace virelta::command_test {

constexpr std::uint32_t kBorderBlue = 0x003C74;

// The looks a user can tell apart (HighLight and HighLightSelect are one picture):
// the skin whose top-left corner and top edge, all different, the button shows.
enum class Look { Normal, HighLight, Pressed, Disable, Selected, Unknown };
inline Look look_of(const Command& b) {
  for (int i = 0; i < 5 && b.width() > 8; ++i) {
    const Image& skin = skin_picture(std::array{SkinName::Normal, SkinName::HighLight, SkinName::Pressed,
                                                SkinName::Disable, SkinName::Selected}[i]);
    if (b.image().at(5, 2) == skin.at(30, 2) && b.image().at(2, 3) == skin.at(2, 3)) return static_cast<Look>(i);
  }
  return Look::Unknown;
}

inline int red_of(std::uint32_t pixel) { return static_cast<int>((pixel >> 16) & 0xFF); }

// Normal: the face runs white at the top to lavender grey; reversed the other way.
inline bool face_runs_reversed(const Command& b) {
  return red_of(b.image().at(b.width() / 2, 4)) < red_of(b.image().at(b.width() / 2, b.height() - 5));
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
