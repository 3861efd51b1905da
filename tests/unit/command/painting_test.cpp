// The six skin pictures and the pixels of a painted button: skin pieces at
// their places and sizes, the gradient face, the sunk Pressed frame, the caption.
#include <string>

#include "button_fixture.h"
#include "forms/bmp_file.h"

namespace virelta::command_test {
namespace {

constexpr std::uint32_t kBeige = 0xECE9D8;

TEST(Skins, FramesAndKeyColours) {
  EXPECT_EQ(skin_picture(SkinName::HighLight), skin_picture(SkinName::HighLightSelect));
  for (SkinName skin : {SkinName::Normal, SkinName::HighLight, SkinName::Selected, SkinName::Pressed}) {
    const Image& s = skin_picture(skin);
    ASSERT_EQ(s.width() * 100 + s.height(), 6425);
    // The frame one pixel inside a light beige ring (Pressed: one more right
    // and down, a beige band above and left), with blended corners.
    const int d = skin == SkinName::Pressed ? 1 : 0;
    for (int x = 2 + d; x <= 61 + d; ++x)
      EXPECT_TRUE(s.at(x, 1 + d) == kBorderBlue && s.at(x, 23 + d) == kBorderBlue && s.at(x, 2 + d) != kBorderBlue);
    for (int y = 2 + d; y <= 22 + d; ++y) EXPECT_TRUE(s.at(1 + d, y) == kBorderBlue && s.at(62 + d, y) == kBorderBlue);
    EXPECT_TRUE(s.at(1 + d, 1 + d) != kBorderBlue && s.at(62 + d, 23 + d) != kBorderBlue);
    for (int i = 0; i < 64 && d; ++i) EXPECT_TRUE(s.at(i, 0) == kBeige && s.at(i, 1) == kBeige && s.at(1, i % 25) == kBeige);
    if (d) continue;
    EXPECT_TRUE(s.at(30, 0) == 0xF8F7F0u && s.at(30, 24) == 0xE0DCC9u && s.at(1, 1) != s.at(0, 1));
    for (int y = 0; y < 25; ++y) EXPECT_EQ(s.at(0, y), s.at(63, y));
  }
  const struct {
    SkinName skin;
    int x, y;
    std::uint32_t colour;
  } accents[] = {
      {SkinName::Normal, 30, 2, 0xFEFEFE},     {SkinName::Normal, 30, 3, 0xF3F3EE},    {SkinName::Normal, 30, 21, 0xE2DFD6},
      {SkinName::Normal, 30, 22, 0xD6D0C5},    {SkinName::HighLight, 30, 2, 0xFFF0CF}, {SkinName::HighLight, 30, 3, 0xFDD889},
      {SkinName::HighLight, 2, 4, 0xFCD279},   {SkinName::HighLight, 2, 20, 0xF8B435}, {SkinName::HighLight, 30, 21, 0xF8B330},
      {SkinName::HighLight, 30, 22, 0xE59700}, {SkinName::Selected, 30, 2, 0xCEE7FF},  {SkinName::Selected, 61, 4, 0xB7D0F4},
      {SkinName::Selected, 61, 20, 0x8BADE4},  {SkinName::Selected, 30, 22, 0x6982EE}, {SkinName::Disable, 30, 0, 0xECE9D8},
      {SkinName::Disable, 30, 1, 0xC9C7BA},    {SkinName::Disable, 1, 12, 0xC9C7BA},   {SkinName::Disable, 30, 2, 0xF5F4EA},
      {SkinName::Disable, 30, 22, 0xF5F4EA},   {SkinName::Disable, 2, 12, 0xF5F4EA},   {SkinName::Disable, 61, 12, 0xF5F4EA},
      {SkinName::Pressed, 30, 3, 0x9DA8AC},    {SkinName::Pressed, 3, 12, 0x9DA8AC}};
  for (const auto& a : accents)
    EXPECT_EQ(skin_picture(a.skin).at(a.x, a.y), a.colour) << skin_name_text(a.skin) << " " << a.x << "," << a.y;
}

TEST(Skins, TheCommittedPictureFilesAreUpToDate) {
  std::string folder = __FILE__;  // .../tests/unit/command/painting_test.cpp
  for (int up = 0; up < 4; ++up) folder = folder.substr(0, folder.find_last_of("/\\"));
  for (SkinName skin : kAllSkins) {
    const std::string path = folder + "/resources/skins/" + std::string(skin_name_text(skin)) + ".bmp";
    Image stored;
    std::string error;
    ASSERT_TRUE(read_bmp(path, stored, &error)) << path << ": " << error;
    EXPECT_EQ(stored, draw_skin(skin)) << path << " differs: run make_skins";
  }
}

using ButtonPainting = ButtonFixture;

// 1275 x 375 twips at 15 twips a pixel: 85 x 25. Corners and sides are copied
// one to one, the top and bottom edges stretch the skin's middle to 77 columns;
// the face's channels run as 16-bit values over 24 rows (row 4: 4/24 of the way).
TEST_F(ButtonPainting, TheFrameIsTheSkinsPiecesAndTheFaceAGradient) {
  ASSERT_EQ(Cmd_Set.width() * 100 + Cmd_Set.height(), 8525);
  const Image& shown = Cmd_Set.image();
  const Image& skin = skin_picture(SkinName::Normal);
  EXPECT_NE(skin.at(63, 1), skin.at(30, 1));
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 85; ++x) {
      if (x >= 4 && x <= 80 && y >= 4 && y <= 20) {
        ASSERT_EQ(shown.at(x, y), y == 4 ? 0xF5F5F8u : y == 12 ? 0xE2E2EBu : y == 20 ? 0xCFCEDDu : shown.at(x, y));
        ASSERT_TRUE(y == 4 || red_of(shown.at(x, y)) <= red_of(shown.at(x, y - 1))) << x << "," << y;
      } else {
        ASSERT_EQ(shown.at(x, y), skin.at(x < 4 ? x : x > 80 ? x - 21 : 30, y)) << x << "," << y;
      }
    }
  p->move_mouse(Cmd_Set);
  EXPECT_TRUE(shown.at(40, 4) == 0xCFCEDDu && shown.at(40, 12) == 0xE2E2EBu && shown.at(40, 20) == 0xF5F5F8u);
  EXPECT_EQ(colour_from_pixel(shown.at(1, 10)), rgb(0x00, 0x3C, 0x74));
  p->press(Cmd_Set);
  for (auto [x, y] : {std::pair{2, 10}, {40, 2}, {84, 10}, {40, 24}}) EXPECT_EQ(shown.at(x, y), kBorderBlue);
  EXPECT_TRUE(shown.at(1, 10) == kBeige && shown.at(40, 1) == kBeige && shown.at(83, 10) != kBorderBlue);
}

TEST_F(ButtonPainting, TheCaptionSpansTheButtonAt80Twips) {
  const Label& caption = Cmd_Set.LblMsg();  // (375 - 195 - 20) / 2 = 80 twips, 5.33 pixels
  EXPECT_EQ(caption.bounds(), (Rect{0, 5, 85, 13}));
  EXPECT_EQ(caption.alignment, Alignment::Center);
  Cmd_Set.move_twips(3960, 3060, 1755, 420);  // (420 - 195 - 20) / 2 = 102.5 twips, 6.83 pixels
  EXPECT_EQ(caption.bounds(), (Rect{0, 7, 117, 13}));
  EXPECT_NO_THROW(Cmd_Set.move(10, 10, 5, 6));  // too small for its frame
  EXPECT_EQ(look_of(Cmd_Set), Look::Unknown);
  EXPECT_NO_THROW(Cmd_Set.move(10, 10, 0, 0));
}

// At 12 twips a pixel the button is 106 x 31: the skin keeps its own scale,
// the frame still closes and nothing is left in the cleared colour.
TEST_F(ButtonPainting, AnotherScreenScaleStillFramesTheWholeButton) {
  p->screen_info.twips_per_pixel_x = p->screen_info.twips_per_pixel_y = 12;
  Cmd_Set.move_twips(3960, 3060, 1275, 375);
  ASSERT_EQ(Cmd_Set.width() * 100 + Cmd_Set.height(), 10631);
  const Image& shown = Cmd_Set.image();
  auto blue_near = [&](int x, int y, int dx, int dy) {
    for (int i = 0; i < 5; ++i)
      if (shown.at(x + i * dx, y + i * dy) == kBorderBlue) return true;
    return false;
  };
  for (int x = 5; x <= 100; ++x) EXPECT_TRUE(blue_near(x, 0, 0, 1) && blue_near(x, 26, 0, 1)) << x;
  for (int y = 5; y <= 25; ++y) EXPECT_TRUE(blue_near(0, y, 1, 0) && blue_near(101, y, 1, 0)) << y;
  for (int y = 0; y < 31; ++y)
    for (int x = 0; x < 106; ++x) ASSERT_NE(shown.at(x, y), pixel_from_colour(rgb(0xF0, 0xF0, 0xF0))) << x << "," << y;
}

}  // namespace
}  // namespace virelta::command_test
