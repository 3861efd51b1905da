// The profile file: what a read returns and the exact bytes a write leaves.
#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"

namespace virelta {
namespace {

using testing::TempFolder;
using namespace std::string_literals;

// "回転速度" in Shift-JIS; its last byte 0x78 is an 'x' when read alone.
const std::string kSpeed = "\x89\xF1\x93\x5D\x91\xAC\x93\x78";
// The same bytes with that trail byte upper-cased, which is another character.
const std::string kSpeedFolded = "\x89\xF1\x93\x5D\x91\xAC\x93\x58";

TEST(ProfileFileWrite, FirstWriteCreatesFileAndSectionThenAppendsKeys) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  ASSERT_TRUE(write_profile_string("Section", "Action0", " 1", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"), "[Section]\r\nAction0= 1\r\n");
  ASSERT_TRUE(write_profile_string("Section", "Height0", " 256", ini));
  ASSERT_TRUE(write_profile_string("Section", kSpeed, "-3", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"),
            "[Section]\r\nAction0= 1\r\nHeight0= 256\r\n" + kSpeed + "=-3\r\n");
  EXPECT_EQ(read_profile_string("Section", "Action0", ini), "1");
  EXPECT_EQ(read_profile_string("Section", kSpeed, ini), "-3");
  EXPECT_EQ(read_profile_string("Section", "Width0", ini), "");
  EXPECT_EQ(read_profile_string("Other", "Action0", ini), "");
  EXPECT_FALSE(folder.exists("Virelta.ini.tmp"));
}

TEST(ProfileFileWrite, UpdateChangesOnlyTheValueOfTheFirstMatchingKey) {
  TempFolder folder;
  const std::string before =
      "; settings written by hand\r\n"
      "[Other]\n"
      "Action0=9\n"
      "\n"
      "  [ section ]  ; tiles\r\n"
      "  ACTION0 =   7   \r\n"
      "Width0\r\n"
      "action0=8\r\n"
      "\r\n"
      "[Section]\r\n"
      "Random0=5";
  folder.put("Virelta.ini", before);
  const std::string ini = folder.file("Virelta.ini");
  EXPECT_EQ(read_profile_string("Section", "Action0", ini), "7");
  EXPECT_EQ(read_profile_string("Section", "Width0", ini), "");   // no '=': not a key
  EXPECT_EQ(read_profile_string("Section", "Random0", ini), "");  // repeated section is not read

  ASSERT_TRUE(write_profile_string("Section", "Action0", " 1", ini));
  const std::string updated =
      "; settings written by hand\r\n"
      "[Other]\n"
      "Action0=9\n"
      "\n"
      "  [ section ]  ; tiles\r\n"
      "  ACTION0 = 1\r\n"
      "Width0\r\n"
      "action0=8\r\n"
      "\r\n"
      "[Section]\r\n"
      "Random0=5";
  EXPECT_EQ(folder.bytes("Virelta.ini"), updated);

  // A new key goes after the section's last non-blank line, in CR LF.
  ASSERT_TRUE(write_profile_string("Section", "Random0", " 0", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"),
            "; settings written by hand\r\n"
            "[Other]\n"
            "Action0=9\n"
            "\n"
            "  [ section ]  ; tiles\r\n"
            "  ACTION0 = 1\r\n"
            "Width0\r\n"
            "action0=8\r\n"
            "Random0= 0\r\n"
            "\r\n"
            "[Section]\r\n"
            "Random0=5");
  EXPECT_EQ(read_profile_string("Section", "Random0", ini), "0");
  EXPECT_EQ(read_profile_string("Other", "ACTION0", ini), "9");
}

TEST(ProfileFileWrite, LineBreaksAreAddedWhereTheFileLacksThem) {
  // Section missing, last line unterminated.
  EXPECT_EQ(profile_with_value("[Other]\r\nA=1", "Section", "Action0", " 1"),
            "[Other]\r\nA=1\r\n[Section]\r\nAction0= 1\r\n");
  // Section present, its last line is the unterminated end of the file.
  EXPECT_EQ(profile_with_value("[Section]\r\nAction0= 1", "Section", "Width0", " 5"),
            "[Section]\r\nAction0= 1\r\nWidth0= 5\r\n");
  EXPECT_EQ(profile_with_value("[Section]", "Section", "Width0", "5"), "[Section]\r\nWidth0=5\r\n");
  // A file of LF lines keeps them; only the new line is CR LF.
  EXPECT_EQ(profile_with_value("[Section]\nA=1\n", "Section", "B", "2"), "[Section]\nA=1\nB=2\r\n");
  // Lone CR ends a line too.
  EXPECT_EQ(profile_with_value("[Section]\rA=1\r[X]\r", "Section", "A", "3"), "[Section]\rA=3\r[X]\r");
  // A byte-order mark alone is not a line that needs ending.
  EXPECT_EQ(profile_with_value("\xEF\xBB\xBF", "Section", "A", "1"), "\xEF\xBB\xBF[Section]\r\nA=1\r\n");
  EXPECT_EQ(profile_value("\xEF\xBB\xBF[Section]\r\nA=1\r\n", "Section", "A"), "1");
  // Writing the value that is already there changes nothing.
  EXPECT_EQ(profile_with_value("[Section]\r\nA =x\r\n", "Section", "a", "x"), "[Section]\r\nA =x\r\n");
}

TEST(ProfileFileNames, AsciiCaseIsIgnoredButNotInsideDoubleByteCharacters) {
  EXPECT_TRUE(profile_names_equal("Action0", "aCTION0"));
  EXPECT_FALSE(profile_names_equal("Action0", "Action1"));
  EXPECT_FALSE(profile_names_equal("Action", "Action0"));
  EXPECT_TRUE(profile_names_equal(kSpeed, kSpeed));
  EXPECT_FALSE(profile_names_equal(kSpeed, kSpeedFolded));
  EXPECT_FALSE(profile_names_equal("\x82\x61", "\x82\x41"));
  // After a complete pair, a single byte is a letter again.
  EXPECT_TRUE(profile_names_equal("\x89\xF1x", "\x89\xF1X"));
  // Half-width katakana are single bytes with no case.
  EXPECT_FALSE(profile_names_equal("\xB1", "\xD1"));
  EXPECT_FALSE(profile_names_equal("\xE9", "\xC9"));
}

TEST(ProfileFileNames, ShiftJisKeyFoundOnlyWithItsOwnBytes) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  folder.put("Virelta.ini", "[SECTION]\r\n" + kSpeedFolded + "=5\r\n");
  EXPECT_EQ(read_profile_string("Section", kSpeed, ini), "");
  EXPECT_EQ(read_profile_string("section", kSpeedFolded, ini), "5");
  ASSERT_TRUE(write_profile_string("Section", kSpeed, " 12", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"),
            "[SECTION]\r\n" + kSpeedFolded + "=5\r\n" + kSpeed + "= 12\r\n");
  EXPECT_EQ(read_profile_string("Section", kSpeed, ini), "12");

  // "[転]": the trail byte 0x5D of 転 does not close the brackets.
  const std::string ten = "\x93\x5D";
  const std::string file = "[" + ten + "]\r\nA=1\r\n";
  EXPECT_EQ(profile_value(file, ten, "A"), "1");
  EXPECT_EQ(profile_value(file, "\x93", "A"), std::nullopt);
}

TEST(ProfileFileRead, BlanksQuotesAndCuts) {
  auto read = [](const std::string& line) { return profile_value("[S]\r\n" + line + "\r\n", "S", "k"); };
  EXPECT_EQ(read(" \t k \t=  v  w \t"), "v  w");
  EXPECT_EQ(read("k=\"  quoted  \""), "  quoted  ");
  EXPECT_EQ(read("k= 'a' "), "a");
  EXPECT_EQ(read("k=\"a'"), "\"a'");
  EXPECT_EQ(read("k=\""), "\"");
  EXPECT_EQ(read("k=\"\""), "");
  EXPECT_EQ(read("k=a=b"), "a=b");
  EXPECT_EQ(read("k="), "");
  EXPECT_EQ(read("k=12\0 34"s), "12");
  EXPECT_EQ(read(std::string(300, '7')), std::nullopt);
  EXPECT_EQ(read("k=" + std::string(300, '7')), std::string(255, '7'));
  EXPECT_EQ(read("k=\"" + std::string(300, '7') + "\""), std::string(255, '7'));
  // Lines before the first section belong to none.
  EXPECT_EQ(profile_value("k=1\r\n[S]\r\n", "S", "k"), std::nullopt);
  EXPECT_EQ(profile_value("k=1\r\n[S]\r\n", "", "k"), std::nullopt);
}

TEST(ProfileFileWrite, NamesAreTrimmedAndCutAt128Bytes) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  const std::string long_section = std::string(128, 'S') + "tail";
  const std::string long_key = std::string(127, 'k') + "Ktail";
  ASSERT_TRUE(write_profile_string(long_section, long_key, "v", ini));
  ASSERT_TRUE(write_profile_string("  Section\t", " Action0 ", "1", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"), "[" + std::string(128, 'S') + "]\r\n" +
                                             std::string(127, 'k') + "K=v\r\n[Section]\r\nAction0=1\r\n");
  // Reads use the names in full.
  EXPECT_EQ(read_profile_string(long_section, long_key, ini), "");
  EXPECT_EQ(read_profile_string(std::string(128, 's'), std::string(128, 'K'), ini), "v");
  EXPECT_EQ(read_profile_string("Section", "Action0\0junk"s, ini), "1");
}

TEST(ProfileFileWrite, WritesThatWouldNotReadBackAreRefused) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  const std::string before = "[Section]\r\nAction0= 1\r\n";
  folder.put("Virelta.ini", before);
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1\r\nAction1=9", ini));
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1\n", ini));
  EXPECT_FALSE(write_profile_string("Section", "a=b", "1", ini));
  EXPECT_FALSE(write_profile_string("Section", "[x]", "1", ini));
  EXPECT_FALSE(write_profile_string("a]b", "Action0", "1", ini));
  EXPECT_FALSE(write_profile_string("Sec\rtion", "Action0", "1", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"), before);
  // A value in quotes, or with blanks around it, reads back the way a read
  // returns it and is stored as given.
  EXPECT_TRUE(write_profile_string("Section", "Action0", "\" 2 \"", ini));
  EXPECT_TRUE(write_profile_string("Section", "Width0", std::string(300, '9'), ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"),
            "[Section]\r\nAction0=\" 2 \"\r\nWidth0=" + std::string(300, '9') + "\r\n");
  EXPECT_EQ(read_profile_string("Section", "Action0", ini), " 2 ");
  EXPECT_EQ(read_profile_string("Section", "Width0", ini), std::string(255, '9'));
}

TEST(ProfileFileWrite, FailuresAreReportedAndLeaveTheOldBytes) {
  TempFolder folder;
  // Missing folder: nothing is created.
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1", folder.file("missing\\Virelta.ini")));
  EXPECT_FALSE(folder.exists("missing"));
  // A folder where the file should be.
  std::filesystem::create_directory(folder.path() / "Virelta.ini");
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1", folder.file("Virelta.ini")));
  EXPECT_EQ(read_profile_string("Section", "Action0", folder.file("Virelta.ini")), "");
}

TEST(ProfileFileWrite, ReadOnlyFileKeepsItsBytes) {
  TempFolder folder;
  const std::string ini = folder.file("Virelta.ini");
  const std::string before = "[Section]\r\nAction0= 1\r\n";
  folder.put("Virelta.ini", before);
  if (!testing::make_read_only(folder.path() / "Virelta.ini"))
    GTEST_SKIP() << "this user can write read-only files";
  EXPECT_FALSE(write_profile_string("Section", "Action0", " 0", ini));
  EXPECT_FALSE(write_profile_string("Section", "Width0", " 300", ini));
  // Storing what is already there needs no write and succeeds.
  EXPECT_TRUE(write_profile_string("Section", "Action0", " 1", ini));
  EXPECT_EQ(folder.bytes("Virelta.ini"), before);
  EXPECT_FALSE(folder.exists("Virelta.ini.tmp"));
}

TEST(ProfileFileWrite, ReadOnlyFolder) {
  TempFolder folder;
  const std::string before = "[Section]\r\nAction0= 1\r\n";
  folder.put("Existing.ini", before);
  if (!testing::make_read_only(folder.path())) GTEST_SKIP() << "this user can write read-only folders";
  // No new file can be made there...
  EXPECT_FALSE(write_profile_string("Section", "Action0", "1", folder.file("Virelta.ini")));
  EXPECT_FALSE(folder.exists("Virelta.ini"));
  // ...but a writable file in it is still updated.
  ASSERT_TRUE(write_profile_string("Section", "Action0", " 0", folder.file("Existing.ini")));
  EXPECT_EQ(folder.bytes("Existing.ini"), "[Section]\r\nAction0= 0\r\n");
  ASSERT_TRUE(write_profile_string("Section", "Action0", " 10", folder.file("Existing.ini")));
  EXPECT_EQ(folder.bytes("Existing.ini"), "[Section]\r\nAction0= 10\r\n");
  ASSERT_TRUE(write_profile_string("Section", "Action0", "2", folder.file("Existing.ini")));
  EXPECT_EQ(folder.bytes("Existing.ini"), "[Section]\r\nAction0=2\r\n");
}

TEST(ProfileFileWrite, FolderNamesOutsideTheCodePage) {
  TempFolder folder("virelta-\xE8\xA8\xAD\xE5\xAE\x9A-\xC3\xA9");  // "設定", "é" in UTF-8
  if (!folder.created()) GTEST_SKIP() << "the file system here cannot name this folder";
  const std::string ini = folder.file("Virelta.ini");
  ASSERT_TRUE(write_profile_string("Section", "Action0", " 1", ini));
  EXPECT_EQ(read_profile_string("Section", "Action0", ini), "1");
  EXPECT_EQ(folder.bytes("Virelta.ini"), "[Section]\r\nAction0= 1\r\n");
}

}  // namespace
}  // namespace virelta
