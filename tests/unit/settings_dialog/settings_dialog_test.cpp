// The settings dialog as a user works it: what it shows after loading, what
// each click changes, and the exact bytes Set writes.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "settings_dialog/marks.h"
#include "settings_dialog/virelta_p.h"
#include "startup/virelta_b.h"
#include "unit/temp_folder.h"

using namespace virelta;
using namespace virelta::settings_dialog;

namespace {

struct Dialog {
  ScopedMemoryPlatform machine;
  virelta::testing::TempFolder dir;
  std::unique_ptr<Virelta_P> form;
  explicit Dialog(const std::string& ini = std::string(), bool japanese = true) {
    if (!ini.empty()) dir.put("Virelta.ini", ini);
    machine->folder = dir.utf8();
    machine->cursor = Point{321, 123};
    machine->japanese = japanese;
    reset_settings();
    LoadSettings(machine->folder);
    form = std::make_unique<Virelta_P>();
    form->show();
  }
  std::string file() const { return dir.bytes("Virelta.ini"); }
  void click(Command& button) {  // the pointer arrives, the press takes the focus, the release clicks
    machine->move_mouse(button);
    machine->press(button);
    machine->focus(button);
    machine->release(button);
  }
  bool checked(Picture* mark) const { return mark->picture() == &checked_mark(); }
  bool unchecked(Picture* mark) const { return mark->picture() == &unchecked_mark(); }
};

// The 19 keys in the order Set writes them; a, r: 2 bytes a tile, h, w: 4.
std::string saved_file(const std::string& a, const std::string& h, const std::string& w, const std::string& r,
                       const std::string& speed, const std::string& turns, const std::string& anti) {
  std::string s = "[Section]\r\n";
  for (int i = 0; i < 4; ++i) {
    const std::string n = std::to_string(i);
    s += "Action" + n + "=" + a.substr(i * 2, 2) + "\r\nHeight" + n + "=" + h.substr(i * 4, 4) + "\r\nWidth" + n +
         "=" + w.substr(i * 4, 4) + "\r\nRandom" + n + "=" + r.substr(i * 2, 2) + "\r\n";
  }
  return s + "\x89\xF1\x93\x5D\x91\xAC\x93\x78=" + speed + "\r\n\x89\xF1\x93\x5D\x90\x94=" + turns +
         "\r\n\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD=" + anti + "\r\n";
}

}  // namespace

TEST(SettingsDialogLoading, HandEditedValuesAreShownAsTheSaverUsesThemAndSavedAsShown) {
  Dialog d(saved_file(" 1 0 1 2", " 300 256 513 256", " 600 256 256 100", " 1-1 0 1", " 25", " 0", " 2"));
  Virelta_P& p = *d.form;
  // Numbers are held to the spin range, label and spin button alike; flags other than 1 are off.
  EXPECT_EQ(p.VS_Width[0]->value(), 512);
  EXPECT_EQ(p.lbl_Action[1]->caption() + p.lbl_Height[0]->caption() + p.lbl_Width[0]->caption() +
                p.lbl_Width[3]->caption() + p.lbl_Fast->caption() + p.lbl_Kaiten->caption(), "無効300512256201");
  EXPECT_TRUE(d.unchecked(p.Img_Action[1]) && d.unchecked(p.Img_Action[3]));
  EXPECT_TRUE(d.checked(p.Img_Anti[0]) && d.unchecked(p.Img_Anti[1]));
  // Set writes all nineteen keys, each number with its sign position, and zooms back to the cursor.
  d.machine->press(*p.Img_Action[3]);
  d.machine->press(*p.Img_Anti[0]);
  p.VS_Fast->step(+1);  // already at its top
  p.VS_Height[2]->step(-1);
  d.click(*p.Cmd_Set);
  EXPECT_FALSE(p.loaded());
  EXPECT_EQ(d.file(), saved_file(" 1 0 1 1", " 300 256 511 256", " 512 256 256 256", " 1 0 0 1", " 20", " 1", " 1"));
  EXPECT_NE(d.machine->calls.back().find(" 321,123,0,0"), std::string::npos);
}

TEST(SettingsDialogControls, MarksAndTheirLabelsToggleWithAnyButton) {
  Dialog d;
  Virelta_P& p = *d.form;
  EXPECT_EQ(p.bounds(), (Rect{(1024 - 452) / 2, 175, 452, 244}));  // (11520 - 3660) \ 3 twips down
  for (int i = 0; i < 3; ++i)  // the separators between the tile rows: 180 to 3900 twips across, 1200 + 420 i down
    EXPECT_TRUE(p.Line1[i] && p.Line1[i]->bounds() == (Rect{12, 80 + 28 * i, 249, 1}) && p.Line1[i]->border_color == 0x800080);
  EXPECT_EQ(d.machine->calls.back().rfind("DrawAnimatedRects 3 321,123,0,0 ", 0), 0u);  // out of the cursor
  d.machine->press(*p.Img_Action[2], kRightButton);
  EXPECT_TRUE(TileAction[2] == 0 && d.unchecked(p.Img_Action[2]) && p.lbl_Action[2]->caption() == "無効");
  d.machine->press(*p.lbl_Action[2], kLeftButton, 1);  // the text toggles too, with shift held
  EXPECT_TRUE(TileAction[2] == 1 && d.checked(p.Img_Action[2]) && p.lbl_Action[2]->caption() == "有効");
  d.machine->double_click(*p.Img_Rdm[1]);  // its second press arrives as a double-click: one toggle
  EXPECT_EQ(TileRandom[1], 0);
  // The anti-aliasing pair is one switch; its texts never change.
  d.machine->press(*p.Img_Anti[1]);
  EXPECT_TRUE(AntiAliasSetting == 0 && d.checked(p.Img_Anti[0]) && d.unchecked(p.Img_Anti[1]) &&
              p.lbl_Anti[1]->caption() == "無効");
  d.machine->press(*p.lbl_Anti[1]);
  EXPECT_TRUE(AntiAliasSetting == 1 && d.checked(p.Img_Anti[1]));
}

TEST(SettingsDialogSaving, AFailedWriteIsToldAndTheDialogStaysWithItsChoices) {
  Dialog d("[Section]\r\n");
  d.form.reset();
  d.machine->cursor = std::nullopt;  // unreadable: the zoom comes from the corner
  d.form = std::make_unique<Virelta_P>();
  d.form->show();
  EXPECT_EQ(d.machine->calls.back().rfind("DrawAnimatedRects 3 0,0,0,0 ", 0), 0u);
  d.machine->press(*d.form->Img_Action[3]);
  // A folder in place of the settings file: no write can succeed.
  std::filesystem::remove(d.dir.path() / "Virelta.ini");
  std::filesystem::create_directories(d.dir.path() / "Virelta.ini");
  d.click(*d.form->Cmd_Set);
  EXPECT_TRUE(d.form->loaded());
  ASSERT_EQ(d.machine->messages.size(), 1u);
  EXPECT_TRUE(d.machine->messages[0].title == "Vireltaの設定" && d.machine->messages[0].text.find("Virelta.ini") != std::string::npos);
  EXPECT_TRUE(TileAction[3] == 0 && d.unchecked(d.form->Img_Action[3]));
}

TEST(SettingsDialogLoading, WhereJapaneseIsNotTheDisplayLanguageEveryTextIsEnglishAndTheFileTheSame) {
  Dialog d("", false);
  Virelta_P& p = *d.form;
  EXPECT_EQ(p.caption(), "Virelta Settings");
  std::vector<std::string> texts;
  for (Label* label : p.lbl) texts.push_back(label->caption());
  texts.pop_back();  // the credit line
  EXPECT_EQ(texts, (std::vector<std::string>{"Tile size", "Show", "Height", "Width", "Random", "1", "2", "3",
                                             "4", "Speed", "Turns", "Anti-aliasing"}));
  EXPECT_EQ(p.lbl_Anti[0]->caption() + p.lbl_Anti[1]->caption(), "OnOff");
  EXPECT_EQ(p.Cmd_Set->Caption() + p.Cmd_Can->Caption(), "SetCancel");
  d.machine->press(*p.Img_Action[1]);
  EXPECT_EQ(p.lbl_Action[1]->caption(), "Off");
  EXPECT_EQ(p.lbl_Action[0]->caption(), "On");
  // What a screen reader is told of a mark and a spin button.
  EXPECT_EQ(p.Img_Action[1]->accessible_name, "Show tile 2");
  EXPECT_EQ(p.Img_Action[1]->accessible_role, Control::Role::CheckBox);
  EXPECT_FALSE(p.Img_Action[1]->accessible_checked());
  EXPECT_TRUE(p.Img_Anti[1]->accessible_checked());
  EXPECT_EQ(p.VS_Width[3]->accessible_name, "Width 4");
  d.click(*p.Cmd_Set);
  EXPECT_EQ(d.file(), saved_file(" 1 0 1 1", " 256 256 256 256", " 256 256 256 256", " 1 1 1 1", " 10", " 1", " 1"));
}

TEST(SettingsDialogLoading, AWindowNamedAfterTheSwitchOwnsTheDialogCentredInFrontOfIt) {
  Dialog d;
  EXPECT_EQ(d.form->owner, 0u);
  EXPECT_TRUE(d.form->show_in_taskbar);  // no owner: a taskbar button of its own
  for (const char* command : {"/c:4660", "/c:999"}) {
    d.form.reset();
    d.machine->command = command;
    d.machine->foreign_windows = {{4660, Rect{100, 50, 600, 400}}};
    d.form = std::make_unique<Virelta_P>();
    d.form->show();
    const bool owned = command == std::string("/c:4660");
    EXPECT_EQ(d.form->owner, owned ? 4660u : 0u);
    EXPECT_EQ(d.form->show_in_taskbar, !owned);
    // Over the owner: 100 + (600 - 452) / 2, 50 + (400 - 244) / 2; else as without one.
    EXPECT_EQ(d.form->left(), owned ? 174 : 286);
    EXPECT_EQ(d.form->top(), owned ? 128 : 175);
  }
}

TEST(SettingsDialogKeyboard, EveryControlIsReachedInReadingOrderAndWorkedByKeys) {
  Dialog d;
  Virelta_P& p = *d.form;
  auto keys = [&](std::initializer_list<int> codes, int shift = 0) {
    for (int k : codes) d.machine->type(p, k, shift);
  };
  EXPECT_EQ(p.focused_control(), p.Img_Action[0]);  // focused as it opens
  keys({kKeyTab}, kShiftMask);
  EXPECT_EQ(p.focused_control(), p.lbl_URL);  // backwards from the first: the last
  keys({kKeyTab}, kShiftMask);
  EXPECT_EQ(p.Cmd_Can->ButtonState(), 3);
  keys({kKeyTab, kKeyTab, kKeySpace, kKeyTab, kKeyUp, kKeyPageUp, kKeyTab, kKeyEnd, kKeyDown, kKeyTab, kKeySpace});
  EXPECT_EQ(p.lbl_Width[0]->caption(), "511");
  for (int i = 0; i < 13; ++i) keys({kKeyTab});
  EXPECT_EQ(p.focused_control(), p.VS_Fast);
  keys({kKeyPageDown, kKeyTab, kKeyEnd, kKeyTab, kKeySpace, kKeyHome, kKeyEnter});  // Enter on a mark is Set
  EXPECT_FALSE(p.loaded());
  EXPECT_EQ(d.file(), saved_file(" 0 1 1 1", " 267 256 256 256", " 511 256 256 256", " 0 1 1 1", " 1", " 10", " 0"));
  Dialog e("[Section]\r\nAction0=1\r\n");
  e.machine->type(*e.form, kKeySpace);
  e.machine->type(*e.form, kKeyEscape);
  EXPECT_FALSE(e.form->loaded());
  EXPECT_EQ(e.file(), "[Section]\r\nAction0=1\r\n");
}
