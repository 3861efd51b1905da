#include <gtest/gtest.h>

#include <filesystem>

#include "forms/bmp_file.h"
#include "platforms/win32/tests/layer_test_support.h"
#include "platforms/win32/text.h"

namespace virelta::win32 {
namespace {

// The 4 x 3 test picture, row by row, as pixels 0x00RRGGBB.
const std::uint32_t kSmall[3][4] = {
    {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
    {0x000000, 0xFFFF00, 0x00FFFF, 0xFF00FF},
    {0x808080, 0x402010, 0x102040, 0xC86432},
};

void expect_small(const Image& picture) {
  ASSERT_EQ(picture.width(), 4);
  ASSERT_EQ(picture.height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(picture.at(x, y), kSmall[y][x]) << x << "," << y;
}

// Quadrants of the 16 x 16 picture: red, green over blue, white.
void expect_quadrants(const Image& picture, int tolerance) {
  ASSERT_EQ(picture.width(), 16);
  ASSERT_EQ(picture.height(), 16);
  const std::uint32_t expected[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
  for (int qy = 0; qy < 2; ++qy)
    for (int qx = 0; qx < 2; ++qx) {
      std::uint32_t got = picture.at(qx * 8 + 4, qy * 8 + 4), want = expected[qy][qx];
      EXPECT_EQ(got >> 24, 0u);
      for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), tolerance)
            << "quadrant " << qx << "," << qy;
    }
}

TEST(PictureFiles, BitmapAndGifLoadExactly) {
  Image picture;
  ASSERT_TRUE(testing::test_platform().load_picture(testing::data_path("small.bmp"), picture));
  expect_small(picture);
  Image gif;
  ASSERT_TRUE(testing::test_platform().load_picture(testing::data_path("small.gif"), gif));
  expect_small(gif);
}

TEST(PictureFiles, JpegIconAndCursorLoad) {
  Image jpeg, icon, cursor;
  ASSERT_TRUE(testing::test_platform().load_picture(testing::data_path("quadrants.jpg"), jpeg));
  expect_quadrants(jpeg, 8);
  ASSERT_TRUE(testing::test_platform().load_picture(testing::data_path("quadrants.ico"), icon));
  expect_quadrants(icon, 0);
  ASSERT_TRUE(testing::test_platform().load_picture(testing::data_path("quadrants.cur"), cursor));
  expect_quadrants(cursor, 0);
}

TEST(PictureFiles, MissingOrUnreadableFilesFailAndLeaveThePicture) {
  Image picture(2, 2, 0x123456);
  EXPECT_FALSE(testing::test_platform().load_picture(testing::data_path("absent.bmp"), picture));
  EXPECT_FALSE(testing::test_platform().load_picture(testing::data_path("make.sh"), picture));
  EXPECT_EQ(picture, Image(2, 2, 0x123456));
}

class NonAsciiFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"\u30c6\u30b9\u30c8\u753b\u50cf " + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const wchar_t* name : {L"\\\u7d75.gif", L"\\\u4fdd\u5b58.bmp"}) DeleteFileW((folder_ + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring folder_;
};

TEST_F(NonAsciiFolder, PicturesLoadFromAndSaveToJapanesePaths) {
  std::wstring gif = folder_ + L"\\\u7d75.gif";
  ASSERT_TRUE(CopyFileW(widen(testing::data_path("small.gif")).c_str(), gif.c_str(), FALSE));
  Image picture;
  ASSERT_TRUE(testing::test_platform().load_picture(narrow(gif), picture));
  expect_small(picture);

  std::wstring saved = folder_ + L"\\\u4fdd\u5b58.bmp";
  ASSERT_TRUE(testing::test_platform().save_picture(picture, narrow(saved)));
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(read_file_bytes(narrow(saved), bytes));
  // A 32-bit bottom-up bitmap: 54 header bytes and 4 x 3 pixels of 4 bytes.
  ASSERT_EQ(bytes.size(), 54u + 48u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(bytes[28], 32);
  // The first pixel stored is the bottom row's first: 0x808080 as B, G, R, 0.
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.begin() + 58),
            (std::vector<std::uint8_t>{0x80, 0x80, 0x80, 0}));
  // The top row's red comes last but three.
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54 + 32, bytes.begin() + 54 + 36),
            (std::vector<std::uint8_t>{0, 0, 0xFF, 0}));
  Image again;
  ASSERT_TRUE(testing::test_platform().load_picture(narrow(saved), again));
  expect_small(again);
}

// A command of the Linux system under Wine, which starts such programs without
// a handle to wait on: the command leaves its status in a file. False where
// there is no such system or the command fails.
bool unix_command(const std::string& command) {
  static int count = 0;
  const std::string status = "/tmp/virelta-status-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
  std::string line = "/bin/sh -c \"(" + command + ") >/dev/null 2>&1; echo $? >" + status + ".part; mv " + status +
                     ".part " + status + "\"";
  STARTUPINFOA start{sizeof start};
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
    return false;
  std::vector<std::uint8_t> code;
  for (int i = 0; i < 1000 && !read_file_bytes("Z:" + status, code); ++i) Sleep(10);
  DeleteFileW(widen("Z:" + status).c_str());
  return code.size() > 1 && code[0] == '0' && code[1] == '\n';
}

TEST(PictureFiles, AFailedSaveLeavesTheOldFileByteForByteAndNothingElse) {
  Win32Platform& p = testing::test_platform();
  EXPECT_FALSE(p.save_picture(Image(), testing::data_path("never.bmp")));
  EXPECT_FALSE(p.save_picture(Image(2, 2, 0), "Z:\\no such folder\\x\\y.bmp"));
  // A disk that fills up halfway through the new picture: an 8 KB file
  // system (needs root), an old picture, and filler taking the rest.
  const std::string unix_folder = "/tmp/virelta-full-disk-" + std::to_string(GetCurrentProcessId());
  if (!unix_command("mkdir -p " + unix_folder + " && mount -t tmpfs -o size=8k virelta " + unix_folder))
    GTEST_SKIP() << "no small file system can be mounted here";
  const std::string target = "Z:" + unix_folder + "/old.bmp";
  std::vector<std::uint8_t> before, after;
  EXPECT_TRUE(p.save_picture(Image(2, 2, 0x123456), target));
  EXPECT_TRUE(read_file_bytes(target, before));
  unix_command("head -c 65536 /dev/zero >" + unix_folder + "/filler");
  EXPECT_FALSE(p.save_picture(Image(64, 64, 0xABCDEF), target));  // 16 KB
  EXPECT_TRUE(read_file_bytes(target, after));
  EXPECT_EQ(after, before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Z:" + unix_folder), {}), 2);  // old.bmp, filler
  EXPECT_TRUE(unix_command("umount " + unix_folder + " && rmdir " + unix_folder));
}

}  // namespace
}  // namespace virelta::win32
