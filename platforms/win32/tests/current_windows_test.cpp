// The Win32 platform on current Windows: the virtual screen, the per-user
// settings folder, the secure saver desktop's name, and the display's power
// state with a wait that leaves the processor idle.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <thread>

#include "platforms/win32/tests/layer_test_support.h"
#include "platforms/win32/text.h"

namespace virelta::win32 {
namespace {

constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

TEST(CurrentWindows, ScreenIsTheVirtualScreenWithThePrimaryMonitorInside) {
  Win32Platform& p = testing::test_platform();
  const ScreenInfo screen = p.screen();
  EXPECT_EQ(screen.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
  EXPECT_EQ(screen.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
  EXPECT_EQ(screen.width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(screen.height, GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EXPECT_EQ(primary_monitor(screen), (Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  Rect all{};
  for (const Rect& monitor : p.monitor_rects()) all = unite(all, monitor);
  EXPECT_EQ(all, (Rect{screen.left, screen.top, screen.width, screen.height}));
}

TEST(CurrentWindows, UserSettingsFolderIsVireltaInTheRoamingApplicationData) {
  wchar_t appdata[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appdata)));
  EXPECT_EQ(testing::test_platform().user_settings_folder(), narrow(appdata) + "\\Virelta");
}

TEST(CurrentWindows, TheSaverDesktopIsKnownByItsName) {
  EXPECT_FALSE(testing::test_platform().on_saver_desktop());
  // A thread without windows may move to another desktop.
  bool on_saver_desktop = false, moved = false;
  std::thread([&] {
    HDESK desktop = CreateDesktopW(L"Screen-saver", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) return;
    HDESK before = GetThreadDesktop(GetCurrentThreadId());
    moved = SetThreadDesktop(desktop) != FALSE;
    on_saver_desktop = testing::test_platform().on_saver_desktop();
    SetThreadDesktop(before);
    CloseDesktop(desktop);
  }).join();
  if (!moved) GTEST_SKIP() << "no second desktop here";
  EXPECT_TRUE(on_saver_desktop);
}

void send_display_state(HWND window, DWORD state) {
  struct {
    POWERBROADCAST_SETTING head;
    BYTE rest[3];
  } setting{};
  setting.head.PowerSetting = kConsoleDisplayState;
  setting.head.DataLength = sizeof(DWORD);
  std::memcpy(setting.head.Data, &state, sizeof state);
  SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
}

double thread_seconds() {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  auto value = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(value(kernel) + value(user)) / 1e7;
}

TEST(CurrentWindows, DisplayOffWaitsIdleUntilItComesBack) {
  SKIP_WITHOUT_DISPLAY();  // the owner window needs a display
  Win32Platform& p = testing::test_platform();
  HWND owner = p.owner_window();
  ASSERT_TRUE(owner);
  EXPECT_TRUE(p.display_is_on());
  send_display_state(owner, 2);  // dimmed: still shown
  EXPECT_TRUE(p.display_is_on());
  send_display_state(owner, 0);
  EXPECT_FALSE(p.display_is_on());

  // A 1 ms timer runs meanwhile, as the saver's does; it must not keep the
  // waiting thread busy.
  SetTimer(owner, 0x5A, 1, nullptr);
  const DWORD started = GetTickCount();
  const double busy_before = thread_seconds();
  std::thread wake([owner] {
    Sleep(400);
    send_display_state(owner, 1);
  });
  p.wait_while_display_off();
  const double busy = thread_seconds() - busy_before;
  const DWORD waited = GetTickCount() - started;
  wake.join();
  KillTimer(owner, 0x5A);
  EXPECT_TRUE(p.display_is_on());
  EXPECT_GE(waited, 350u);
  EXPECT_LT(busy, 0.1) << "processor seconds used while the display was off";
  // With the display on, the wait returns at once.
  p.wait_while_display_off();
}

}  // namespace
}  // namespace virelta::win32
