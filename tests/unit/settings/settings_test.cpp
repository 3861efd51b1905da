// Loading the shared settings state from Virelta.ini and writing it key by key.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "startup/virelta_b.h"
#include "temp_folder.h"

namespace virelta {
namespace {

using testing::TempFolder;
using Slots = std::array<Integer, 4>;

class LoadSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_settings(); }
  void load(const std::string& ini_bytes) {
    folder_.put("Virelta.ini", ini_bytes);
    LoadSettings(folder_.utf8());
  }
  TempFolder folder_;
};

TEST_F(LoadSettingsTest, NoFileGivesTheDefaults) {
  EXPECT_EQ(settings_file_path("C:\\Saver"), "C:\\Saver\\Virelta.ini");
  EXPECT_EQ(TileAction, (Slots{0, 0, 0, 0}));  // nothing before loading
  EXPECT_FALSE(AntiAliasOn);
  LoadSettings(folder_.utf8());
  EXPECT_EQ(TileAction, (Slots{1, 1, 1, 1}));
  EXPECT_EQ(TileRandom, (Slots{1, 1, 1, 1}));
  EXPECT_EQ(TileWidth, (Slots{256, 256, 256, 256}));
  EXPECT_EQ(TileHeight, (Slots{256, 256, 256, 256}));
  EXPECT_EQ(RotationSpeed, 10);
  EXPECT_EQ(TurnCount, 1);
  EXPECT_EQ(AntiAliasSetting, 1);
  EXPECT_TRUE(AntiAliasOn);
  EXPECT_EQ(IniValue, "");
  EXPECT_FALSE(folder_.exists("Virelta.ini"));  // loading never writes
}

TEST_F(LoadSettingsTest, EmptyValueOrMissingSectionGivesTheDefault) {
  load("[Other]\r\nAction0=0\r\n[Section]\r\nWidth0=\r\nHeight0=  \r\n" +
       std::string(kAntiAliasKey) + "=\r\n");
  EXPECT_EQ(TileAction[0], 1);
  EXPECT_EQ(TileWidth[0], 256);
  EXPECT_EQ(TileHeight[0], 256);
  EXPECT_EQ(AntiAliasSetting, 1);
  EXPECT_TRUE(AntiAliasOn);
}

TEST_F(LoadSettingsTest, NonNumbersAndOverflowLeaveZeroNotTheDefault) {
  load(
      "[Section]\r\n"
      "Width2=abc\r\n"
      "Action1=40000\r\n"
      "Height3=-32768.5\r\n"
      "Random3=1 2\r\n" +
      std::string(kTurnCountKey) + "=" + std::string(300, '0') + "7\r\n");
  EXPECT_EQ(TileWidth, (Slots{256, 256, 0, 256}));
  EXPECT_EQ(TileAction, (Slots{1, 0, 1, 1}));
  EXPECT_EQ(TileHeight, (Slots{256, 256, 256, 0}));  // Int gives -32769
  EXPECT_EQ(TileRandom, (Slots{1, 1, 1, 0}));
  EXPECT_EQ(TurnCount, 0);  // cut at 255 bytes: all zeros
  EXPECT_EQ(RotationSpeed, 10);
}

TEST_F(LoadSettingsTest, FractionsAreTakenDown) {
  load("[Section]\r\n" + std::string(kRotationSpeedKey) + "=12.9\r\n" + std::string(kTurnCountKey) +
       "=-3.5\r\nWidth0=32767.99\r\nHeight0=-0.5\r\nWidth1=2.5E2\r\n");
  EXPECT_EQ(RotationSpeed, 12);
  EXPECT_EQ(TurnCount, -4);
  EXPECT_EQ(TileWidth[0], 32767);
  EXPECT_EQ(TileHeight[0], -1);
  EXPECT_EQ(TileWidth[1], 250);
}

TEST_F(LoadSettingsTest, NumberFormsCaseAndQuotes) {
  load(
      "[section]\r\n"
      "ACTION0=&H10\r\n"
      "height0=&HFFFF\r\n"
      "Width0=&o17\r\n"
      "Random0=\" 5 \"\r\n"
      "  Action1 =  +7  \r\n"
      "Action1=9\r\n");
  EXPECT_EQ(TileAction[0], 16);
  EXPECT_EQ(TileHeight[0], -1);
  EXPECT_EQ(TileWidth[0], 15);
  EXPECT_EQ(TileRandom[0], 5);
  EXPECT_EQ(TileAction[1], 7);  // the first of two equal keys
}

TEST_F(LoadSettingsTest, AntiAliasingIsOnOnlyForOne) {
  const std::string key = std::string(kAntiAliasKey);
  load("[Section]\r\n" + key + "=2\r\n");
  EXPECT_EQ(AntiAliasSetting, 2);
  EXPECT_FALSE(AntiAliasOn);
  EXPECT_EQ(IniValue, "2");  // the last text read
  load("[Section]\r\n" + key + "=1.7\r\n");
  EXPECT_TRUE(AntiAliasOn);
  load("[Section]\r\n" + key + "=-1\r\n");
  EXPECT_FALSE(AntiAliasOn);
  load("[Section]\r\n\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD=0\r\n");
  EXPECT_FALSE(AntiAliasOn);
  // Upper-casing the trail byte 0x78 of the speed key makes another key.
  load("[Section]\r\n\x89\xF1\x93\x5D\x91\xAC\x93\x58=3\r\n");
  EXPECT_EQ(RotationSpeed, 10);
}

TEST_F(LoadSettingsTest, WhatTheDialogWritesReadsBackTheSame) {
  const std::string ini = settings_file_path(folder_.utf8());
  const Slots action{1, 0, 1, 0}, height{256, 300, 512, -2}, width{511, 256, 0, 32767},
      random{0, 1, 0, 1};
  for (int slot = 0; slot < 4; ++slot) {
    ASSERT_TRUE(WriteIniValue("Section", tile_key("Action", slot), number_to_text(action[slot]), ini));
    ASSERT_TRUE(WriteIniValue("Section", tile_key("Height", slot), number_to_text(height[slot]), ini));
    ASSERT_TRUE(WriteIniValue("Section", tile_key("Width", slot), number_to_text(width[slot]), ini));
    ASSERT_TRUE(WriteIniValue("Section", tile_key("Random", slot), number_to_text(random[slot]), ini));
  }
  ASSERT_TRUE(WriteIniValue("Section", std::string(kRotationSpeedKey), number_to_text(20), ini));
  ASSERT_TRUE(WriteIniValue("Section", std::string(kTurnCountKey), number_to_text(-32768), ini));
  ASSERT_TRUE(WriteIniValue("Section", std::string(kAntiAliasKey), number_to_text(0), ini));
  const std::string saved =
      "[Section]\r\n"
      "Action0= 1\r\nHeight0= 256\r\nWidth0= 511\r\nRandom0= 0\r\n"
      "Action1= 0\r\nHeight1= 300\r\nWidth1= 256\r\nRandom1= 1\r\n"
      "Action2= 1\r\nHeight2= 512\r\nWidth2= 0\r\nRandom2= 0\r\n"
      "Action3= 0\r\nHeight3=-2\r\nWidth3= 32767\r\nRandom3= 1\r\n"
      "\x89\xF1\x93\x5D\x91\xAC\x93\x78= 20\r\n"
      "\x89\xF1\x93\x5D\x90\x94=-32768\r\n"
      "\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD= 0\r\n";
  EXPECT_EQ(folder_.bytes("Virelta.ini"), saved);

  LoadSettings(folder_.utf8());
  EXPECT_EQ(TileAction, action);
  EXPECT_EQ(TileHeight, height);
  EXPECT_EQ(TileWidth, width);
  EXPECT_EQ(TileRandom, random);
  EXPECT_EQ(RotationSpeed, 20);
  EXPECT_EQ(TurnCount, -32768);
  EXPECT_EQ(AntiAliasSetting, 0);
  EXPECT_FALSE(AntiAliasOn);

  // Saving again over the saved file changes only that value.
  ASSERT_TRUE(WriteIniValue("Section", "Height3", number_to_text(400), ini));
  std::string resaved = saved;
  resaved.replace(resaved.find("Height3=-2"), 10, "Height3= 400");
  EXPECT_EQ(folder_.bytes("Virelta.ini"), resaved);
}

}  // namespace
}  // namespace virelta
