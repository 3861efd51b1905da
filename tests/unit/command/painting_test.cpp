// The pixels of a painted button: skin pieces at their places and sizes, the
// gradient face, the sunk Pressed frame and the caption's place.
#include "button_fixture.h"

namespace virelta::command_test {
namespace {

constexpr std::uint32_t kBorderBlue = 0x003C74;
constexpr std::uint32_t kPressedRing = 0xECE9D8;

using ButtonPainting = ButtonFixture;

// A 1275 x 375-twip button at 15 twips per pixel is 85 x 25 pixels.
TEST_F(ButtonPainting, CornersAreCopiedAtTheirNaturalSize) {
  ASSERT_EQ(Cmd_Set.width(), 85);
  ASSERT_EQ(Cmd_Set.height(), 25);
  const Image& shown = Cmd_Set.image();
  const Image& skin = skin_picture(SkinName::Normal);
  struct Corner {
    int button_x, button_y, skin_x, skin_y;
  };
  for (Corner c : {Corner{0, 0, 0, 0}, Corner{81, 0, 60, 0}, Corner{81, 21, 60, 21}, Corner{0, 21, 0, 21}}) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(shown.at(c.button_x + x, c.button_y + y), skin.at(c.skin_x + x, c.skin_y + y))
            << "corner at " << c.button_x << "," << c.button_y << " pixel " << x << "," << y;
  }
}

TEST_F(ButtonPainting, TopAndBottomEdgesStretchTheSkinsMiddleTo77Pixels) {
  const Image& shown = Cmd_Set.image();
  const Image& skin = skin_picture(SkinName::Normal);
  for (int x = 4; x <= 80; ++x) {
    for (int y = 0; y < 4; ++y) {
      EXPECT_EQ(shown.at(x, y), skin.at(30, y)) << x << "," << y;
      EXPECT_EQ(shown.at(x, 21 + y), skin.at(30, 21 + y)) << x << "," << 21 + y;
    }
  }
  // The corners begin right after the 77 stretched columns.
  EXPECT_EQ(shown.at(81, 1), skin.at(60, 1));
  EXPECT_EQ(shown.at(84, 1), skin.at(63, 1));
  EXPECT_NE(skin.at(63, 1), skin.at(30, 1));
}

TEST_F(ButtonPainting, SideEdgesCopy17Rows) {
  const Image& shown = Cmd_Set.image();
  const Image& skin = skin_picture(SkinName::Normal);
  for (int y = 4; y <= 20; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(shown.at(x, y), skin.at(x, y)) << "left " << x << "," << y;
      EXPECT_EQ(shown.at(81 + x, y), skin.at(60 + x, y)) << "right " << x << "," << y;
    }
  }
}

// Channels interpolate as 16-bit values over the 24 rows from the top vertex
// (row 0) to the bottom one (row 24): row 4 is 4/24 of the way.
TEST_F(ButtonPainting, TheFaceRunsWhiteToLavenderGrey) {
  const Image& shown = Cmd_Set.image();
  for (int x = 4; x <= 80; ++x) {
    EXPECT_EQ(shown.at(x, 4), 0xF5F5F8u) << x;
    EXPECT_EQ(shown.at(x, 12), 0xE2E2EBu) << x;
    EXPECT_EQ(shown.at(x, 20), 0xCFCEDDu) << x;
  }
  for (int y = 5; y <= 20; ++y) EXPECT_LE(red_of(shown.at(40, y)), red_of(shown.at(40, y - 1)));
}

TEST_F(ButtonPainting, HoveredTheFaceRunsLavenderGreyToWhite) {
  p->move_mouse(Cmd_Set);
  const Image& shown = Cmd_Set.image();
  EXPECT_EQ(shown.at(40, 4), 0xCFCEDDu);
  EXPECT_EQ(shown.at(40, 12), 0xE2E2EBu);
  EXPECT_EQ(shown.at(40, 20), 0xF5F5F8u);
}

TEST_F(ButtonPainting, PressedSinksTheBorderOnePixelRightAndDown) {
  const Image& shown = Cmd_Set.image();
  EXPECT_EQ(colour_from_pixel(shown.at(1, 10)), rgb(0x00, 0x3C, 0x74));
  EXPECT_EQ(shown.at(1, 10), kBorderBlue);
  EXPECT_EQ(shown.at(40, 1), kBorderBlue);
  EXPECT_EQ(shown.at(83, 10), kBorderBlue);
  EXPECT_EQ(shown.at(40, 23), kBorderBlue);
  EXPECT_NE(shown.at(2, 10), kBorderBlue);
  EXPECT_NE(shown.at(40, 2), kBorderBlue);

  p->move_mouse(Cmd_Set);
  p->press(Cmd_Set);
  ASSERT_EQ(look_of(Cmd_Set), Look::Pressed);
  EXPECT_EQ(shown.at(2, 10), kBorderBlue);
  EXPECT_EQ(shown.at(40, 2), kBorderBlue);
  EXPECT_EQ(shown.at(84, 10), kBorderBlue);
  EXPECT_EQ(shown.at(40, 24), kBorderBlue);
  EXPECT_EQ(shown.at(1, 10), kPressedRing);
  EXPECT_EQ(shown.at(40, 1), kPressedRing);
  EXPECT_NE(shown.at(83, 10), kBorderBlue);
  EXPECT_NE(shown.at(40, 23), kBorderBlue);
}

TEST_F(ButtonPainting, TheCaptionSpansTheButtonAt80Twips) {
  // (375 - 195 - 20) / 2 = 80 twips, 5.33 pixels.
  const Label& caption = Cmd_Set.LblMsg();
  EXPECT_EQ(caption.bounds(), (Rect{0, 5, 85, 13}));
  EXPECT_EQ(caption.alignment, Alignment::Center);
  EXPECT_EQ(caption.caption(), "設定");

  // 420 twips: (420 - 195 - 20) / 2 = 102.5 twips, 6.83 pixels.
  Cmd_Set.move_twips(3960, 3060, 1755, 420);
  EXPECT_EQ(caption.bounds(), (Rect{0, 7, 117, 13}));
}

TEST_F(ButtonPainting, ANewControlIs1755By420TwipsAndNotYetEnabled) {
  Command fresh(&form, "Command1");
  EXPECT_EQ(fresh.width(), 117);
  EXPECT_EQ(fresh.height(), 28);
  EXPECT_EQ(look_of(fresh), Look::Disable);
  EXPECT_EQ(fresh.Caption(), "Command");
  EXPECT_FALSE(fresh.LblMsg().enabled());
}

TEST_F(ButtonPainting, OneRefreshShowsEachRepaint) {
  int refreshed_with_frame = 0;
  p->on_refresh = [&](const Surface& surface, const Rect*) {
    if (&surface == &Cmd_Set && Cmd_Set.image().at(40, 1) == kBorderBlue) ++refreshed_with_frame;
  };
  const int before = p->refresh_count(Cmd_Set);
  p->move_mouse(Cmd_Set);
  EXPECT_EQ(p->refresh_count(Cmd_Set), before + 1);
  EXPECT_EQ(refreshed_with_frame, 1);
}

TEST_F(ButtonPainting, AButtonTooSmallForItsFrameStillPaints) {
  EXPECT_NO_THROW(Cmd_Set.move(10, 10, 5, 6));
  EXPECT_EQ(look_of(Cmd_Set), Look::Unknown);  // corners overlap
  EXPECT_NO_THROW(Cmd_Set.move(10, 10, 0, 0));
  Cmd_Set.move_twips(3960, 3060, 1275, 375);
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
}

// At 120 dots per inch (12 twips per pixel) the same button is 106 x 31
// pixels; the skin keeps its own scale and the frame still closes.
TEST_F(ButtonPainting, AnotherScreenScaleStillFramesTheWholeButton) {
  p->screen_info.twips_per_pixel_x = 12;
  p->screen_info.twips_per_pixel_y = 12;
  Cmd_Set.move_twips(3960, 3060, 1275, 375);
  ASSERT_EQ(Cmd_Set.width(), 106);
  ASSERT_EQ(Cmd_Set.height(), 31);
  const Image& shown = Cmd_Set.image();
  auto blue_in_rows = [&](int x, int from, int to) {
    for (int y = from; y <= to; ++y)
      if (shown.at(x, y) == kBorderBlue) return true;
    return false;
  };
  auto blue_in_columns = [&](int y, int from, int to) {
    for (int x = from; x <= to; ++x)
      if (shown.at(x, y) == kBorderBlue) return true;
    return false;
  };
  for (int x = 5; x <= 100; ++x) {
    EXPECT_TRUE(blue_in_rows(x, 0, 4)) << "top " << x;
    EXPECT_TRUE(blue_in_rows(x, 26, 30)) << "bottom " << x;
  }
  for (int y = 5; y <= 25; ++y) {
    EXPECT_TRUE(blue_in_columns(y, 0, 4)) << "left " << y;
    EXPECT_TRUE(blue_in_columns(y, 101, 105)) << "right " << y;
  }
  const std::uint32_t cleared = pixel_from_colour(rgb(0xF0, 0xF0, 0xF0));
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) ASSERT_NE(shown.at(x, y), cleared) << x << "," << y;
}

}  // namespace
}  // namespace virelta::command_test
