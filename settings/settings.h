// The shared settings state of Virelta_B and the settings file it comes from:
// one section "Section" in "Virelta.ini" beside the program, nineteen keys.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "runtime/runtime.h"

namespace virelta {

// One slot per tile, 0 to 3. All start at 0 until LoadSettings runs.
extern std::array<Integer, 4> TileAction;  // 1: the tile is drawn
extern std::array<Integer, 4> TileWidth;   // pixels, when TileRandom is not 1
extern std::array<Integer, 4> TileHeight;  // pixels, when TileRandom is not 1
extern std::array<Integer, 4> TileRandom;  // 1: size chosen at random at start
extern Integer RotationSpeed;              // degrees per animation step
extern Integer TurnCount;                  // full turns per animation cycle
extern Integer AntiAliasSetting;           // 1: rotate with anti-aliasing
extern bool AntiAliasOn;                   // AntiAliasSetting == 1
extern std::string IniValue;               // the text LoadSettings read last

inline constexpr std::string_view kSettingsSection = "Section";
inline constexpr std::string_view kSettingsFileName = "\\Virelta.ini";

// The three global keys, in Shift-JIS: "回転速度", "回転数", "ｱﾝﾁｴｲﾘｱｽ".
inline constexpr std::string_view kRotationSpeedKey = "\x89\xF1\x93\x5D\x91\xAC\x93\x78";
inline constexpr std::string_view kTurnCountKey = "\x89\xF1\x93\x5D\x90\x94";
inline constexpr std::string_view kAntiAliasKey = "\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD";

// One setting of the file. A tile setting has one key per tile, its key
// followed by the tile's digit ("Action2"), and one variable per tile.
struct Setting {
  std::string_view key;
  std::array<Integer, 4>* tiles;  // a tile setting's variables, else null
  Integer* global;                // a global setting's variable, else null
  Integer default_value;          // for an empty or missing value
  // The dialog's range. A flag (0 to 1) counts as on only when it is 1.
  Integer lowest;
  Integer highest;
  bool flag() const { return lowest == 0 && highest == 1; }
};

// The seven settings, the tile ones in the order each tile's keys are read
// and written, then the global ones.
extern const std::array<Setting, 7> kSettings;

// The setting with this key ("Height" for the tile heights).
const Setting& setting(std::string_view key);

// "Action" and 2 give "Action2".
std::string tile_key(std::string_view prefix, int slot);

// Calls visit(key, variable, setting, slot) for all nineteen keys in the
// order the file holds them: each tile's keys, tile 0 first, then the global
// ones (slot -1).
template <class Visit>
void for_each_setting(Visit visit) {
  for (int slot = 0; slot < 4; ++slot)
    for (const Setting& s : kSettings)
      if (s.tiles) visit(tile_key(s.key, slot), (*s.tiles)[slot], s, slot);
  for (const Setting& s : kSettings)
    if (s.global) visit(std::string(s.key), *s.global, s, -1);
}

// The folder as the platform reports it, joined directly to "\Virelta.ini".
std::string settings_file_path(const std::string& program_folder);

// The value stored under the key, cut at 255 bytes; empty when the file,
// section or key is missing.
std::string GetIniValue(const std::string& section, const std::string& key,
                        const std::string& file);

// Stores the value under the key (section and key cut at 128 bytes). Puts 1
// (written) or 0 (failed) into LastApiResult and returns whether it worked.
bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file);

// Reads all nineteen keys from the folder's settings file into the shared
// state. An empty or missing value gives the default; a value that is not a
// number or does not fit 16 bits leaves its setting as it was.
void LoadSettings(const std::string& program_folder);

// Holds every setting the way the saver uses it, as the dialog shows it: a
// flag becomes 1 only when it is 1 (else 0), a number is held to its range.
void hold_settings_to_ranges();

// Puts the shared state back to its start values (every number 0), as before
// LoadSettings.
void reset_settings();

}  // namespace virelta
