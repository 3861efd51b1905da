#include "settings/settings.h"

#include "settings/profile_file.h"

namespace virelta {

std::array<Integer, 4> TileAction{};
std::array<Integer, 4> TileWidth{};
std::array<Integer, 4> TileHeight{};
std::array<Integer, 4> TileRandom{};
Integer RotationSpeed = 0;
Integer TurnCount = 0;
Integer AntiAliasSetting = 0;
bool AntiAliasOn = false;
std::string IniValue;

namespace {

// One key: reading it and storing it are separate statements under the
// skip-on-error rule, so a bad value skips only its own assignment.
void load_key(Integer& setting, const std::string& key, Integer default_value,
              const std::string& file) {
  on_error_resume_next([&] { IniValue = GetIniValue(std::string(kSettingsSection), key, file); });
  on_error_resume_next([&] {
    if (IniValue.empty())
      setting = default_value;
    else
      setting = to_integer(int_floor(text_to_number(IniValue)));
  });
}

}  // namespace

std::string tile_key(std::string_view prefix, int slot) {
  return std::string(prefix) + std::to_string(slot);
}

std::string settings_file_path(const std::string& program_folder) {
  return program_folder + std::string(kSettingsFileName);
}

std::string GetIniValue(const std::string& section, const std::string& key,
                        const std::string& file) {
  return read_profile_string(section, key, file);
}

bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) {
  bool written = write_profile_string(section, key, value, file);
  LastApiResult = written ? 1 : 0;
  return written;
}

void LoadSettings(const std::string& program_folder) {
  const std::string file = settings_file_path(program_folder);
  for (int slot = 0; slot < 4; ++slot) {
    load_key(TileAction[slot], tile_key("Action", slot), 1, file);
    load_key(TileHeight[slot], tile_key("Height", slot), 256, file);
    load_key(TileWidth[slot], tile_key("Width", slot), 256, file);
    load_key(TileRandom[slot], tile_key("Random", slot), 1, file);
  }
  load_key(RotationSpeed, std::string(kRotationSpeedKey), 10, file);
  load_key(TurnCount, std::string(kTurnCountKey), 1, file);
  load_key(AntiAliasSetting, std::string(kAntiAliasKey), 1, file);
  AntiAliasOn = AntiAliasSetting == 1;
}

void reset_settings() {
  TileAction = {};
  TileWidth = {};
  TileHeight = {};
  TileRandom = {};
  RotationSpeed = TurnCount = AntiAliasSetting = 0;
  AntiAliasOn = false;
  IniValue.clear();
}

}  // namespace virelta
