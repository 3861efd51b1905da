// The common dialogs, worked from a timer as a user would: titles, filter
// lists, the chosen path, cancelling, and the custom colours.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platforms/win32/tests/layer_test_support.h"
#include "platforms/win32/text.h"

namespace virelta::win32 {
namespace {

constexpr int kFileNameBox = 0x47C;  // cmb13
constexpr int kFileTypeBox = 0x470;  // cmb1

// Runs `act` on the first dialog box of this thread that comes up.
std::function<void(HWND)> pending_action;

BOOL CALLBACK find_dialog(HWND window, LPARAM found) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK look_for_dialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || !pending_action) return;
  KillTimer(nullptr, timer);
  auto act = std::move(pending_action);
  pending_action = nullptr;
  act(dialog);
}

void when_a_dialog_shows(std::function<void(HWND)> act) {
  pending_action = std::move(act);
  SetTimer(nullptr, 0, 100, look_for_dialog);
}

std::wstring text_of(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

std::vector<std::wstring> file_types(HWND dialog) {
  std::vector<std::wstring> types;
  HWND box = GetDlgItem(dialog, kFileTypeBox);
  LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    types.push_back(text);
  }
  return types;
}

TEST(CommonDialogs, TheOpenDialogShowsTitleAndFiltersAndReturnsThePath) {
  SKIP_WITHOUT_DISPLAY();
  FileDialogRequest request;
  request.title = "絵を開く";
  request.filters = {{"Pictures (*.bmp *.gif *.jpg *.wmf *.ico *.cur)", "*.bmp;*.gif;*.jpg;*.ico;*.cur"},
                     {"All Files (*.*)", "*.*"}};
  std::wstring title;
  std::vector<std::wstring> types;
  when_a_dialog_shows([&](HWND dialog) {
    title = text_of(dialog);
    types = file_types(dialog);
    SetDlgItemTextW(dialog, kFileNameBox, L"C:\\\u7d75\\chosen.gif");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  auto chosen = testing::test_platform().file_dialog(request);
  EXPECT_EQ(title, L"\u7d75\u3092\u958b\u304f");
  EXPECT_EQ(types, (std::vector<std::wstring>{L"Pictures (*.bmp *.gif *.jpg *.wmf *.ico *.cur)", L"All Files (*.*)"}));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, "C:\\絵\\chosen.gif");
}

TEST(CommonDialogs, CancellingTheSaveDialogGivesNothing) {
  SKIP_WITHOUT_DISPLAY();
  FileDialogRequest request;
  request.save = true;
  request.title = "Save Picture file";
  request.filters = {{"Pictures (*.bmp)", "*.bmp"}};
  std::vector<std::wstring> types;
  when_a_dialog_shows([&](HWND dialog) {
    types = file_types(dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(testing::test_platform().file_dialog(request));
  EXPECT_EQ(types, (std::vector<std::wstring>{L"Pictures (*.bmp)"}));
}

TEST(CommonDialogs, TheColourDialogKeepsTheCustomColoursOnlyWhenConfirmed) {
  SKIP_WITHOUT_DISPLAY();
  std::uint32_t custom[16];
  for (std::uint32_t i = 0; i < 16; ++i) custom[i] = 0x010101u * (i + 1);
  when_a_dialog_shows([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_FALSE(testing::test_platform().choose_colour(custom, 0));
  EXPECT_EQ(custom[15], 0x101010u);

  when_a_dialog_shows([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
  auto colour = testing::test_platform().choose_colour(custom, 0);
  ASSERT_TRUE(colour);
  // No colour is preselected: the dialog starts on black.
  EXPECT_EQ(*colour, 0u);
  for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(custom[i], 0x010101u * (i + 1));
}

TEST(SystemCalls, VersionPasswordServiceAndShellAnswerAsTheSystemDoes) {
  Win32Platform& p = testing::test_platform();
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
  GetVersionExA(&info);
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
#endif
  EXPECT_EQ(p.version_platform_id(), static_cast<int>(info.dwPlatformId));
  HMODULE password = LoadLibraryW(L"password.cpl");
  if (password) {
    FreeLibrary(password);
  } else {
    EXPECT_FALSE(p.verify_screen_save_password(0)) << "no service: nothing to ask";
  }
  EXPECT_FALSE(p.is_window(0));
}

}  // namespace
}  // namespace virelta::win32
