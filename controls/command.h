// The Command button ("Virelta.Command"): an owner-painted push button that
// draws itself from skin pictures over a white-to-lavender gradient face,
// notices with a 100 ms timer when the cursor has left it, and raises Click.
//
// Use:
//   Command Cmd_Set(&form, "Cmd_Set");
//   Cmd_Set.move_twips(3960, 3060, 1275, 375);
//   Cmd_Set.ReadProperties(stored_button_properties("Cmd_Set"));
//   Cmd_Set.Click = [&] { ... };
//   Cmd_Set.Initialize();  // from Form_Load (see InitialiseButtons)
//
// ButtonState: 0 before Initialize, 1 normal, 2 hovered, 3 focused,
// 4 focused and hovered. A disabled button ignores the mouse, the focus and
// the timer; resizing repaints it (Normal, or Disable when disabled). Every
// procedure skips a failing step and goes on; nothing is reported.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_layer.h"
#include "controls/property_bag.h"
#include "controls/skins.h"

namespace virelta {

inline constexpr std::string_view kCommandClassId = "Virelta.Command";

class Command : public Surface {
 public:
  // A button on `container`, which must lie in a window (the hover timer
  // belongs to that window; otherwise "object not set", 91, is raised).
  // It starts 1755 x 420 twips, as a control placed anew: not yet enabled
  // (painted Disable) until its properties are read or Enabled is read.
  Command(Surface* container, std::string name);
  ~Command() override;

  // ---- Method and event
  // Starts hover tracking: ButtonState 1, the 100 ms timer on. Paints nothing.
  void Initialize();
  // Raised on the release of any mouse button while the button is enabled
  // and ButtonState is not 3 (focused, cursor gone). Not raised by keys.
  std::function<void()> Click;

  // ---- Properties (reading Enabled, FontColour and an opaque Visible
  // repaints the normal or disabled look, whatever the state)
  bool Enabled();
  void Enabled(bool value);
  std::string Caption() const;
  void Caption(const std::string& text);  // the text only: no repaint
  const virelta::Font& Font() const;
  void Font(const virelta::Font& font);
  std::uint32_t FontColour();
  void FontColour(std::uint32_t colour);
  // True: opaque background (style 1); False: transparent (style 0).
  bool Visible();
  void Visible(bool value);

  // ---- Persistence with the containing form
  // Reads Enabled, Caption, Font, FirstRun, FontColour, Visible (missing
  // entries take their defaults), then repaints the normal look.
  void ReadProperties(const PropertyBag& bag);
  // Writes Enabled, Caption, FirstRun, Font, FontColour, Visible, leaving out
  // those equal to their defaults. The caption's default is "Command1" both
  // ways, so every caption comes back as it was stored.
  void WriteProperties(PropertyBag& bag);
  // The container's font: the default of the "Font" entry.
  virelta::Font ambient_font;
  // Told the property's name at every property change (the form must be
  // stored again).
  std::function<void(std::string_view)> on_property_changed;

  // ---- State, for the platform and tests
  std::uint8_t ButtonState() const { return button_state_; }
  bool LeftButtonHeld() const { return left_button_held_; }
  bool FaceReversed() const { return face_reversed_; }
  std::uint8_t FirstRun() const { return first_run_; }
  Integer BackStyle() const { return back_style_; }
  Label& LblMsg() { return *lbl_msg_; }
  const Label& LblMsg() const { return *lbl_msg_; }
  const Timer& TmrMouse() const { return *tmr_mouse_; }

  // Resizing repaints (ApplyEnabled).
  void move(int left, int top, int width, int height) override;

 private:
  // Painting.
  void PaintSkin(const Image& skin);
  void PaintSkin(SkinName skin) { PaintSkin(skin_picture(skin)); }
  void PaintFace();
  void ApplyEnabled();
  void RefreshLook();
  void place_caption();

  // Interaction.
  void UserControl_MouseDown(const MouseEvent& event);
  void UserControl_MouseUp(const MouseEvent& event);
  void UserControl_MouseMove(const MouseEvent& event);
  void UserControl_GotFocus();
  void UserControl_LostFocus();
  void UserControl_Resize();
  void TmrMouse_Timer();
  void HandleMouseLeave();

  void PropertyChanged(std::string_view name);

  std::unique_ptr<Label> lbl_msg_;
  std::unique_ptr<Timer> tmr_mouse_;
  std::uint8_t button_state_ = 0;
  bool left_button_held_ = false;
  bool face_reversed_ = false;
  bool enabled_value_ = false;
  std::uint8_t first_run_ = 0;
  Integer back_style_ = 1;
};

// The control as a Command button, or null when it is something else.
Command* as_command(Control* control);
// Every Command button on the surface and inside its child surfaces, in
// child order (what InitialiseButtons visits).
std::vector<Command*> commands_in(Surface& surface);

}  // namespace virelta
