// The settings dialog as a user works it: what it shows after loading, what
// each click changes, and the exact bytes Set writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "startup/virelta_b.h"
#include "settings_dialog/background.h"
#include "settings_dialog/marks.h"
#include "settings_dialog/virelta_p.h"

using namespace virelta;
using namespace virelta::settings_dialog;

namespace {

namespace fs = std::filesystem;

struct Dialog {
  ScopedMemoryPlatform machine;
  fs::path dir;
  std::unique_ptr<Virelta_P> form;

  explicit Dialog(const std::string& ini = std::string()) {
    dir = fs::temp_directory_path() / ("virelta-dialog-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (!ini.empty()) std::ofstream(dir / "Virelta.ini", std::ios::binary) << ini;
    machine->folder = dir.string();
    machine->cursor = Point{321, 123};
    reset_settings();
    LoadSettings(machine->folder);
    form = std::make_unique<Virelta_P>();
    form->show();
  }
  ~Dialog() {
    form.reset();
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, ec);
    fs::remove_all(dir, ec);
  }
  std::string file() const {
    std::ifstream in(dir / "Virelta.ini", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A user's click on a button: the pointer arrives, the press takes the
  // focus, the release raises Click.
  void click(Command& button) {
    machine->move_mouse(button);
    machine->press(button);
    machine->focus(button);
    machine->release(button);
  }
  bool checked(Picture* mark) const { return mark->picture() == &checked_mark(); }
  bool unchecked(Picture* mark) const { return mark->picture() == &unchecked_mark(); }
};

std::string saved_file(const std::string& a, const std::string& h, const std::string& w, const std::string& r,
                       const std::string& speed, const std::string& turns, const std::string& anti) {
  std::string s = "[Section]\r\n";
  for (int i = 0; i < 4; ++i) {
    s += "Action" + std::to_string(i) + "=" + a.substr(i * 2, 2) + "\r\n";
    s += "Height" + std::to_string(i) + "=" + h.substr(i * 4, 4) + "\r\n";
    s += "Width" + std::to_string(i) + "=" + w.substr(i * 4, 4) + "\r\n";
    s += "Random" + std::to_string(i) + "=" + r.substr(i * 2, 2) + "\r\n";
  }
  s += "\x89\xF1\x93\x5D\x91\xAC\x93\x78=" + speed + "\r\n";
  s += "\x89\xF1\x93\x5D\x90\x94=" + turns + "\r\n";
  s += "\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD=" + anti + "\r\n";
  return s;
}

}  // namespace

TEST(SettingsDialogLoading, DefaultsShowEverythingOn) {
  Dialog d;
  Virelta_P& p = *d.form;
  EXPECT_EQ(p.caption(), "Vireltaの設定");
  EXPECT_EQ(p.width(), 452);
  EXPECT_EQ(p.height(), 244);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(d.checked(p.Img_Action[i]));
    EXPECT_EQ(p.lbl_Action[i]->caption(), "有効");
    EXPECT_TRUE(d.checked(p.Img_Rdm[i]));
    EXPECT_EQ(p.lbl_Rdm[i]->caption(), "有効");
    EXPECT_EQ(p.lbl_Height[i]->caption(), "256");
    EXPECT_EQ(p.lbl_Width[i]->caption(), "256");
    EXPECT_EQ(p.VS_Width[i]->value(), 256);
  }
  EXPECT_EQ(p.lbl_Fast->caption(), "10");
  EXPECT_EQ(p.lbl_Kaiten->caption(), "1");
  EXPECT_TRUE(d.checked(p.Img_Anti[1]));  // beside "有効"
  EXPECT_TRUE(d.unchecked(p.Img_Anti[0]));
  EXPECT_EQ(p.lbl_Anti[0]->caption(), "有効");
  EXPECT_EQ(p.lbl_Anti[1]->caption(), "無効");
  // Centred across, a third of the free height from the top (1024 x 768).
  EXPECT_EQ(p.left(), (1024 - 452) / 2);
  // (11520 - 3660) \ 3 = 2620 twips, 174.67 pixels.
  EXPECT_EQ(p.top(), 175);
  EXPECT_EQ(p.Cmd_Set->ButtonState(), 1);
  EXPECT_EQ(p.Cmd_Set->Caption(), "設定");
  EXPECT_EQ(p.Cmd_Can->Caption(), "ｷｬﾝｾﾙ");
  EXPECT_EQ(p.lbl_URL->mouse_pointer, 99);
  // The zoom grows out of the cursor's position.
  EXPECT_EQ(ZoomOriginX, 321);
  EXPECT_EQ(ZoomOriginY, 123);
  ASSERT_FALSE(d.machine->calls.empty());
  EXPECT_EQ(d.machine->calls.back().rfind("DrawAnimatedRects 3 321,123,0,0 ", 0), 0u);
}

TEST(SettingsDialogLoading, HandEditedValuesAreShownAsTheSaverUsesThemAndSavedAsShown) {
  Dialog d(saved_file(" 1 0 1 2", " 300 256 513 256", " 600 256 256 100", " 1-1 0 1", " 25", " 0", " 2"));
  Virelta_P& p = *d.form;
  EXPECT_TRUE(d.unchecked(p.Img_Action[1]));
  EXPECT_EQ(p.lbl_Action[1]->caption(), "無効");
  EXPECT_EQ(p.lbl_Height[0]->caption(), "300");
  // Numbers are held to the spin range, label and spin button alike.
  EXPECT_EQ(p.VS_Width[0]->value(), 512);
  EXPECT_EQ(p.lbl_Width[0]->caption(), "512");
  EXPECT_EQ(p.lbl_Width[3]->caption(), "256");
  EXPECT_EQ(p.lbl_Fast->caption(), "20");
  EXPECT_EQ(p.lbl_Kaiten->caption(), "1");
  // Flags other than 1 are off, as the saver takes them; a click turns one on.
  EXPECT_TRUE(d.unchecked(p.Img_Action[3]));
  EXPECT_EQ(p.lbl_Action[3]->caption(), "無効");
  EXPECT_TRUE(d.checked(p.Img_Anti[0]));
  EXPECT_TRUE(d.unchecked(p.Img_Anti[1]));
  d.machine->press(*p.Img_Action[3]);
  d.click(*p.Cmd_Set);
  EXPECT_EQ(d.file(), saved_file(" 1 0 1 1", " 300 256 512 256", " 512 256 256 256", " 1 0 0 1", " 20", " 1", " 0"));
}

TEST(SettingsDialogLoading, ZoomFromTheCornerWhenTheCursorCannotBeRead) {
  ScopedMemoryPlatform outer;
  Dialog d;
  d.form.reset();
  d.machine->cursor = std::nullopt;
  d.machine->calls.clear();
  d.form = std::make_unique<Virelta_P>();
  d.form->show();
  EXPECT_EQ(ZoomOriginX, 0);
  EXPECT_EQ(ZoomOriginY, 0);
}

TEST(SettingsDialogBackground, RowsFollowTheSheen) {
  Dialog d;
  const Image& img = d.form->image();
  auto row = [&](int y) { return colour_from_pixel(img.at(10, y)); };
  EXPECT_EQ(row(0), rgb(0, 0, 30));
  EXPECT_EQ(row(1), rgb(3, 3, 33));
  EXPECT_EQ(row(60), rgb(154, 154, 184));
  for (int y : {121, 122, 123}) EXPECT_EQ(row(y), rgb(220, 220, 250)) << y;
  EXPECT_EQ(row(243), rgb(3, 3, 33));
  EXPECT_EQ(sheen_level(244, 244), 0);
  // The panels are painted with their own heights (177 pixels).
  const Image& panel = d.form->Pic_C[0]->image();
  EXPECT_EQ(panel.height(), 177);
  EXPECT_EQ(colour_from_pixel(panel.at(5, 0)), rgb(0, 0, 30));
  int c = sheen_level(88, 177);
  EXPECT_EQ(colour_from_pixel(panel.at(5, 88)), rgb(c, c, c + 30));
  EXPECT_EQ(c, 220);
}

TEST(SettingsDialogControls, MarksAndTheirLabelsToggleWithAnyButton) {
  Dialog d;
  Virelta_P& p = *d.form;
  d.machine->press(*p.Img_Action[2], kRightButton);
  EXPECT_EQ(TileAction[2], 0);
  EXPECT_TRUE(d.unchecked(p.Img_Action[2]));
  EXPECT_EQ(p.lbl_Action[2]->caption(), "無効");
  d.machine->press(*p.lbl_Action[2], kLeftButton, 1);  // the text toggles too, with shift held
  EXPECT_EQ(TileAction[2], 1);
  EXPECT_EQ(p.lbl_Action[2]->caption(), "有効");
  d.machine->press(*p.lbl_Rdm[0]);
  EXPECT_EQ(TileRandom[0], 0);
  EXPECT_EQ(p.lbl_Rdm[0]->caption(), "無効");
  // A double-click toggles once: its second press arrives as a double-click.
  d.machine->double_click(*p.Img_Rdm[1]);
  EXPECT_EQ(TileRandom[1], 0);
}

TEST(SettingsDialogControls, TheAntiAliasPairIsOneSwitch) {
  Dialog d;
  Virelta_P& p = *d.form;
  d.machine->press(*p.Img_Anti[1]);  // the checked mark beside "有効"
  EXPECT_EQ(AntiAliasSetting, 0);
  EXPECT_TRUE(d.checked(p.Img_Anti[0]));
  EXPECT_TRUE(d.unchecked(p.Img_Anti[1]));
  EXPECT_EQ(p.lbl_Anti[1]->caption(), "無効");  // texts never change
  d.machine->press(*p.lbl_Anti[1]);
  EXPECT_EQ(AntiAliasSetting, 1);
  EXPECT_TRUE(d.checked(p.Img_Anti[1]));
}

TEST(SettingsDialogControls, SpinButtonsStopAtTheirEndsAndTheLabelFollows) {
  Dialog d;
  Virelta_P& p = *d.form;
  for (int i = 0; i < 300; ++i) p.VS_Width[0]->step(+1);
  EXPECT_EQ(p.VS_Width[0]->value(), 512);
  EXPECT_EQ(p.lbl_Width[0]->caption(), "512");
  for (int i = 0; i < 300; ++i) p.VS_Width[0]->step(-1);
  EXPECT_EQ(p.lbl_Width[0]->caption(), "256");
  p.VS_Kaiten->step(+1);
  EXPECT_EQ(p.lbl_Kaiten->caption(), "2");
}

TEST(SettingsDialogSaving, SetWritesAllNineteenKeysWithALeadingBlank) {
  Dialog d;
  Virelta_P& p = *d.form;
  d.machine->press(*p.Img_Action[1]);
  d.machine->press(*p.Img_Anti[1]);
  p.VS_Fast->step(+1);
  p.VS_Height[2]->step(+1);
  d.click(*p.Cmd_Set);
  EXPECT_FALSE(p.loaded());
  EXPECT_EQ(d.file(), saved_file(" 1 0 1 1", " 256 256 257 256", " 256 256 256 256", " 1 1 1 1", " 11", " 1", " 0"));
  EXPECT_EQ(d.machine->calls.back().rfind("DrawAnimatedRects 3 ", 0), 0u);
  EXPECT_NE(d.machine->calls.back().find(" 321,123,0,0"), std::string::npos);
}

TEST(SettingsDialogSaving, TogglingTwiceWritesWhatWasLoaded) {
  Dialog d("[Section]\r\nAction2=0\r\n");
  d.machine->press(*d.form->Img_Action[2]);
  d.machine->press(*d.form->Img_Action[2]);
  d.click(*d.form->Cmd_Set);
  EXPECT_NE(d.file().find("Action2= 0\r\n"), std::string::npos);
}

TEST(SettingsDialogSaving, CancelLeavesTheFileByteForByte) {
  const std::string original = "; mine\r\n[Section]\r\nAction0 = 1\r\nWidth0=300\r\n";
  Dialog d(original);
  d.machine->press(*d.form->Img_Action[0]);
  d.click(*d.form->Cmd_Can);
  EXPECT_FALSE(d.form->loaded());
  EXPECT_EQ(d.file(), original);
}

TEST(SettingsDialogSaving, AFailedWriteIsToldAndTheDialogStaysWithItsChoices) {
  Dialog d("[Section]\r\n");
  d.machine->press(*d.form->Img_Action[3]);
  // A folder in place of the settings file: no write can succeed.
  fs::remove(d.dir / "Virelta.ini");
  fs::create_directories(d.dir / "Virelta.ini");
  d.click(*d.form->Cmd_Set);
  EXPECT_TRUE(d.form->loaded());
  ASSERT_EQ(d.machine->messages.size(), 1u);
  EXPECT_EQ(d.machine->messages[0].title, "Vireltaの設定");
  EXPECT_NE(d.machine->messages[0].text.find("Virelta.ini"), std::string::npos);
  EXPECT_EQ(TileAction[3], 0);
  EXPECT_TRUE(d.unchecked(d.form->Img_Action[3]));
}

TEST(SettingsDialogControls, TheLinkOpensTheHomePageWithTheHourglassMeanwhile) {
  Dialog d;
  d.machine->click(*d.form->lbl_URL);
  EXPECT_EQ(d.machine->calls.back(), "ShellExecute open " + d.form->lbl_URL->caption());
  EXPECT_EQ(d.machine->mouse_pointer, 0);
  EXPECT_TRUE(d.form->loaded());
}
