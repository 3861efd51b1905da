// What the tests of the Win32 layer share: one platform for the test
// program, a pump that runs for a while, and the test pictures' folder.
#pragma once

#include <windows.h>

#include <string>

#include "platforms/win32/win32_platform.h"

namespace virelta::win32::testing {

Win32Platform& test_platform();
// Windows need a display (Wine: an X server); tests that show windows skip without one.
bool has_display();
// Handles events for `milliseconds`, or until `done` returns true.
template <class Done>
bool pump_until(Done done, int milliseconds = 2000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (static_cast<int>(GetTickCount() - start) > milliseconds) return false;
    test_platform().do_events();
    Sleep(2);
  }
  return true;
}
void pump_for(int milliseconds);
// Takes back the quit request the platform posts when its last window goes.
bool take_quit_request();
// A test picture's path, UTF-8.
std::string data_path(const std::string& name);

}  // namespace virelta::win32::testing

#define SKIP_WITHOUT_DISPLAY()                                          \
  do {                                                                  \
    if (!::virelta::win32::testing::has_display()) GTEST_SKIP() << "no display"; \
  } while (0)
