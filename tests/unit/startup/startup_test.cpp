// Start-up: the single-instance guard, the mode switch and what each mode
// does before its window takes over.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "startup/virelta_b.h"

using namespace virelta;

namespace {

struct Start {
  ScopedMemoryPlatform machine;
  std::vector<std::string> opened;
  std::string preview_command;
  bool ended = false;

  explicit Start(const std::string& command) {
    machine->command = command;
    auto dir = std::filesystem::temp_directory_path() / "virelta-startup-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "Virelta.ini", std::ios::binary) << "[Section]\r\nWidth0=300\r\n";
    machine->folder = dir.string();
    reset_settings();
  }
  void run() {
    ModeWindows windows;
    windows.show_settings = [this] { opened.push_back("settings"); };
    windows.load_saver = [this] { opened.push_back("saver"); };
    windows.show_preview = [this](const std::string& c) {
      opened.push_back("preview");
      preview_command = c;
    };
    try {
      Main(windows);
    } catch (const ProgramEnded&) {
      ended = true;
    }
  }
  int count(const std::string& call) const {
    return static_cast<int>(std::count(machine->calls.begin(), machine->calls.end(), call));
  }
};

}  // namespace

TEST(ModeSwitch, IsTheSecondCharacterUpperCased) {
  EXPECT_EQ(mode_switch("/s"), 'S');
  EXPECT_EQ(mode_switch("-S"), 'S');
  EXPECT_EQ(mode_switch("xs"), 'S');
  EXPECT_EQ(mode_switch("/c:1234"), 'C');
  EXPECT_EQ(mode_switch("s"), 0);
  EXPECT_EQ(mode_switch(""), 0);
}

TEST(StartUp, SaverSwitchesHideTheCursorAndTellThePlatform) {
  for (const char* command : {"/S", "-s", "xs", "/s 123"}) {
    Start s(command);
    s.run();
    EXPECT_FALSE(s.ended) << command;
    EXPECT_EQ(s.opened, std::vector<std::string>{"saver"}) << command;
    EXPECT_EQ(s.count("ShowCursor 0"), 1);
    EXPECT_EQ(s.count("SystemParametersInfo 97 -1"), 1);
    EXPECT_EQ(TileWidth[0], 300);  // settings were read first
  }
}

TEST(StartUp, EmptyCommandLineIsATestRunThatLeavesCursorAndPlatformAlone) {
  Start s("");
  s.run();
  EXPECT_EQ(s.opened, std::vector<std::string>{"saver"});
  EXPECT_EQ(s.count("ShowCursor 0"), 0);
  EXPECT_EQ(s.count("SystemParametersInfo 97 -1"), 0);
}

TEST(StartUp, SettingsModeShowsTheDialogThenEnds) {
  Start s("/c:1234");
  s.run();
  EXPECT_TRUE(s.ended);
  EXPECT_EQ(s.opened, std::vector<std::string>{"settings"});
  EXPECT_EQ(TileWidth[0], 300);
}

TEST(StartUp, PreviewReadsNoSettings) {
  Start s("/p 1234");
  s.run();
  EXPECT_FALSE(s.ended);
  EXPECT_EQ(s.opened, std::vector<std::string>{"preview"});
  EXPECT_EQ(s.preview_command, "/p 1234");
  EXPECT_EQ(TileWidth[0], 0);
}

TEST(StartUp, AnyOtherSwitchEndsAtOnce) {
  for (const char* command : {"/a", "s", "/x", "/a 1234"}) {
    Start s(command);
    s.run();
    EXPECT_TRUE(s.ended) << command;
    EXPECT_TRUE(s.opened.empty()) << command;
    EXPECT_EQ(s.count("ShowCursor 0"), 0) << command;
  }
}

TEST(StartUp, AnOpenSaverOrDialogStopsEveryModeSilently) {
  for (const char* running : {"Virelta_Main", "Vireltaの設定"}) {
    for (const char* command : {"/s", "/p 1234", "/c", ""}) {
      Start s(command);
      s.machine->foreign_captions = {running};
      s.run();
      EXPECT_TRUE(s.ended);
      EXPECT_TRUE(s.opened.empty());
      EXPECT_TRUE(s.machine->messages.empty());
      // Both captions are always looked up.
      EXPECT_EQ(s.count("FindWindow Virelta_Main"), 1);
      EXPECT_EQ(s.count("FindWindow Vireltaの設定"), 1);
    }
  }
  // A window with another caption (the preview's) does not stop anything.
  Start s("/s");
  s.machine->foreign_captions = {"Preview Window"};
  s.run();
  EXPECT_EQ(s.opened, std::vector<std::string>{"saver"});
}

TEST(PlatformRoutines, WindowsFamilyAndSystemKeys) {
  ScopedMemoryPlatform machine;
  machine->platform_id = std::nullopt;  // GetVersionExA failed
  EXPECT_FALSE(IsWindowsNT());
  machine->platform_id = 1;
  EXPECT_FALSE(IsWindowsNT());
  machine->platform_id = 2;
  EXPECT_TRUE(IsWindowsNT());
  AllowSystemKeys(true);
  AllowSystemKeys(false);
  EXPECT_EQ(machine->calls, (std::vector<std::string>{"SystemParametersInfo 97 0", "SystemParametersInfo 97 -1"}));
}

TEST(PlatformRoutines, ZoomFromAndIntoTheOriginPoint) {
  ScopedMemoryPlatform machine;
  machine->foreign_windows = {{77, Rect{100, 50, 460, 280}}};
  ZoomOriginX = 0;
  ZoomOriginY = 0;
  ZoomWindowOpen(77);  // never set: from the screen's top-left corner
  ZoomOriginX = 300;
  ZoomOriginY = 200;
  ZoomWindowClose(77);
  EXPECT_EQ(machine->calls, (std::vector<std::string>{"DrawAnimatedRects 3 0,0,0,0 100,50,460,280",
                                                     "DrawAnimatedRects 3 100,50,460,280 300,200,0,0"}));
  ZoomOriginX = ZoomOriginY = 0;
}
