#include "settings_dialog/settings_layout.h"

#ifndef VIRELTA_HOME_PAGE
#define VIRELTA_HOME_PAGE "https://github.com/virelta/virelta"
#endif

namespace virelta::settings_dialog {

std::string credit_text() { return "Virelta project  Ver.1.0.0"; }
std::string home_page_address() { return VIRELTA_HOME_PAGE; }

namespace {

std::vector<LayoutEntry> build() {
  using enum What;
  const Where W = Where::Window, T = Where::TilePanel, G = Where::GlobalPanel;
  const Alignment C = Alignment::Center, R = Alignment::Right;
  std::vector<LayoutEntry> l;
  auto label = [&](std::string name, int index, Where where, int left, int top, int width, int height,
                   std::string text, Alignment align = Alignment::Left) {
    l.push_back({std::move(name), index, Label, where, left, top, width, height, std::move(text), align});
  };

  l.push_back({"Pic_C", 0, Panel, W, 240, 240, 4095, 2655});
  l.push_back({"Pic_C", 1, Panel, W, 4440, 240, 2115, 2655});

  // Tile panel: title, column heads, one row per tile, separators.
  l.push_back({"Shape3", -1, Shape, T, 180, 120, 1695, 315});
  label("lbl", 0, T, 180, 180, 1665, 195, "回転ｴﾘｱのｻｲｽﾞ", C);
  label("lbl", 1, T, 300, 540, 900, 195, "<ｱｸｼｮﾝ>");
  label("lbl", 2, T, 1320, 540, 900, 195, "<高さ>");
  label("lbl", 3, T, 2280, 540, 900, 195, "<幅>");
  label("lbl", 4, T, 3180, 540, 900, 195, "<ﾗﾝﾀﾞﾑ>");
  for (int i = 0; i < 4; ++i) {
    int text_top = 900 + 420 * i, spin_top = 840 + 420 * i;
    label("lbl", 5 + i, T, 315, text_top, 120, 195, std::to_string(i + 1), C);
    l.push_back({"Img_Action", i, Mark, T, 540, text_top, 195, 195});
    label("lbl_Action", i, T, 780, text_top, 390, 195, kOn);
    l.push_back({"VS_Height", i, Spin, T, 1380, spin_top, 375, 315, "", Alignment::Left, 0, false, 256, 512, 256});
    label("lbl_Height", i, T, 1800, text_top, 330, 195, "999", R);
    // The width spin button of the second row starts at the range's top.
    l.push_back({"VS_Width", i, Spin, T, 2280, spin_top, 375, 315, "", Alignment::Left, 0, false, 256, 512,
                 i == 1 ? 512 : 256});
    label("lbl_Width", i, T, 2700, text_top, 330, 195, "999", R);
    l.push_back({"Img_Rdm", i, Mark, T, 3240, text_top, 195, 195});
    label("lbl_Rdm", i, T, 3480, text_top, 390, 195, kOn);
  }
  for (int i = 0; i < 3; ++i)
    l.push_back({"Line1", i, Line, T, 180, 1200 + 420 * i, 3900, 1200 + 420 * i, "", Alignment::Left,
                 kSeparatorColour});

  // Global panel: speed, turns, anti-aliasing.
  label("lbl", 9, G, 180, 180, 1710, 195, "回転速度", C);
  l.push_back({"Shape1", -1, Shape, G, 180, 120, 1695, 315});
  l.push_back({"VS_Fast", -1, Spin, G, 1140, 540, 375, 315, "", Alignment::Left, 0, false, 1, 20, 1});
  label("lbl_Fast", -1, G, 1560, 600, 330, 195, "999");
  label("lbl", 10, G, 180, 1020, 1710, 195, "回転数", C);
  l.push_back({"Shape2", -1, Shape, G, 180, 960, 1695, 315});
  l.push_back({"VS_Kaiten", -1, Spin, G, 1140, 1380, 375, 315, "", Alignment::Left, 0, false, 1, 10, 1});
  label("lbl_Kaiten", -1, G, 1560, 1440, 330, 195, "999");
  label("lbl", 11, G, 180, 1860, 1710, 195, "ｱﾝﾁｴｲﾘｱｽ", C);
  l.push_back({"Shape4", -1, Shape, G, 180, 1800, 1695, 315});
  // The label indexes of the pair are crossed: lbl_Anti(1) "無効" stands
  // beside Img_Anti(0), lbl_Anti(0) "有効" beside Img_Anti(1).
  l.push_back({"Img_Anti", 0, Mark, G, 420, 2220, 195, 195});
  label("lbl_Anti", 1, G, 660, 2220, 390, 195, kOff);
  l.push_back({"Img_Anti", 1, Mark, G, 1200, 2220, 195, 195});
  label("lbl_Anti", 0, G, 1440, 2220, 390, 195, kOn);

  // Directly on the window.
  l.push_back({"lbl", 12, Label, W, 240, 3000, 2475, 195, credit_text(), Alignment::Left, kWhite});
  l.push_back({"lbl_URL", -1, Label, W, 240, 3180, 3210, 195, home_page_address(), Alignment::Left, kWhite, true});
  l.push_back({"Cmd_Set", -1, Button, W, 3960, 3060, 1275, 375, "設定"});
  l.push_back({"Cmd_Can", -1, Button, W, 5280, 3060, 1275, 375, "ｷｬﾝｾﾙ"});
  l.push_back({"Img_Ra", 0, MarkStore, W, 240, 4320, 180, 180});
  l.push_back({"Img_Ra", 1, MarkStore, W, 480, 4320, 180, 180});
  return l;
}

}  // namespace

const std::vector<LayoutEntry>& settings_layout() {
  static const std::vector<LayoutEntry> layout = build();
  return layout;
}

}  // namespace virelta::settings_dialog
