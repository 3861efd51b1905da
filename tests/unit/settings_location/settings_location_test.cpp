// Where settings are read and saved when the program's own folder cannot be
// written (a saver installed in a system folder).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platforms/memory/memory_form_layer.h"
#include "settings/settings.h"
#include "settings/settings_location.h"

using namespace virelta;
namespace fs = std::filesystem;

namespace {

// Makes a folder (or file) refuse changes, even for the superuser where the
// file system allows it (immutable). False when this machine cannot.
bool lock(const fs::path& folder, bool locked) {
#if defined(_WIN32)
  (void)folder;
  (void)locked;
  return false;
#else
  std::string command = std::string(locked ? "chattr +i '" : "chattr -i '") + folder.string() + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) {
    std::error_code ec;
    fs::permissions(folder, locked ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all, ec);
  }
  if (!locked) return true;
  bool is_folder = fs::is_directory(folder);
  fs::path trial = is_folder ? folder / "probe" : folder;
  std::ofstream probe(trial, std::ios::app);
  bool refused = !probe;
  probe.close();
  if (!refused) {
    if (is_folder) fs::remove(trial);
    lock(folder, false);
  }
  return refused;
#endif
}

struct Folders {
  ScopedMemoryPlatform machine;
  fs::path root = fs::temp_directory_path() / "virelta-location-test";
  fs::path program = root / "program";
  fs::path user = root / "user" / "Virelta";
  Folders() {
    lock(program / "Virelta.ini", false);
    lock(program, false);
    fs::remove_all(root);
    fs::create_directories(program);
    machine->folder = program.string();
    machine->user_folder = user.string();
  }
  ~Folders() {
    lock(program / "Virelta.ini", false);
    lock(program, false);
    fs::remove_all(root);
  }
};

}  // namespace

TEST(SettingsLocation, BesideTheProgramWhileItsFolderTakesThem) {
  Folders f;
  EXPECT_EQ(settings_folder_for_reading(), f.program.string());
  EXPECT_EQ(settings_folder_for_writing(), f.program.string());
  EXPECT_FALSE(fs::exists(f.user));
  EXPECT_TRUE(fs::is_empty(f.program));  // the probe leaves nothing behind
  f.machine->user_folder.clear();
  EXPECT_EQ(settings_folder_for_writing(), f.program.string());
}

TEST(SettingsLocation, AnExistingPerUserFileIsTheOneUsed) {
  Folders f;
  fs::create_directories(f.user);
  std::ofstream(f.user / "Virelta.ini") << "[Section]\r\nWidth0=300\r\n";
  std::ofstream(f.program / "Virelta.ini") << "[Section]\r\nWidth0=400\r\n";
  EXPECT_EQ(settings_folder_for_reading(), f.user.string());
  EXPECT_EQ(settings_folder_for_writing(), f.user.string());
  reset_settings();
  LoadSettings(settings_folder_for_reading());
  EXPECT_EQ(TileWidth[0], 300);
}

TEST(SettingsLocation, AReadOnlyFileInAWritableFolderStaysThePlaceToSave) {
  Folders f;
  std::ofstream(f.program / "Virelta.ini") << "[Section]\r\nWidth0=400\r\n";
  if (!lock(f.program / "Virelta.ini", true)) GTEST_SKIP() << "this machine cannot make a file refuse changes";
  EXPECT_EQ(settings_folder_for_writing(), f.program.string());
  EXPECT_FALSE(WriteIniValue("Section", "Width0", " 300", settings_file_path(f.program.string())));
  EXPECT_FALSE(fs::exists(f.user));
}

TEST(SettingsLocation, AFolderThatRefusesFilesSendsTheSettingsToTheUser) {
  Folders f;
  std::ofstream(f.program / "Virelta.ini") << "[Section]\r\nWidth0=400\r\n";
  if (!lock(f.program / "Virelta.ini", true) || !lock(f.program, true))
    GTEST_SKIP() << "this machine cannot make a folder refuse files";
  std::string folder = settings_folder_for_writing();
  EXPECT_EQ(folder, f.user.string());
  EXPECT_TRUE(fs::is_directory(f.user));
  ASSERT_TRUE(WriteIniValue("Section", "Width0", " 300", settings_file_path(folder)));
  // From now on the per-user file is read first; the program's file is as it was.
  EXPECT_EQ(settings_folder_for_reading(), f.user.string());
  reset_settings();
  LoadSettings(settings_folder_for_reading());
  EXPECT_EQ(TileWidth[0], 300);
  std::ifstream in(f.program / "Virelta.ini");
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  EXPECT_EQ(line, "Width0=400\r");
}
