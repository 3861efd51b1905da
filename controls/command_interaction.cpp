// How the Command button follows the mouse and the focus. ButtonState:
// 1 normal, 2 hovered, 3 focused, 4 focused and hovered.
#include "controls/command.h"

namespace virelta {

void Command::UserControl_MouseMove(const MouseEvent&) {
  if (!enabled_value_) return;
  if (button_state_ == 1) {
    button_state_ = 2;
    on_error_resume_next([&] { PaintSkin(SkinName::HighLight); });
  } else if (button_state_ == 3 && !left_button_held_) {
    // Not while the left button is held: a press that left the button and
    // came back stays cancelled.
    button_state_ = 4;
    on_error_resume_next([&] { PaintSkin(SkinName::HighLightSelect); });
  }
}

void Command::UserControl_MouseDown(const MouseEvent& event) {
  if (!enabled_value_ || event.button != kLeftButton) return;
  on_error_resume_next([&] { PaintSkin(SkinName::Pressed); });
  left_button_held_ = true;
}

void Command::UserControl_MouseUp(const MouseEvent& event) {
  if (!enabled_value_) return;
  if (event.button == kLeftButton) {
    if (button_state_ == 2) on_error_resume_next([&] { PaintSkin(SkinName::Normal); });
    if (button_state_ == 4) on_error_resume_next([&] { PaintSkin(SkinName::HighLightSelect); });
    left_button_held_ = false;
  }
  // State 3: the timer saw the cursor leave while a button was down.
  if (button_state_ != 3 && Click) on_error_resume_next([&] { Click(); });
}

void Command::UserControl_GotFocus() {
  if (!enabled_value_) return;
  if (button_state_ == 2) {
    button_state_ = 4;
    on_error_resume_next([&] { PaintSkin(SkinName::Pressed); });
  } else {
    button_state_ = 3;
    on_error_resume_next([&] { PaintSkin(SkinName::Selected); });
  }
}

// Keys, as a push button takes them: Space shows the pressed look while it
// is down and clicks on its release; Enter clicks at once.
bool Command::UserControl_KeyDown(int key_code, int shift) {
  if (!enabled_value_ || (shift & (kCtrlMask | kAltMask)) != 0) return false;
  if (key_code == kKeySpace) {
    if (!space_held_) on_error_resume_next([&] { PaintSkin(SkinName::Pressed); });
    space_held_ = true;
    return true;
  }
  if (key_code != kKeyEnter) return false;
  if (Click) on_error_resume_next([&] { Click(); });
  return true;
}

void Command::UserControl_KeyUp(int key_code) {
  if (key_code != kKeySpace || !space_held_) return;
  space_held_ = false;
  if (!enabled_value_) return;
  on_error_resume_next([&] { PaintSkin(button_state_ == 4 ? SkinName::HighLightSelect : SkinName::Selected); });
  if (Click) on_error_resume_next([&] { Click(); });
}

void Command::UserControl_LostFocus() {
  if (space_held_) space_held_ = false;  // a Space released elsewhere clicks nothing
  if (!enabled_value_ || button_state_ == 1) return;
  button_state_ = 1;
  on_error_resume_next([&] { PaintSkin(SkinName::Normal); });
}

void Command::UserControl_Resize() { ApplyEnabled(); }

void Command::TmrMouse_Timer() {
  if (!enabled_value_) return;
  // The caption label has no window of its own: over it, the platform
  // reports the button.
  on_error_resume_next([&] {
    if (platform().control_under_cursor() != this) HandleMouseLeave();
  });
}

void Command::HandleMouseLeave() {
  if (!enabled_value_) return;
  if (button_state_ == 2) {
    button_state_ = 1;
    on_error_resume_next([&] { PaintSkin(SkinName::Normal); });
  } else if (button_state_ == 4) {
    button_state_ = 3;
    on_error_resume_next([&] { PaintSkin(SkinName::Selected); });
  }
}

}  // namespace virelta
