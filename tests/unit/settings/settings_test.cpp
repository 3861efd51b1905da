// Loading the shared settings state from Virelta.ini.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include "unit/temp_folder.h"

namespace virelta {
namespace {

using Slots = std::array<Integer, 4>;
const std::string kSpeed = "\x89\xF1\x93\x5D\x91\xAC\x93\x78", kTurns = "\x89\xF1\x93\x5D\x90\x94",
                  kAntiAlias = "\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD";

class LoadSettingsTest : public ::testing::Test {
 protected:
  void load(const std::string& ini_bytes) {
    reset_settings();
    folder_.put("Virelta.ini", ini_bytes);
    LoadSettings(folder_.utf8());
  }
  testing::TempFolder folder_;
};

TEST_F(LoadSettingsTest, NoFileGivesTheDefaults) {
  EXPECT_EQ(settings_file_path("C:\\Saver"), "C:\\Saver\\Virelta.ini");
  LoadSettings(folder_.utf8());
  EXPECT_TRUE(TileAction == (Slots{1, 1, 1, 1}) && TileRandom == TileAction);
  EXPECT_TRUE(TileWidth == (Slots{256, 256, 256, 256}) && TileHeight == TileWidth);
  EXPECT_TRUE(RotationSpeed == 10 && TurnCount == 1 && AntiAliasSetting == 1 && AntiAliasOn);
  EXPECT_FALSE(folder_.exists("Virelta.ini"));  // loading never writes
}

TEST_F(LoadSettingsTest, EachValueIsTakenDownToAWholeNumberOrZeroWhenItIsNone) {
  const struct { std::string lines; const Integer* setting; Integer expected; bool anti_alias_on = true; } cases[] = {
      {"[Other]\r\nAction0=0", &TileAction[0], 1}, {"Width0=", &TileWidth[0], 256},  // missing or empty: the default
      {"Height0=  \r\nHeight1=300", &TileHeight[0], 256}, {kAntiAlias + "=", &AntiAliasSetting, 1},
      {"Width2=abc\r\nWidth3=300", &TileWidth[2], 0}, {"Width2=abc\r\nWidth3=300", &TileWidth[3], 300},  // none: 0
      {"Action1=40000", &TileAction[1], 0}, {"Height3=-32768.5", &TileHeight[3], 0},  // taken down to -32769
      {"Random3=1 2", &TileRandom[3], 0},
      {kTurns + "=" + std::string(300, '0') + "7", &TurnCount, 0},  // cut at 255 bytes: all zeros
      {kSpeed + "=12.9", &RotationSpeed, 12}, {kTurns + "=-3.5", &TurnCount, -4},
      {"Width0=32767.99", &TileWidth[0], 32767}, {"Height0=-0.5", &TileHeight[0], -1},
      {"height0=&HFFFF", &TileHeight[0], -1}, {"Random0=\" 5 \"", &TileRandom[0], 5},
      {"  Action1 =  +7  \r\nAction1=9", &TileAction[1], 7},  // the first of two equal keys
      {kSpeed.substr(0, 7) + "X=3", &RotationSpeed, 10},      // an upper-cased trail byte is another key
      {kAntiAlias + "=2", &AntiAliasSetting, 2, false}, {kAntiAlias + "=1.7", &AntiAliasSetting, 1, true},  // on for 1
      {kAntiAlias + "=-1", &AntiAliasSetting, -1, false}, {kAntiAlias + "=0", &AntiAliasSetting, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    load("[sECTION]\r\n" + c.lines + "\r\n");
    EXPECT_EQ(*c.setting, c.expected);
    EXPECT_EQ(AntiAliasOn, c.anti_alias_on);
  }
}

}  // namespace
}  // namespace virelta
