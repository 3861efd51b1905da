// The six skin pictures: their layout, key colours, and the committed
// picture files matching what the button paints.
#include <gtest/gtest.h>

#include <string>

#include "forms/bmp_file.h"
#include "controls/skins.h"

namespace virelta {
namespace {

constexpr std::uint32_t kBorderBlue = 0x003C74;

std::string skins_folder() {
  std::string here = __FILE__;  // .../tests/unit/command/skins_test.cpp
  for (int up = 0; up < 4; ++up) here = here.substr(0, here.find_last_of("/\\"));
  return here + "/resources/skins/";
}

TEST(Skins, AreSixPicturesOf64By25) {
  for (SkinName skin : kAllSkins) {
    EXPECT_EQ(skin_picture(skin).width(), 64) << skin_name_text(skin);
    EXPECT_EQ(skin_picture(skin).height(), 25) << skin_name_text(skin);
  }
  EXPECT_EQ(skin_picture(SkinName::HighLight), skin_picture(SkinName::HighLightSelect));
}

TEST(Skins, TheFrameLiesOnePixelInsideTheRingWithBlendedCorners) {
  for (SkinName skin : {SkinName::Normal, SkinName::HighLight, SkinName::Selected}) {
    const Image& s = skin_picture(skin);
    SCOPED_TRACE(std::string(skin_name_text(skin)));
    for (int x = 2; x <= 61; ++x) {
      EXPECT_EQ(s.at(x, 1), kBorderBlue);
      EXPECT_EQ(s.at(x, 23), kBorderBlue);
      EXPECT_NE(s.at(x, 2), kBorderBlue);
    }
    for (int y = 2; y <= 22; ++y) {
      EXPECT_EQ(s.at(1, y), kBorderBlue);
      EXPECT_EQ(s.at(62, y), kBorderBlue);
    }
    for (auto [x, y] : {std::pair{1, 1}, {62, 1}, {1, 23}, {62, 23}}) {
      EXPECT_NE(s.at(x, y), kBorderBlue) << x << "," << y;
      EXPECT_NE(s.at(x, y), s.at(0, y)) << x << "," << y;
    }
    // The outer ring: light beige between #E0DCC9 and #F8F7F0.
    EXPECT_EQ(s.at(30, 0), 0xF8F7F0u);
    EXPECT_EQ(s.at(30, 24), 0xE0DCC9u);
    for (int y = 0; y < 25; ++y) EXPECT_EQ(s.at(0, y), s.at(63, y));
  }
}

TEST(Skins, KeyColoursOfTheAccents) {
  const Image& normal = skin_picture(SkinName::Normal);
  EXPECT_EQ(normal.at(30, 2), 0xFEFEFEu);
  EXPECT_EQ(normal.at(30, 3), 0xF3F3EEu);
  EXPECT_EQ(normal.at(30, 21), 0xE2DFD6u);
  EXPECT_EQ(normal.at(30, 22), 0xD6D0C5u);

  const Image& high = skin_picture(SkinName::HighLight);
  EXPECT_EQ(high.at(30, 2), 0xFFF0CFu);
  EXPECT_EQ(high.at(30, 3), 0xFDD889u);
  EXPECT_EQ(high.at(2, 4), 0xFCD279u);
  EXPECT_EQ(high.at(2, 20), 0xF8B435u);
  EXPECT_EQ(high.at(30, 21), 0xF8B330u);
  EXPECT_EQ(high.at(30, 22), 0xE59700u);

  const Image& selected = skin_picture(SkinName::Selected);
  EXPECT_EQ(selected.at(30, 2), 0xCEE7FFu);
  EXPECT_EQ(selected.at(61, 4), 0xB7D0F4u);
  EXPECT_EQ(selected.at(61, 20), 0x8BADE4u);
  EXPECT_EQ(selected.at(30, 22), 0x6982EEu);

  const Image& disable = skin_picture(SkinName::Disable);
  EXPECT_EQ(disable.at(30, 0), 0xECE9D8u);
  EXPECT_EQ(disable.at(30, 1), 0xC9C7BAu);
  EXPECT_EQ(disable.at(1, 12), 0xC9C7BAu);
  for (auto [x, y] : {std::pair{30, 2}, {30, 3}, {30, 21}, {30, 22}, {2, 12}, {61, 12}})
    EXPECT_EQ(disable.at(x, y), 0xF5F4EAu) << x << "," << y;
}

TEST(Skins, PressedIsSunkOnePixelRightAndDown) {
  const Image& s = skin_picture(SkinName::Pressed);
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(s.at(x, 0), 0xECE9D8u);
    EXPECT_EQ(s.at(x, 1), 0xECE9D8u);
  }
  for (int y = 0; y < 25; ++y) EXPECT_EQ(s.at(1, y), 0xECE9D8u);
  for (int x = 3; x <= 62; ++x) {
    EXPECT_EQ(s.at(x, 2), kBorderBlue);
    EXPECT_EQ(s.at(x, 24), kBorderBlue);
  }
  for (int y = 3; y <= 23; ++y) {
    EXPECT_EQ(s.at(2, y), kBorderBlue);
    EXPECT_EQ(s.at(63, y), kBorderBlue);
  }
  EXPECT_EQ(s.at(30, 3), 0x9DA8ACu);  // the inner shadow at the top
  EXPECT_EQ(s.at(3, 12), 0x9DA8ACu);  // and at the left
}

TEST(Skins, TheCommittedPictureFilesAreUpToDate) {
  for (SkinName skin : kAllSkins) {
    const std::string path = skins_folder() + std::string(skin_name_text(skin)) + ".bmp";
    Image stored;
    std::string error;
    ASSERT_TRUE(read_bmp(path, stored, &error)) << path << ": " << error;
    EXPECT_EQ(stored, draw_skin(skin)) << path << " differs: run make_skins";
  }
}

}  // namespace
}  // namespace virelta
