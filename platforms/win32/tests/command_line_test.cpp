#include <gtest/gtest.h>

#include "platforms/win32/tests/layer_test_support.h"

namespace virelta::win32 {
namespace {

TEST(CommandLine, TextAfterTheProgramPathQuotedOrNot) {
  EXPECT_EQ(text_after_program_path(L"\"C:\\Program Files\\Virelta.scr\" /s"), "/s");
  EXPECT_EQ(text_after_program_path(L"C:\\WINDOWS\\Virelta.scr /c:1234"), "/c:1234");
  EXPECT_EQ(text_after_program_path(L"\"C:\\x\\Virelta.scr\"   /p 1234"), "/p 1234");
  EXPECT_EQ(text_after_program_path(L"Virelta.scr\t/S"), "/S");
  // Blanks after the switch stay: start-up only looks at the second character.
  EXPECT_EQ(text_after_program_path(L"Virelta.scr /a  "), "/a  ");
  // The system may quote a path with blanks and pass nothing else.
  EXPECT_EQ(text_after_program_path(L"\"C:\\a b\\Virelta.scr\""), "");
  EXPECT_EQ(text_after_program_path(L"Virelta.scr"), "");
  EXPECT_EQ(text_after_program_path(L""), "");
  // An unclosed quote takes the rest as the path.
  EXPECT_EQ(text_after_program_path(L"\"C:\\Virelta.scr /s"), "");
}

TEST(CommandLine, NonAsciiTextComesBackAsUtf8) {
  EXPECT_EQ(text_after_program_path(L"\"C:\\\u8a2d\u5b9a\\Virelta.scr\" /c \u8a2d\u5b9a"), "/c 設定");
}

TEST(ProgramFacts, FolderHasNoTrailingSeparatorAndScreenIsMeasured) {
  Win32Platform& p = testing::test_platform();
  std::string folder = p.program_folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_NE(folder.back(), '/');
  ScreenInfo screen = p.screen();
  EXPECT_GT(screen.width, 0);
  EXPECT_GT(screen.height, 0);
  HDC dc = GetDC(nullptr);
  EXPECT_DOUBLE_EQ(screen.twips_per_pixel_x, 1440.0 / GetDeviceCaps(dc, LOGPIXELSX));
  EXPECT_DOUBLE_EQ(screen.twips_per_pixel_y, 1440.0 / GetDeviceCaps(dc, LOGPIXELSY));
  EXPECT_EQ(screen.bits_per_pixel, GetDeviceCaps(dc, BITSPIXEL));
  ReleaseDC(nullptr, dc);
}

TEST(Colours, SystemColoursAreLookedUpAndPlainOnesPassThrough) {
  EXPECT_EQ(colour_ref(0x00332211u), static_cast<COLORREF>(0x00332211u));
  EXPECT_EQ(colour_ref(0x80000008u), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(colour_ref(0x8000000Fu), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
}  // namespace virelta::win32
