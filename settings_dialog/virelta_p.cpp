#include "settings_dialog/virelta_p.h"

#include "settings/settings.h"
#include "settings/settings_location.h"
#include "startup/virelta_b.h"
#include "controls/dialog_buttons.h"
#include "settings_dialog/background.h"
#include "settings_dialog/marks.h"
#include "settings_dialog/settings_layout.h"

namespace virelta::settings_dialog {

namespace {
// A flag's text: "有効" for any value but 0.
const char* flag_text(int flag) { return flag != 0 ? kOn : kOff; }

std::string decimal(int value) { return std::to_string(value); }
}  // namespace

Virelta_P::Virelta_P() : Window("Virelta_P") {
  set_caption(kSettingsCaption);
  border = BorderStyle::FixedSingle;
  min_button = false;
  max_button = false;
  show_in_taskbar = false;
  icon_resource = 1;
  set_client_size(pixels_from_twips_x(kClientWidthTwips), pixels_from_twips_y(kClientHeightTwips));
  build();
  on_load = [this] { Form_Load(); };
  on_resize = [this] { Form_Resize(); };
  on_unload = [this] { Form_Unload(); };
}

Virelta_P::~Virelta_P() {
  // Controls go before the window they lie in, last created first.
  while (!owned_.empty()) owned_.pop_back();
}

Control* Virelta_P::control(const std::string& name, int index) const {
  auto it = by_name_.find({name, index});
  return it == by_name_.end() ? nullptr : it->second;
}

std::string Virelta_P::settings_file() const { return settings_file_path(settings_folder_for_writing()); }

void Virelta_P::build() {
  auto container_of = [this](Where where) -> Surface* {
    switch (where) {
      case Where::TilePanel: return Pic_C[0];
      case Where::GlobalPanel: return Pic_C[1];
      case Where::Window: break;
    }
    return this;
  };
  for (const LayoutEntry& e : settings_layout()) {
    Surface* parent = container_of(e.where);
    std::string full_name = e.index >= 0 ? e.name + "(" + std::to_string(e.index) + ")" : e.name;
    std::unique_ptr<Control> made;
    switch (e.what) {
      case What::Panel: {
        auto panel = std::make_unique<Surface>(parent, full_name);
        Pic_C[e.index] = panel.get();
        made = std::move(panel);
        break;
      }
      case What::Label: {
        auto label = std::make_unique<Label>(parent, full_name, e.text);
        label->alignment = e.alignment;
        label->fore_color = e.colour;
        label->font.underline = e.underline;
        // Every label sizes itself to its text, from its laid-out corner, so
        // nothing is cut at any DPI or with a substitute font.
        label->auto_size = true;
        made = std::move(label);
        break;
      }
      case What::Mark:
      case What::MarkStore:
        made = std::make_unique<Picture>(parent, full_name);
        break;
      case What::Spin:
        made = std::make_unique<SpinButton>(parent, full_name, e.spin_min, e.spin_max, e.spin_value);
        break;
      case What::Shape:
        made = std::make_unique<Shape>(parent, full_name);
        break;
      case What::Line: {
        auto line = std::make_unique<Line>(parent, full_name);
        line->border_color = e.colour;
        made = std::move(line);
        break;
      }
      case What::Button: {
        auto button = std::make_unique<Command>(parent, full_name);
        button->ambient_font = Font{};
        button->ReadProperties(stored_button_properties(e.name));
        made = std::move(button);
        break;
      }
    }
    if (e.what == What::Line) {
      static_cast<Line&>(*made).set_points(pixels_from_twips_x(e.left), pixels_from_twips_y(e.top),
                                           pixels_from_twips_x(e.width), pixels_from_twips_y(e.height));
    } else {
      made->move_twips(e.left, e.top, e.width, e.height);
    }
    by_name_[{e.name, e.index}] = made.get();
    owned_.push_back(std::move(made));
  }

  auto get = [this](const char* name, int index) { return control(name, index); };
  for (int i = 0; i < 4; ++i) {
    Img_Action[i] = static_cast<Picture*>(get("Img_Action", i));
    lbl_Action[i] = static_cast<Label*>(get("lbl_Action", i));
    VS_Height[i] = static_cast<SpinButton*>(get("VS_Height", i));
    lbl_Height[i] = static_cast<Label*>(get("lbl_Height", i));
    VS_Width[i] = static_cast<SpinButton*>(get("VS_Width", i));
    lbl_Width[i] = static_cast<Label*>(get("lbl_Width", i));
    Img_Rdm[i] = static_cast<Picture*>(get("Img_Rdm", i));
    lbl_Rdm[i] = static_cast<Label*>(get("lbl_Rdm", i));
  }
  VS_Fast = static_cast<SpinButton*>(get("VS_Fast", -1));
  VS_Kaiten = static_cast<SpinButton*>(get("VS_Kaiten", -1));
  lbl_Fast = static_cast<Label*>(get("lbl_Fast", -1));
  lbl_Kaiten = static_cast<Label*>(get("lbl_Kaiten", -1));
  for (int i = 0; i < 2; ++i) {
    Img_Anti[i] = static_cast<Picture*>(get("Img_Anti", i));
    lbl_Anti[i] = static_cast<Label*>(get("lbl_Anti", i));
    Img_Ra[i] = static_cast<Picture*>(get("Img_Ra", i));
  }
  for (int i = 0; i < 4; ++i) shapes[i] = static_cast<Shape*>(get(("Shape" + std::to_string(i + 1)).c_str(), -1));
  for (int i = 0; i < 3; ++i) Line1[i] = static_cast<Line*>(get("Line1", i));
  for (int i = 0; i < 13; ++i) lbl.push_back(static_cast<Label*>(get("lbl", i)));
  lbl_URL = static_cast<Label*>(get("lbl_URL", -1));
  Cmd_Set = static_cast<Command*>(get("Cmd_Set", -1));
  Cmd_Can = static_cast<Command*>(get("Cmd_Can", -1));

  Img_Ra[0]->set_picture(&unchecked_mark());
  Img_Ra[1]->set_picture(&checked_mark());

  // Event wiring: a press with any button on a mark or its label toggles it.
  for (int i = 0; i < 4; ++i) {
    auto action = [this, i](const MouseEvent&) { on_error_resume_next([&] { toggle_action(i); }); };
    auto random = [this, i](const MouseEvent&) { on_error_resume_next([&] { toggle_random(i); }); };
    Img_Action[i]->on_mouse_down = action;
    lbl_Action[i]->on_mouse_down = action;
    Img_Rdm[i]->on_mouse_down = random;
    lbl_Rdm[i]->on_mouse_down = random;
    VS_Height[i]->on_change = [this, i] { lbl_Height[i]->set_caption(decimal(VS_Height[i]->value())); };
    VS_Width[i]->on_change = [this, i] { lbl_Width[i]->set_caption(decimal(VS_Width[i]->value())); };
  }
  for (int i = 0; i < 2; ++i) {
    auto anti = [this](const MouseEvent&) { on_error_resume_next([&] { toggle_anti_alias(); }); };
    Img_Anti[i]->on_mouse_down = anti;
    lbl_Anti[i]->on_mouse_down = anti;
  }
  VS_Fast->on_change = [this] { lbl_Fast->set_caption(decimal(VS_Fast->value())); };
  VS_Kaiten->on_change = [this] { lbl_Kaiten->set_caption(decimal(VS_Kaiten->value())); };
  Cmd_Set->Click = [this] { Cmd_Set_Click(); };
  Cmd_Can->Click = [this] { Cmd_Can_Click(); };
  lbl_URL->on_click = [this] { lbl_URL_Click(); };
}

void Virelta_P::show_mark(Picture* mark, int flag) {
  // Only flags 0 and 1 have a mark picture; any other value is an error
  // the caller skips, leaving the mark as it was.
  if (flag != 0 && flag != 1) raise(ErrorNumber::SubscriptOutOfRange);
  mark->set_picture(Img_Ra[flag]->picture());
}

void Virelta_P::Form_Load() {
  on_error_resume_next([&] {
    // Centred on the primary monitor, not across all of them.
    const ScreenInfo info = platform().screen();
    const Rect screen = primary_monitor(info);
    double screen_w = screen.width * info.twips_per_pixel_x, screen_h = screen.height * info.twips_per_pixel_y;
    Rect outer = outer_bounds.empty() ? bounds() : outer_bounds;
    double window_w = twips_x(outer.width), window_h = twips_y(outer.height);
    long long left = static_cast<long long>(round_half_even(screen_w - window_w)) / 2;
    long long top = static_cast<long long>(round_half_even(screen_h - window_h)) / 3;
    move(screen.left + pixels_from_twips_x(static_cast<double>(left)),
         screen.top + pixels_from_twips_y(static_cast<double>(top)), width(), height());
  });
  on_error_resume_next([&] { InitialiseButtons(*this, true, true); });
  // A hand-edited file may hold any number. The dialog takes each value the
  // way the saver would use it (a click then goes between 0 and 1, a spin
  // button holds its number), so what it shows is what Set writes.
  hold_settings_to_ranges();
  auto load_number = [&](SpinButton* spin, Label* label, int stored) {
    on_error_resume_next([&] { spin->set_value(stored); });
    on_error_resume_next([&] { label->set_caption(decimal(spin->value())); });
  };
  for (int i = 0; i < 4; ++i) {
    on_error_resume_next([&] { show_mark(Img_Action[i], TileAction[i]); });
    on_error_resume_next([&] { lbl_Action[i]->set_caption(flag_text(TileAction[i])); });
    on_error_resume_next([&] { show_mark(Img_Rdm[i], TileRandom[i]); });
    on_error_resume_next([&] { lbl_Rdm[i]->set_caption(flag_text(TileRandom[i])); });
    load_number(VS_Height[i], lbl_Height[i], TileHeight[i]);
    load_number(VS_Width[i], lbl_Width[i], TileWidth[i]);
  }
  load_number(VS_Fast, lbl_Fast, RotationSpeed);
  load_number(VS_Kaiten, lbl_Kaiten, TurnCount);
  const int a = AntiAliasSetting;
  on_error_resume_next([&] { show_mark(Img_Anti.at(a), 1); });
  on_error_resume_next([&] { show_mark(Img_Anti.at(a ^ 1), 0); });
  on_error_resume_next([&] { lbl_URL->mouse_pointer = kCustomPointer; });
  on_error_resume_next([&] {
    std::optional<Point> cursor = platform().cursor_position();
    LastApiResult = cursor ? 1 : 0;
    if (cursor) {
      ZoomOriginX = narrow_integer(cursor->x);
      ZoomOriginY = narrow_integer(cursor->y);
    } else {
      ZoomOriginX = 0;
      ZoomOriginY = 0;
    }
  });
  on_error_resume_next([&] { ZoomWindowOpen(handle()); });
}

void Virelta_P::Form_Resize() {
  on_error_resume_next([&] { paint_background(*this); });
  on_error_resume_next([&] { paint_background(*Pic_C[0]); });
  on_error_resume_next([&] { paint_background(*Pic_C[1]); });
}

void Virelta_P::Form_Unload() {
  on_error_resume_next([&] { ZoomWindowClose(handle()); });
}

void Virelta_P::toggle_action(int i) {
  TileAction[i] = static_cast<Integer>(TileAction[i] ^ 1);
  on_error_resume_next([&] { show_mark(Img_Action[i], TileAction[i]); });
  lbl_Action[i]->set_caption(flag_text(TileAction[i]));
}

void Virelta_P::toggle_random(int i) {
  TileRandom[i] = static_cast<Integer>(TileRandom[i] ^ 1);
  on_error_resume_next([&] { show_mark(Img_Rdm[i], TileRandom[i]); });
  lbl_Rdm[i]->set_caption(flag_text(TileRandom[i]));
}

void Virelta_P::toggle_anti_alias() {
  AntiAliasSetting = static_cast<Integer>(AntiAliasSetting ^ 1);
  const int a = AntiAliasSetting;
  on_error_resume_next([&] { show_mark(Img_Anti.at(a), 1); });
  on_error_resume_next([&] { show_mark(Img_Anti.at(a ^ 1), 0); });
}

void Virelta_P::Cmd_Set_Click() {
  const std::string section(kSettingsSection);
  bool all_written = true;
  // The file path is built anew for every write.
  auto write = [&](const std::string& key, int value) {
    on_error_resume_next([&] {
      if (!WriteIniValue(section, key, number_to_text(value), settings_file())) all_written = false;
    });
  };
  // The spin buttons' numbers join the flags in the shared state, and the
  // state goes to the file key by key.
  for (int i = 0; i < 4; ++i) {
    TileHeight[i] = narrow_integer(VS_Height[i]->value());
    TileWidth[i] = narrow_integer(VS_Width[i]->value());
  }
  RotationSpeed = narrow_integer(VS_Fast->value());
  TurnCount = narrow_integer(VS_Kaiten->value());
  for_each_setting([&](const std::string& key, Integer value, const Setting&, int) { write(key, value); });
  if (!all_written) {
    // Closing now would lose every choice without a word: say so and stay.
    platform().message_box(caption(), "設定を保存できませんでした。\n" + settings_file(), MessageIcon::Critical);
    return;
  }
  unload();
}

void Virelta_P::Cmd_Can_Click() { unload(); }

void Virelta_P::lbl_URL_Click() {
  on_error_resume_next([&] { platform().set_mouse_pointer(kHourglassPointer); });
  on_error_resume_next([&] { platform().shell_open(handle(), lbl_URL->caption()); });
  on_error_resume_next([&] { platform().set_mouse_pointer(kDefaultPointer); });
}

void InitialiseButtons(Surface& FrmForm, bool Initialise, bool BytEnabled) {
  for (Command* button : commands_in(FrmForm)) {
    on_error_resume_next([&] {
      if (Initialise) button->Initialize();
      else button->Enabled(BytEnabled);
    });
  }
}

}  // namespace virelta::settings_dialog
