// Start-up: the mode switch and what each mode does before its window takes over.
#include <gtest/gtest.h>

#include <algorithm>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "startup/virelta_b.h"
#include "unit/temp_folder.h"

using namespace virelta;

namespace {

// Runs the program with `command` beside a settings file that sets Width0 to 300.
struct Start {
  ScopedMemoryPlatform machine;
  virelta::testing::TempFolder folder;
  std::vector<std::string> opened;
  bool ended = false;
  explicit Start(const std::string& command) {
    machine->command = command;
    folder.put("Virelta.ini", "[Section]\r\nWidth0=300\r\n");
    machine->folder = folder.utf8();
    reset_settings();
    ModeWindows windows;
    windows.show_settings = [this] { opened.push_back("settings"); };
    windows.load_saver = [this] { opened.push_back("saver"); };
    windows.show_preview = [this](const std::string& c) { opened.push_back("preview " + c); };
    try { Main(windows); } catch (const ProgramEnded&) { ended = true; }
  }
  int count(const std::string& call) const { return int(std::count(machine->calls.begin(), machine->calls.end(), call)); }
};

}  // namespace

TEST(StartUp, TheSecondCharacterPicksTheModeAndSettingsAreReadFirst) {
  // The saver proper hides the cursor and tells the platform; width0 -1: not looked at.
  const struct { const char* command; std::vector<std::string> opened; bool ended; int hidden_cursor; Integer width0; } cases[] = {{"/S", {"saver"}, false, 1, 300}, {"-s", {"saver"}, false, 1, 300}, {"xs", {"saver"}, false, 1, 300},
               {"/s 123", {"saver"}, false, 1, 300}, {"", {"saver"}, false, 0, 300},  // a test run
               {"/c:1234", {"settings"}, true, 0, 300}, {"/p 1234", {"preview /p 1234"}, false, 0, 0},
               {"/a", {}, true, 0, -1}, {"s", {}, true, 0, -1}, {"/x", {}, true, 0, -1}, {"/a 1234", {}, true, 0, -1}};
  for (const auto& c : cases) {
    Start s(c.command);
    EXPECT_TRUE(s.opened == c.opened && s.ended == c.ended) << c.command;
    EXPECT_EQ(s.count("ShowCursor 0") * 10 + s.count("SystemParametersInfo 97 -1"), c.hidden_cursor * 11) << c.command;
    EXPECT_TRUE(c.width0 < 0 || TileWidth[0] == c.width0) << c.command;
  }
}

