// Virelta_P: the settings dialog. Four tiles (shown or not, height, width,
// random size), the rotation speed, the number of turns and anti-aliasing.
// The Action, Random and anti-alias flags are changed in the shared settings
// state at every click; sizes, speed and turns live in the spin buttons until
// Set saves everything to the settings file.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/form_layer.h"
#include "controls/command.h"
#include "settings_dialog/dialog_texts.h"

namespace virelta::settings_dialog {

class Virelta_P : public Window {
 public:
  // In the display language's texts unless others are given.
  explicit Virelta_P(const DialogTexts& texts = dialog_texts());
  ~Virelta_P() override;

  // Controls, by their names.
  std::array<Surface*, 2> Pic_C{};
  std::array<Picture*, 4> Img_Action{}, Img_Rdm{};
  std::array<Label*, 4> lbl_Action{}, lbl_Rdm{}, lbl_Height{}, lbl_Width{};
  std::array<SpinButton*, 4> VS_Height{}, VS_Width{};
  SpinButton* VS_Fast = nullptr;
  SpinButton* VS_Kaiten = nullptr;
  Label* lbl_Fast = nullptr;
  Label* lbl_Kaiten = nullptr;
  std::array<Picture*, 2> Img_Anti{}, Img_Ra{};
  std::array<Label*, 2> lbl_Anti{};
  std::array<Shape*, 4> shapes{};  // Shape1 .. Shape4
  std::array<Line*, 3> Line1{};
  std::vector<Label*> lbl;  // the static texts
  Label* lbl_URL = nullptr;
  Command* Cmd_Set = nullptr;
  Command* Cmd_Can = nullptr;

  // Finds a control by name and index (-1 for a single control).
  Control* control(const std::string& name, int index = -1) const;

  // The settings file the dialog saves to.
  std::string settings_file() const;

 private:
  void build();
  void apply_texts();
  void wire_keyboard();
  void Form_Load();
  void Form_Resize();
  void Form_Unload();
  void toggle_action(int index);
  void toggle_random(int index);
  void toggle_anti_alias();
  void Cmd_Set_Click();
  void Cmd_Can_Click();
  void lbl_URL_Click();
  void show_mark(Picture* mark, int flag);
  const char* flag_text(int flag) const;

  const DialogTexts& texts_;
  std::vector<std::unique_ptr<Control>> owned_;
  std::map<std::pair<std::string, int>, Control*> by_name_;
};

// Visits every control of the form (inside its panels too); each Command
// button is initialised (Initialise True) or has Enabled set to BytEnabled.
void InitialiseButtons(Surface& FrmForm, bool Initialise, bool BytEnabled);

}  // namespace virelta::settings_dialog
