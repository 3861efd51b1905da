#include "settings/settings.h"

#include <algorithm>
#include <stdexcept>

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

const std::array<Setting, 7> kSettings = {{
    // key, tile variables, global variable, default, lowest, highest
    {"Action", &TileAction, nullptr, 1, 0, 1},
    {"Height", &TileHeight, nullptr, 256, 256, 512},
    {"Width", &TileWidth, nullptr, 256, 256, 512},
    {"Random", &TileRandom, nullptr, 1, 0, 1},
    {kRotationSpeedKey, nullptr, &RotationSpeed, 10, 1, 20},
    {kTurnCountKey, nullptr, &TurnCount, 1, 1, 10},
    {kAntiAliasKey, nullptr, &AntiAliasSetting, 1, 0, 1},
}};

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

const Setting& setting(std::string_view key) {
  for (const Setting& s : kSettings)
    if (s.key == key) return s;
  throw std::out_of_range("no setting " + std::string(key));
}

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
  for_each_setting([&](const std::string& key, Integer& variable, const Setting& s, int) {
    load_key(variable, key, s.default_value, file);
  });
  AntiAliasOn = AntiAliasSetting == 1;
}

void hold_settings_to_ranges() {
  for_each_setting([](const std::string&, Integer& variable, const Setting& s, int) {
    if (s.flag())
      variable = variable == 1 ? 1 : 0;
    else
      variable = std::clamp(variable, s.lowest, s.highest);
  });
}

void reset_settings() {
  for_each_setting([](const std::string&, Integer& variable, const Setting&, int) { variable = 0; });
  AntiAliasOn = false;
  IniValue.clear();
}

}  // namespace virelta
