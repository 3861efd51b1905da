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

std::string decimal(int value) { return std::to_string(value); }
}  // namespace

Virelta_P::Virelta_P(const DialogTexts& texts) : Window("Virelta_P"), texts_(texts) {
  set_caption(texts_.caption);
  border = BorderStyle::FixedSingle;
  min_button = false;
  max_button = false;
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
  apply_texts();
  wire_keyboard();
}

const char* Virelta_P::flag_text(int flag) const { return flag != 0 ? texts_.on : texts_.off; }

void Virelta_P::apply_texts() {
  const DialogTexts& t = texts_;
  const std::pair<int, const char*> statics[] = {{0, t.tile_title}, {1, t.head_action}, {2, t.head_height},
                                                 {3, t.head_width}, {4, t.head_random}, {9, t.speed},
                                                 {10, t.turns},     {11, t.anti_alias}};
  for (auto [index, text] : statics) lbl[index]->set_caption(text);
  lbl_Anti[0]->set_caption(t.on);
  lbl_Anti[1]->set_caption(t.off);
  for (const auto& [key, c] : by_name_)
    if (c->kind() == Control::Kind::Label) static_cast<Label*>(c)->font = t.font;
  for (Command* button : {Cmd_Set, Cmd_Can}) {
    button->Font(t.font);
    button->accessible_name = button == Cmd_Set ? t.set : t.cancel;
    button->Caption(button->accessible_name);
  }
  // Names for screen readers: a mark or spin button is called by its column
  // and tile, the link by its address.
  for (int i = 0; i < 4; ++i) {
    const std::string tile = " " + std::to_string(i + 1);
    auto check_box = [this](Picture* mark, std::string name) {
      mark->accessible_name = std::move(name);
      mark->accessible_role = Role::CheckBox;
      mark->accessible_checked = [this, mark] { return mark->picture() == Img_Ra[1]->picture(); };
    };
    check_box(Img_Action[i], t.name_action + tile);
    check_box(Img_Rdm[i], t.name_random + tile);
    if (i < 2) check_box(Img_Anti[i], i == 0 ? t.name_anti_off : t.name_anti_on);
    VS_Height[i]->accessible_name = t.name_height + tile;
    VS_Width[i]->accessible_name = t.name_width + tile;
  }
  VS_Fast->accessible_name = t.speed;
  VS_Kaiten->accessible_name = t.turns;
  lbl_URL->accessible_name = lbl_URL->caption();
  lbl_URL->accessible_role = Role::Link;
}

void Virelta_P::wire_keyboard() {
  // Space works a focused mark as a press does; Space or Enter follows the link.
  auto on_space = [](Control* c, std::function<void()> act, bool enter_too) {
    c->tab_stop = true;
    c->on_key_press = [act = std::move(act), enter_too](int key, int shift) {
      if (shift != 0 || !(key == kKeySpace || (enter_too && key == kKeyEnter))) return false;
      on_error_resume_next(act);
      return true;
    };
  };
  for (int i = 0; i < 4; ++i) {
    on_space(Img_Action[i], [this, i] { toggle_action(i); }, false);
    on_space(Img_Rdm[i], [this, i] { toggle_random(i); }, false);
    tab_order.insert(tab_order.end(), {Img_Action[i], VS_Height[i], VS_Width[i], Img_Rdm[i]});
  }
  for (Picture* mark : Img_Anti) on_space(mark, [this] { toggle_anti_alias(); }, false);
  on_space(lbl_URL, [this] { lbl_URL_Click(); }, true);
  tab_order.insert(tab_order.end(), {VS_Fast, VS_Kaiten, Img_Anti[0], Img_Anti[1], Cmd_Set, Cmd_Can, lbl_URL});
  // Enter is Set wherever the focus is (a focused button or link takes it
  // first); Esc is Cancel.
  on_default_key = [this] { Cmd_Set_Click(); };
  on_cancel_key = [this] { Cmd_Can_Click(); };
}

void Virelta_P::show_mark(Picture* mark, int flag) {
  // Only flags 0 and 1 have a mark picture; any other value is an error
  // the caller skips, leaving the mark as it was.
  if (flag != 0 && flag != 1) raise(ErrorNumber::SubscriptOutOfRange);
  mark->set_picture(Img_Ra[flag]->picture());
}

void Virelta_P::Form_Load() {
  // The Screen Saver Settings window names itself after /c: the dialog
  // belongs to it and opens centred in front of it. Without one it has a
  // taskbar button of its own, so it cannot get lost behind other windows.
  std::optional<Rect> owner_rect;
  on_error_resume_next([&] {
    std::optional<std::uintptr_t> named = handle_after_switch(platform().command_line());
    if (named && system_calls().is_window(*named)) owner_rect = system_calls().window_rect(*named);
    owner = owner_rect ? *named : 0;
    show_in_taskbar = !owner_rect;
  });
  if (owner_rect) {
    on_error_resume_next([&] {
      const Rect outer = outer_bounds.empty() ? bounds() : outer_bounds;
      const Rect screen = primary_monitor(platform().screen());
      int left = owner_rect->left + (owner_rect->width - outer.width) / 2;
      int top = owner_rect->top + (owner_rect->height - outer.height) / 2;
      left = std::clamp(left, screen.left, std::max(screen.left, screen.right() - outer.width));
      top = std::clamp(top, screen.top, std::max(screen.top, screen.bottom() - outer.height));
      move(left, top, width(), height());
    });
  } else on_error_resume_next([&] {
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
  on_error_resume_next([&] { tab_stops().at(0)->set_focus(); });
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
    platform().message_box(caption(), std::string(texts_.save_failed) + "\n" + settings_file(), MessageIcon::Critical);
    return;
  }
  unload();
}

void Virelta_P::Cmd_Can_Click() { unload(); }

void Virelta_P::lbl_URL_Click() {
  on_error_resume_next([&] { platform().set_mouse_pointer(kHourglassPointer); });
  on_error_resume_next([&] { system_calls().shell_open(handle(), lbl_URL->caption()); });
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
