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

// Tile keys: prefix followed by the slot digit, in the order they are read.
inline constexpr std::array<std::string_view, 4> kTileKeyPrefixes = {"Action", "Height", "Width",
                                                                     "Random"};
// The three global keys, in Shift-JIS: "回転速度", "回転数", "ｱﾝﾁｴｲﾘｱｽ".
inline constexpr std::string_view kRotationSpeedKey = "\x89\xF1\x93\x5D\x91\xAC\x93\x78";
inline constexpr std::string_view kTurnCountKey = "\x89\xF1\x93\x5D\x90\x94";
inline constexpr std::string_view kAntiAliasKey = "\xB1\xDD\xC1\xB4\xB2\xD8\xB1\xBD";

// "Action" and 2 give "Action2".
std::string tile_key(std::string_view prefix, int slot);

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

// Puts the shared state back to its start values (every number 0), as before
// LoadSettings.
void reset_settings();

}  // namespace virelta
