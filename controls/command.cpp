#include "controls/command.h"

namespace virelta {

namespace {
constexpr int kHoverIntervalMs = 100;
// A control placed anew, and its caption label at design.
constexpr double kNewWidthTwips = 1755, kNewHeightTwips = 420;
constexpr double kLabelWidthTwips = 1635, kLabelHeightTwips = 195;
}  // namespace

Command::Command(Surface* container, std::string name) : Surface(container, std::move(name), false) {
  // It holds the focus: Tab stops at it, a left press gives it the focus,
  // Space and Enter click it.
  focusable = true;
  accessible_role = Role::PushButton;
  attach_peer();
  Window* owner = form();
  if (!owner) raise(ErrorNumber::ObjectNotSet);

  lbl_msg_ = std::make_unique<Label>(this, "LblMsg", "Command");
  Label& label = *lbl_msg_;
  label.fore_color = 0;
  label.alignment = Alignment::Center;
  label.transparent = true;
  // Its height follows the font (a substitute face may draw below 195 twips).
  label.auto_size = true;
  label.move_twips(0, 0, kLabelWidthTwips, kLabelHeightTwips);
  // The label covers most of the button: its mouse events are the button's.
  label.on_mouse_down = [this](const MouseEvent& e) { UserControl_MouseDown(e); };
  label.on_mouse_move = [this](const MouseEvent& e) { UserControl_MouseMove(e); };
  label.on_mouse_up = [this](const MouseEvent& e) { UserControl_MouseUp(e); };

  tmr_mouse_ = std::make_unique<Timer>(*owner, kHoverIntervalMs);
  tmr_mouse_->set_enabled(false);
  tmr_mouse_->on_timer = [this] { TmrMouse_Timer(); };

  on_mouse_down = [this](const MouseEvent& e) { UserControl_MouseDown(e); };
  on_mouse_move = [this](const MouseEvent& e) { UserControl_MouseMove(e); };
  on_mouse_up = [this](const MouseEvent& e) { UserControl_MouseUp(e); };
  on_got_focus = [this] { UserControl_GotFocus(); };
  on_lost_focus = [this] { UserControl_LostFocus(); };
  on_key_press = [this](int key, int shift) { return UserControl_KeyDown(key, shift); };
  on_key_release = [this](int key, int) { UserControl_KeyUp(key); };

  move_twips(0, 0, kNewWidthTwips, kNewHeightTwips);
}

Command::~Command() = default;

void Command::Initialize() {
  button_state_ = 1;
  tmr_mouse_->set_enabled(true);
  tmr_mouse_->set_interval(kHoverIntervalMs);
}

void Command::move(int left, int top, int width, int height) {
  const bool resized = width != this->width() || height != this->height();
  Surface::move(left, top, width, height);
  if (resized) UserControl_Resize();
}

void Command::PropertyChanged(std::string_view name) {
  if (on_property_changed) on_property_changed(name);
}

Command* as_command(Control* control) { return dynamic_cast<Command*>(control); }

namespace {
void collect_commands(Surface& surface, std::vector<Command*>& found) {
  for (Control* child : surface.children()) {
    if (Command* command = as_command(child)) {
      found.push_back(command);
    } else if (auto* inner = dynamic_cast<Surface*>(child)) {
      collect_commands(*inner, found);
    }
  }
}
}  // namespace

std::vector<Command*> commands_in(Surface& surface) {
  std::vector<Command*> found;
  collect_commands(surface, found);
  return found;
}

}  // namespace virelta
