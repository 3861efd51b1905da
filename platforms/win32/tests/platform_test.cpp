// The platform's dealings with the system: the command line, the display's
// power state and picture files.
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "forms/bmp_file.h"
#include "platforms/win32/tests/layer_test_support.h"
#include "platforms/win32/text.h"

namespace virelta::win32 {
namespace {

TEST(CommandLine, TextAfterTheProgramPathQuotedOrNot) {
  const struct {
    const wchar_t* line;
    const char* expected;
  } cases[] = {
      {L"\"C:\\Program Files\\Virelta.scr\" /s", "/s"}, {L"C:\\WINDOWS\\Virelta.scr /c:1234", "/c:1234"},
      {L"\"C:\\x\\Virelta.scr\"   /p 1234", "/p 1234"}, {L"Virelta.scr\t/S", "/S"},
      {L"Virelta.scr /a  ", "/a  "},  // trailing blanks stay: start-up looks at the second character only
      {L"\"C:\\a b\\Virelta.scr\"", ""}, {L"", ""},
      {L"\"C:\\Virelta.scr /s", ""},  // an unclosed quote takes the rest as the path
      {L"\"C:\\\u8a2d\u5b9a\\Virelta.scr\" /c \u8a2d\u5b9a", "/c 設定"},
  };
  for (const auto& c : cases) EXPECT_EQ(text_after_program_path(c.line), c.expected) << narrow(c.line);
}

void send_display_state(HWND window, DWORD state) {
  struct {
    POWERBROADCAST_SETTING head;
    BYTE rest[3];
  } setting{};
  setting.head.PowerSetting = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
  setting.head.DataLength = sizeof state;
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
  Win32Platform& p = testing::test_platform();
  HWND owner = p.owner_window();
  ASSERT_TRUE(owner);
  send_display_state(owner, 2);  // dimmed: still shown
  EXPECT_TRUE(p.display_is_on());
  send_display_state(owner, 0);
  EXPECT_FALSE(p.display_is_on());
  // A 1 ms timer runs meanwhile, as the saver's does: it must not keep the waiting thread busy.
  SetTimer(owner, 0x5A, 1, nullptr);
  const DWORD started = GetTickCount();
  const double busy_before = thread_seconds();
  std::thread wake([owner] { Sleep(400), send_display_state(owner, 1); });
  p.wait_while_display_off();
  const double busy = thread_seconds() - busy_before;
  const DWORD waited = GetTickCount() - started;
  wake.join();
  KillTimer(owner, 0x5A);
  EXPECT_TRUE(p.display_is_on());
  EXPECT_GE(waited, 350u);
  EXPECT_LT(busy, 0.1) << "processor seconds used while the display was off";
}

TEST(CurrentWindows, FramesComeNoFasterThanSixtyASecondWithTheProcessorIdle) {
  // Each step asks first whether the display is on, then waits for its frame;
  // the first question must not forget when the last frame was.
  Win32Platform& p = testing::test_platform();
  HWND owner = p.owner_window();
  SetTimer(owner, 0x5B, 1, nullptr);
  p.wait_for_frame();
  const DWORD started = GetTickCount();
  const double busy_before = thread_seconds();
  for (int i = 0; i < 30; ++i) p.wait_while_display_off(), p.wait_for_frame();
  const double busy = thread_seconds() - busy_before;
  const DWORD waited = GetTickCount() - started;
  KillTimer(owner, 0x5B);
  EXPECT_GE(waited, 30 * 14u) << "30 frames at 60 a second, with 2 ms of jitter each";
  EXPECT_LT(busy, 0.1) << "processor seconds used waiting for 30 frames";
}

// A Linux command run from Wine, which gives no handle to wait on: its status comes back in a file.
bool unix_command(const std::string& command) {
  static int count = 0;
  const std::string status = "/tmp/virelta-status-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
  std::string line = "/bin/sh -c \"(" + command + ") >/dev/null 2>&1; echo $? >" + status + ".part; mv " + status +
                     ".part " + status + "\"";
  STARTUPINFOA start{};
  start.cb = sizeof start;
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
  EXPECT_FALSE(p.save_picture(Image(2, 2, 0), "Z:\\no such folder\\x\\y.bmp"));
  // A disk that fills up halfway through the new picture: an 8 KB file system (needs root).
  const std::string folder = "/tmp/virelta-full-disk-" + std::to_string(GetCurrentProcessId());
  if (!unix_command("mkdir -p " + folder + " && mount -t tmpfs -o size=8k virelta " + folder))
    GTEST_SKIP() << "no small file system can be mounted here";
  const std::string target = "Z:" + folder + "/old.bmp";
  std::vector<std::uint8_t> before, after;
  EXPECT_TRUE(p.save_picture(Image(2, 2, 0x123456), target));
  EXPECT_TRUE(read_file_bytes(target, before));
  // A 32-bit bottom-up bitmap: 54 header bytes, then B, G, R, 0 a pixel.
  EXPECT_EQ(before.size(), 54u + 16u);
  EXPECT_EQ(std::vector<std::uint8_t>(before.begin() + 54, before.begin() + 58),
            (std::vector<std::uint8_t>{0x56, 0x34, 0x12, 0}));
  unix_command("head -c 65536 /dev/zero >" + folder + "/filler");
  EXPECT_FALSE(p.save_picture(Image(64, 64, 0xABCDEF), target));  // 16 KB
  EXPECT_TRUE(read_file_bytes(target, after));
  EXPECT_EQ(after, before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Z:" + folder), {}), 2);  // old.bmp, filler
  EXPECT_TRUE(unix_command("umount " + folder + " && rmdir " + folder));
}

}  // namespace
}  // namespace virelta::win32
