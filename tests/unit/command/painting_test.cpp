// The six skin pictures and the pixels of a painted button: skin pieces at
// their places and sizes, the gradient face, the sunk Pressed frame, the caption.
#include <tuple>

#include "button_fixture.h"

namespace virelta::command_test {
namespace {

constexpr std::uint32_t kBeige = 0xECE9D8;

TEST(Skins, KeyColours) {
  EXPECT_EQ(skin_picture(SkinName::HighLight), skin_picture(SkinName::HighLightSelect));
  using S = SkinName;
  const std::tuple<SkinName, int, int, std::uint32_t> accents[] = {
      {S::Normal, 30, 2, 0xFEFEFE},     {S::Normal, 30, 3, 0xF3F3EE},     {S::Normal, 30, 21, 0xE2DFD6},
      {S::Normal, 30, 22, 0xD6D0C5},    {S::HighLight, 30, 2, 0xFFF0CF},  {S::HighLight, 2, 20, 0xF8B435},
      {S::HighLight, 30, 22, 0xE59700}, {S::Selected, 30, 2, 0xCEE7FF},   {S::Selected, 61, 4, 0xB7D0F4},
      {S::Selected, 61, 20, 0x8BADE4},  {S::Selected, 30, 22, 0x6982EE},  {S::Disable, 30, 0, 0xECE9D8},
      {S::Disable, 1, 12, 0xC9C7BA},    {S::Disable, 61, 12, 0xF5F4EA},   {S::Pressed, 3, 12, 0x9DA8AC},
      {S::Normal, 30, 1, kBorderBlue},  {S::Selected, 62, 9, kBorderBlue},{S::Normal, 30, 0, 0xF8F7F0},
      {S::Normal, 30, 24, 0xE0DCC9},    {S::Pressed, 30, 1, kBeige},      {S::Pressed, 30, 2, kBorderBlue}};
  for (const auto& [skin, x, y, colour] : accents)
    EXPECT_EQ(skin_picture(skin).at(x, y), colour) << skin_name_text(skin) << " " << x << "," << y;
}

using ButtonPainting = ButtonFixture;

// 1275 x 375 twips at 15 twips a pixel: 85 x 25. Corners and sides are copied
// one to one, the top and bottom edges stretch the skin's middle to 77 columns;
// the face's channels run as 16-bit values over 24 rows (row 4: 4/24 of the way).
TEST_F(ButtonPainting, TheFrameIsTheSkinsPiecesAndTheFaceAGradient) {
  ASSERT_EQ(Cmd_Set.width() * 100 + Cmd_Set.height(), 8525);
  const Image& shown = Cmd_Set.image();
  const Image& skin = skin_picture(SkinName::Normal);
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
  EXPECT_NO_THROW(Cmd_Set.move(10, 10, 0, 0));
}

}  // namespace
}  // namespace virelta::command_test
