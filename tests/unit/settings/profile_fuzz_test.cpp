// Hand-edited settings files of any content: random bytes, long lines and
// random mixtures of valid lines must read and write with a defined result.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/profile_file.h"
#include "app/settings.h"
#include "temp_folder.h"

namespace virelta {
namespace {

using Rng = std::mt19937;

int pick(Rng& rng, int count) { return static_cast<int>(rng() % static_cast<unsigned>(count)); }

std::vector<std::string> setting_keys() {
  std::vector<std::string> keys;
  for_each_setting([&](const std::string& key, Integer, const Setting&, int) { keys.push_back(key); });
  return keys;
}

std::string random_bytes(Rng& rng, std::string_view alphabet, int length) {
  std::string out;
  for (int i = 0; i < length; ++i)
    out += alphabet.empty() ? static_cast<char>(rng()) : alphabet[pick(rng, static_cast<int>(alphabet.size()))];
  return out;
}

const std::string kStructure = std::string("[]= \t\r\n\"'aA0\x89\x93\x5D\x78\x58\xB1\xEF\xBB\xBF", 21) + '\0';

std::string random_value(Rng& rng) {
  static const std::array<std::string, 10> values = {
      " 1", "-3.5", "12.9", "abc", "&HFFFF", "\"5\"", "", "  ", "40000", "'x'"};
  if (pick(rng, 3) == 0) return random_bytes(rng, "0123456789 .-+eE&H\"'ab\t=[]", pick(rng, 12));
  return values[pick(rng, static_cast<int>(values.size()))];
}

std::string random_line(Rng& rng, const std::vector<std::string>& keys) {
  switch (pick(rng, 9)) {
    case 0: return "[Section]";
    case 1: return random_bytes(rng, " \t", pick(rng, 3)) + "[ sEcTiOn ]" + random_bytes(rng, kStructure, pick(rng, 4));
    case 2: return "[Other]";
    case 3: return "";
    case 4: return random_bytes(rng, kStructure, pick(rng, 40));
    case 5: return pick(rng, 20) == 0 ? std::string(20000 + pick(rng, 60000), "x=[\x89"[pick(rng, 4)])
                                      : random_bytes(rng, "", pick(rng, 60));
    default: {
      std::string key = keys[pick(rng, static_cast<int>(keys.size()))];
      if (pick(rng, 4) == 0) key = random_bytes(rng, " \t", 2) + key + random_bytes(rng, " \t", 2);
      return key + "=" + random_value(rng);
    }
  }
}

std::string random_file(Rng& rng, const std::vector<std::string>& keys) {
  static const std::array<std::string_view, 4> breaks = {"\r\n", "\n", "\r", "\r\n"};
  switch (pick(rng, 5)) {
    case 0: return random_bytes(rng, "", pick(rng, 400));
    case 1: return random_bytes(rng, kStructure, pick(rng, 400));
    default: {
      std::string file;
      int lines = pick(rng, 30);
      for (int i = 0; i < lines; ++i) {
        file += random_line(rng, keys);
        if (i + 1 < lines || pick(rng, 2) == 0) file += breaks[pick(rng, 4)];
      }
      return file;
    }
  }
}

// Bytes shared at the start and at the end of two texts, not overlapping.
std::pair<std::size_t, std::size_t> common_ends(const std::string& a, const std::string& b) {
  std::size_t limit = std::min(a.size(), b.size());
  std::size_t head = 0;
  while (head < limit && a[head] == b[head]) ++head;
  std::size_t tail = 0;
  while (tail < limit - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
  return {head, tail};
}

TEST(ProfileFileFuzz, ReadsAndWritesOfRandomTextAreDefined) {
  Rng rng(20240611);
  const std::vector<std::string> keys = [] {
    auto k = setting_keys();
    k.push_back("\x89\xF1\x93\x5D\x91\xAC\x93\x58");
    k.push_back("");
    return k;
  }();
  for (int round = 0; round < 3000 && !::testing::Test::HasFailure(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string contents = random_file(rng, keys);
    std::map<std::string, std::optional<std::string>> before;
    for (const auto& key : keys) {
      auto value = profile_value(contents, "Section", key);
      if (value) {
        EXPECT_LE(value->size(), kProfileValueLimit);
        EXPECT_EQ(value->find('\0'), std::string::npos);
      }
      before[key] = value;
    }

    const std::string& key = keys[pick(rng, static_cast<int>(keys.size()))];
    const std::string value = random_value(rng);
    const std::string updated = profile_with_value(contents, "Section", key, value);
    // The key reads back as written and no other key changes.
    EXPECT_EQ(profile_value(updated, "Section", key), profile_value_as_read(value));
    for (const auto& other : keys) {
      if (!profile_names_equal(other, key)) {
        EXPECT_EQ(profile_value(updated, "Section", other), before[other]);
      }
    }
    // The old bytes are all kept, except a value's bytes within its own line.
    auto [head, tail] = common_ends(contents, updated);
    if (!before[key]) {
      EXPECT_EQ(head + tail, contents.size());
    } else {
      std::string replaced = contents.substr(head, contents.size() - head - tail);
      EXPECT_EQ(replaced.find_first_of("\r\n"), std::string::npos);
    }
  }
}

TEST(ProfileFileFuzz, RandomFilesLoadAndSave) {
  Rng rng(7);
  const auto keys = setting_keys();
  testing::TempFolder folder;
  const std::string ini = settings_file_path(folder.utf8());
  const std::array<Integer, 19> defaults = {1, 256, 256, 1, 1, 256, 256, 1, 1, 256,
                                            256, 1, 1, 256, 256, 1, 10, 1, 1};
  for (int round = 0; round < 150 && !::testing::Test::HasFailure(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string contents = random_file(rng, keys);
    folder.put("Virelta.ini", contents);
    reset_settings();
    LoadSettings(folder.utf8());

    std::array<Integer, 19> loaded{};
    for (int slot = 0; slot < 4; ++slot) {
      loaded[slot * 4 + 0] = TileAction[slot];
      loaded[slot * 4 + 1] = TileHeight[slot];
      loaded[slot * 4 + 2] = TileWidth[slot];
      loaded[slot * 4 + 3] = TileRandom[slot];
    }
    loaded[16] = RotationSpeed;
    loaded[17] = TurnCount;
    loaded[18] = AntiAliasSetting;
    for (int i = 0; i < 19; ++i) {
      std::string text = profile_value(contents, "Section", keys[i]).value_or("");
      Integer expected = 0;
      if (text.empty()) {
        expected = defaults[i];
      } else {
        on_error_resume_next([&] { expected = to_integer(int_floor(text_to_number(text))); });
      }
      EXPECT_EQ(loaded[i], expected) << "key " << i << " text '" << text << "'";
    }
    EXPECT_EQ(AntiAliasOn, AntiAliasSetting == 1);

    const std::string& key = keys[pick(rng, 19)];
    const std::string value = random_value(rng);
    ASSERT_TRUE(WriteIniValue("Section", key, value, ini));
    EXPECT_EQ(folder.bytes("Virelta.ini"), profile_with_value(contents, "Section", key, value));
  }
}

}  // namespace
}  // namespace virelta
