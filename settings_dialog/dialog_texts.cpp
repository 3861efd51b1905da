#include "settings_dialog/dialog_texts.h"

#include "startup/virelta_b.h"

namespace virelta::settings_dialog {

const DialogTexts& japanese_texts() {
  static const DialogTexts texts{kSettingsCaption, "回転ｴﾘｱのｻｲｽﾞ", "<ｱｸｼｮﾝ>", "<高さ>", "<幅>", "<ﾗﾝﾀﾞﾑ>",
                                 "回転速度", "回転数", "ｱﾝﾁｴｲﾘｱｽ", "有効", "無効", "設定", "ｷｬﾝｾﾙ",
                                 "設定を保存できませんでした。", "ｱｸｼｮﾝ", "高さ", "幅", "ﾗﾝﾀﾞﾑ",
                                 "ｱﾝﾁｴｲﾘｱｽ 無効", "ｱﾝﾁｴｲﾘｱｽ 有効", Font{}};
  return texts;
}

const DialogTexts& english_texts() {
  // A face every Windows has, in the Western character set. The column heads
  // go without brackets: "<Random>" would run past the panel's edge.
  static const DialogTexts texts{kSettingsCaptionEnglish, "Tile size", "Show", "Height", "Width", "Random",
                                 "Speed", "Turns", "Anti-aliasing", "On", "Off", "Set", "Cancel",
                                 "The settings could not be saved.", "Show tile", "Height", "Width", "Random size",
                                 "Anti-aliasing off", "Anti-aliasing on", Font{"Tahoma", 8.25, 400, false, false, false, 0}};
  return texts;
}

const DialogTexts& dialog_texts() { return platform().japanese_display() ? japanese_texts() : english_texts(); }

}  // namespace virelta::settings_dialog
