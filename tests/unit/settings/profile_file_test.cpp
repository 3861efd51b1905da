// The profile file: what a read returns and the exact bytes a write leaves.
#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include "unit/temp_folder.h"

namespace virelta {
namespace {

using testing::TempFolder;
using namespace std::string_literals;

// "回転速度" in Shift-JIS; its trail byte 0x78 is an 'x' alone, and upper-cased another character.
const std::string kSpeed = "\x89\xF1\x93\x5D\x91\xAC\x93\x78";
const std::string kSpeedFolded = "\x89\xF1\x93\x5D\x91\xAC\x93\x58";

TEST(ProfileFileWrite, FirstWriteCreatesFileAndSectionThenAppendsAndUpdatesKeys) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  ASSERT_TRUE(write_profile_string("Section", "Action0", " 1", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"), "[Section]\r\nAction0= 1\r\n");
  ASSERT_TRUE(write_profile_string("Section", kSpeed, "-3", ini));
  EXPECT_EQ(read_profile_string("Section", kSpeed, ini) + read_profile_string("Other", "Action0", ini), "-3");
  EXPECT_FALSE(folder.exists("Virelta.ini.tmp"));

  // Only the first matching key's value changes; a new key follows the section's last non-blank line.
  folder.put("Virelta.ini", "; mine\r\n[Other]\nAction0=9\n\n  [ section ]  ; tiles\r\n  ACTION0 =   7   \r\n"
                            "Width0\r\naction0=8\r\n\r\n[Section]\r\nRandom0=5");
  EXPECT_EQ(read_profile_string("Section", "Action0", ini), "7");
  // No '=': not a key; a repeated section is not read.
  EXPECT_EQ(read_profile_string("Section", "Width0", ini) + read_profile_string("Section", "Random0", ini), "");
  ASSERT_TRUE(write_profile_string("Section", "Action0", " 1", ini));
  ASSERT_TRUE(write_profile_string("Section", "Random0", " 0", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"), "; mine\r\n[Other]\nAction0=9\n\n  [ section ]  ; tiles\r\n  ACTION0 = 1\r\n"
                                         "Width0\r\naction0=8\r\nRandom0= 0\r\n\r\n[Section]\r\nRandom0=5");
}

TEST(ProfileFileWrite, LineBreaksAreAddedWhereTheFileLacksThem) {
  const char* cases[][4] = {  // before, key, value, after; in [Section]
      {"[Other]\r\nA=1", "Action0", " 1", "[Other]\r\nA=1\r\n[Section]\r\nAction0= 1\r\n"},
      {"[Section]\r\nAction0= 1", "Width0", " 5", "[Section]\r\nAction0= 1\r\nWidth0= 5\r\n"},
      {"[Section]", "Width0", "5", "[Section]\r\nWidth0=5\r\n"},
      {"[Section]\nA=1\n", "B", "2", "[Section]\nA=1\nB=2\r\n"},  // only the new line is CR LF
      {"[Section]\rA=1\r[X]\r", "A", "3", "[Section]\rA=3\r[X]\r"},
      {"\xEF\xBB\xBF", "A", "1", "\xEF\xBB\xBF[Section]\r\nA=1\r\n"},  // a byte-order mark alone
      {"[Section]\r\nA =x\r\n", "a", "x", "[Section]\r\nA =x\r\n"}};
  for (const auto& c : cases) EXPECT_EQ(profile_with_value(c[0], "Section", c[1], c[2]), c[3]) << c[0];
  EXPECT_EQ(profile_value("\xEF\xBB\xBF[Section]\r\nA=1\r\n", "Section", "A"), "1");
}

TEST(ProfileFileNames, AsciiCaseIsIgnoredButNotInsideDoubleByteCharacters) {
  EXPECT_TRUE(profile_names_equal("Action0", "aCTION0"));
  EXPECT_TRUE(profile_names_equal("\x89\xF1x", "\x89\xF1X"));  // after a complete pair: a letter again
  for (const auto& [a, b] : std::initializer_list<std::pair<std::string, std::string>>{
           {"Action0", "Action1"}, {"Action", "Action0"}, {kSpeed, kSpeedFolded}, {"\x82\x61", "\x82\x41"},
           {"\xB1", "\xD1"}, {"\xE9", "\xC9"}})  // the last two: half-width katakana, single bytes with no case
    EXPECT_FALSE(profile_names_equal(a, b)) << a << " " << b;
  const std::string file = "[SECTION]\r\n" + kSpeedFolded + "=5\r\n[\x93\x5D]\r\nA=1\r\n";
  EXPECT_TRUE(!profile_value(file, "Section", kSpeed) && !profile_value(file, "\x93", "A"));
  EXPECT_EQ(*profile_value(file, "section", kSpeedFolded) + *profile_value(file, "\x93\x5D", "A"), "51");  // 0x5D closes nothing
}

TEST(ProfileFileRead, BlanksQuotesAndCuts) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {" \t k \t=  v  w \t", "v  w"}, {"k=\"  quoted  \"", "  quoted  "}, {"k= 'a' ", "a"}, {"k=\"a'", "\"a'"},
      {"k=\"", "\""}, {"k=\"\"", ""}, {"k=a=b", "a=b"}, {"k=", ""}, {"k=12\0 34"s, "12"},
      {std::string(300, '7'), std::nullopt}, {"k=\"" + std::string(300, '7') + "\"", std::string(255, '7')}};
  for (const auto& [line, value] : cases) EXPECT_EQ(profile_value("[S]\r\n" + line + "\r\n", "S", "k"), value) << line;
  EXPECT_EQ(profile_value("k=1\r\n[S]\r\n", "", "k"), std::nullopt);  // lines before the first section
}

TEST(ProfileFileWrite, NamesAreTrimmedAndCutAt128BytesAndUnreadableWritesRefused) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  ASSERT_TRUE(write_profile_string(std::string(128, 'S') + "tail", std::string(127, 'k') + "Ktail", "v", ini));
  ASSERT_TRUE(write_profile_string("  Section\t", " Action0 ", "1", ini));
  const std::string before = "[" + std::string(128, 'S') + "]\r\n" + std::string(127, 'k') + "K=v\r\n[Section]\r\nAction0=1\r\n";
  EXPECT_EQ(folder.bytes("Virelta.ini"), before);
  EXPECT_EQ(read_profile_string(std::string(128, 's'), std::string(128, 'K'), ini) +
                read_profile_string("Section", "Action0\0junk"s, ini), "v1");
  for (const auto& [section, key, value] : std::initializer_list<std::tuple<std::string, std::string, std::string>>{
           {"Section", "Action0", "1\r\nAction1=9"}, {"Section", "Action0", "1\n"}, {"Section", "a=b", "1"},
           {"Section", "[x]", "1"}, {"a]b", "Action0", "1"}, {"Sec\rtion", "Action0", "1"}})
    EXPECT_FALSE(write_profile_string(section, key, value, ini)) << key << value;
  EXPECT_EQ(folder.bytes("Virelta.ini"), before);
  // Quotes and long values are stored as given and read back the way a read returns them.
  EXPECT_TRUE(write_profile_string("Section", "Action0", "\" 2 \"", ini));
  EXPECT_TRUE(write_profile_string("Section", "Width0", std::string(300, '9'), ini));
  EXPECT_EQ(read_profile_string("Section", "Action0", ini) + read_profile_string("Section", "Width0", ini),
            " 2 " + std::string(255, '9'));
  EXPECT_EQ(folder.bytes("Virelta.ini").substr(before.size() - 11), "Action0=\" 2 \"\r\nWidth0=" + std::string(300, '9') + "\r\n");
}

TEST(ProfileFileWrite, FailuresAreReportedAndLeaveTheOldBytes) {
  TempFolder folder;
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1", folder.file("missing\\Virelta.ini")));
  EXPECT_FALSE(folder.exists("missing"));
  std::filesystem::create_directory(folder.path() / "Folder.ini");  // a folder where the file should be
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1", folder.file("Folder.ini")));
  const std::string before = "[Section]\r\nAction0= 1\r\n";
  folder.put("Virelta.ini", before);
  folder.put("Existing.ini", before);
  if (!folder.lock(folder.path() / "Virelta.ini")) GTEST_SKIP() << "this machine cannot make a file refuse changes";
  EXPECT_FALSE(write_profile_string("Section", "Action0", " 0", folder.file("Virelta.ini")));
  EXPECT_FALSE(write_profile_string("Section", "Width0", " 300", folder.file("Virelta.ini")));
  EXPECT_TRUE(write_profile_string("Section", "Action0", " 1", folder.file("Virelta.ini")));  // already there
  EXPECT_EQ(folder.bytes("Virelta.ini"), before);
  if (!folder.lock(folder.path())) GTEST_SKIP() << "this machine cannot make a folder refuse files";
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1", folder.file("New.ini")));
  EXPECT_FALSE(folder.exists("New.ini"));
  // A writable file in it is still updated, longer and shorter.
  for (const char* value : {" 10", "2"}) {
    ASSERT_TRUE(write_profile_string("Section", "Action0", value, folder.file("Existing.ini")));
    EXPECT_EQ(folder.bytes("Existing.ini"), "[Section]\r\nAction0=" + std::string(value) + "\r\n");
  }
}

}  // namespace
}  // namespace virelta
