#include "settings_dialog/settings_layout.h"

#include "settings/settings.h"

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
  // One control: its kind, container and rectangle; the rest as given after.
  auto add = [&](std::string name, int index, What what, Where where, int left, int top, int width,
                 int height) -> LayoutEntry& {
    LayoutEntry e;
    e.name = std::move(name);
    e.index = index;
    e.what = what;
    e.where = where;
    e.left = left;
    e.top = top;
    e.width = width;
    e.height = height;
    l.push_back(std::move(e));
    return l.back();
  };
  auto label = [&](std::string name, int index, Where where, int left, int top, int width, int height,
                   std::string text, Alignment align = Alignment::Left) -> LayoutEntry& {
    LayoutEntry& e = add(std::move(name), index, Label, where, left, top, width, height);
    e.text = std::move(text);
    e.alignment = align;
    return e;
  };
  // A spin button's range is its setting's.
  auto spin = [&](std::string name, int index, Where where, int left, int top, std::string_view key, int value) {
    LayoutEntry& e = add(std::move(name), index, Spin, where, left, top, 375, 315);
    e.spin_min = setting(key).lowest;
    e.spin_max = setting(key).highest;
    e.spin_value = value;
  };

  add("Pic_C", 0, Panel, W, 240, 240, 4095, 2655);
  add("Pic_C", 1, Panel, W, 4440, 240, 2115, 2655);

  // Tile panel: title, column heads, one row per tile, separators.
  add("Shape3", -1, Shape, T, 180, 120, 1695, 315);
  label("lbl", 0, T, 180, 180, 1665, 195, "回転ｴﾘｱのｻｲｽﾞ", C);
  label("lbl", 1, T, 300, 540, 900, 195, "<ｱｸｼｮﾝ>");
  label("lbl", 2, T, 1320, 540, 900, 195, "<高さ>");
  label("lbl", 3, T, 2280, 540, 900, 195, "<幅>");
  label("lbl", 4, T, 3180, 540, 900, 195, "<ﾗﾝﾀﾞﾑ>");
  for (int i = 0; i < 4; ++i) {
    int text_top = 900 + 420 * i, spin_top = 840 + 420 * i;
    label("lbl", 5 + i, T, 315, text_top, 120, 195, std::to_string(i + 1), C);
    add("Img_Action", i, Mark, T, 540, text_top, 195, 195);
    label("lbl_Action", i, T, 780, text_top, 390, 195, kOn);
    spin("VS_Height", i, T, 1380, spin_top, "Height", 256);
    label("lbl_Height", i, T, 1800, text_top, 330, 195, "999", R);
    // The width spin button of the second row starts at the range's top.
    spin("VS_Width", i, T, 2280, spin_top, "Width", i == 1 ? 512 : 256);
    label("lbl_Width", i, T, 2700, text_top, 330, 195, "999", R);
    add("Img_Rdm", i, Mark, T, 3240, text_top, 195, 195);
    label("lbl_Rdm", i, T, 3480, text_top, 390, 195, kOn);
  }
  for (int i = 0; i < 3; ++i)
    add("Line1", i, Line, T, 180, 1200 + 420 * i, 3900, 1200 + 420 * i).colour = kSeparatorColour;

  // Global panel: speed, turns, anti-aliasing.
  label("lbl", 9, G, 180, 180, 1710, 195, "回転速度", C);
  add("Shape1", -1, Shape, G, 180, 120, 1695, 315);
  spin("VS_Fast", -1, G, 1140, 540, kRotationSpeedKey, 1);
  label("lbl_Fast", -1, G, 1560, 600, 330, 195, "999");
  label("lbl", 10, G, 180, 1020, 1710, 195, "回転数", C);
  add("Shape2", -1, Shape, G, 180, 960, 1695, 315);
  spin("VS_Kaiten", -1, G, 1140, 1380, kTurnCountKey, 1);
  label("lbl_Kaiten", -1, G, 1560, 1440, 330, 195, "999");
  label("lbl", 11, G, 180, 1860, 1710, 195, "ｱﾝﾁｴｲﾘｱｽ", C);
  add("Shape4", -1, Shape, G, 180, 1800, 1695, 315);
  // The label indexes of the pair are crossed: lbl_Anti(1) "無効" stands
  // beside Img_Anti(0), lbl_Anti(0) "有効" beside Img_Anti(1).
  add("Img_Anti", 0, Mark, G, 420, 2220, 195, 195);
  label("lbl_Anti", 1, G, 660, 2220, 390, 195, kOff);
  add("Img_Anti", 1, Mark, G, 1200, 2220, 195, 195);
  label("lbl_Anti", 0, G, 1440, 2220, 390, 195, kOn);

  // Directly on the window.
  label("lbl", 12, W, 240, 3000, 2475, 195, credit_text()).colour = kWhite;
  LayoutEntry& url = label("lbl_URL", -1, W, 240, 3180, 3210, 195, home_page_address());
  url.colour = kWhite;
  url.underline = true;
  add("Cmd_Set", -1, Button, W, 3960, 3060, 1275, 375).text = "設定";
  add("Cmd_Can", -1, Button, W, 5280, 3060, 1275, 375).text = "ｷｬﾝｾﾙ";
  add("Img_Ra", 0, MarkStore, W, 240, 4320, 180, 180);
  add("Img_Ra", 1, MarkStore, W, 480, 4320, 180, 180);
  return l;
}

}  // namespace

const std::vector<LayoutEntry>& settings_layout() {
  static const std::vector<LayoutEntry> layout = build();
  return layout;
}

}  // namespace virelta::settings_dialog
