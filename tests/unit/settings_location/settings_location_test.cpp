// Where settings are read and saved when the program's own folder cannot be
// written (a saver installed in a system folder).
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "settings/settings_location.h"
#include "unit/temp_folder.h"

using namespace virelta;
namespace fs = std::filesystem;

namespace {

struct Folders {
  ScopedMemoryPlatform machine;
  virelta::testing::TempFolder root;
  fs::path program = root.path() / "program", user = root.path() / "user" / "Virelta";
  Folders() {
    fs::create_directories(program);
    root.put("program/Virelta.ini", "[Section]\r\nWidth0=400\r\n");
    machine->folder = program.string();
    machine->user_folder = user.string();
  }
  Integer loaded_width0() {
    reset_settings();
    return LoadSettings(settings_folder_for_reading()), TileWidth[0];
  }
};

}  // namespace

TEST(SettingsLocation, BesideTheProgramWhileItsFolderTakesThemUnlessAPerUserFileExists) {
  Folders f;
  EXPECT_TRUE(settings_folder_for_reading() == f.program.string() && settings_folder_for_writing() == f.program.string());
  EXPECT_FALSE(fs::exists(f.user));
  EXPECT_EQ(std::distance(fs::directory_iterator(f.program), {}), 1);  // the probe leaves nothing behind
  fs::create_directories(f.user);  // an existing per-user file is the one used
  f.root.put("user/Virelta/Virelta.ini", "[Section]\r\nWidth0=300\r\n");
  EXPECT_TRUE(settings_folder_for_writing() == f.user.string() && f.loaded_width0() == 300);
}

TEST(SettingsLocation, AReadOnlyFileStaysThePlaceToSaveAndARefusingFolderSendsThemToTheUser) {
  Folders f;
  if (!f.root.lock(f.program / "Virelta.ini")) GTEST_SKIP() << "this machine cannot make a file refuse changes";
  EXPECT_TRUE(settings_folder_for_writing() == f.program.string() && !fs::exists(f.user));  // its save fails
  if (!f.root.lock(f.program)) GTEST_SKIP() << "this machine cannot make a folder refuse files";
  ASSERT_EQ(settings_folder_for_writing(), f.user.string());
  ASSERT_TRUE(WriteIniValue("Section", "Width0", " 300", settings_file_path(f.user.string())));
  // From now on the per-user file is read first; the program's file is as it was.
  EXPECT_TRUE(settings_folder_for_reading() == f.user.string() && f.loaded_width0() == 300);
  EXPECT_EQ(f.root.bytes("program/Virelta.ini"), "[Section]\r\nWidth0=400\r\n");
}
