// What the Win32 layer's tests share: one platform for the test program, a
// pump that runs for a while.
#pragma once

#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <string>

#include "platforms/win32/win32_platform.h"

namespace virelta::win32::testing {

inline Win32Platform* shared_platform = nullptr;
inline Win32Platform& test_platform() { return *shared_platform; }

struct LayerEnvironment : ::testing::Environment {
  void SetUp() override {
    OleInitialize(nullptr);
    set_platform(shared_platform = new Win32Platform(GetModuleHandleW(nullptr)));
  }
  void TearDown() override { set_platform(nullptr), delete shared_platform; }
};
inline const auto* registered = ::testing::AddGlobalTestEnvironment(new LayerEnvironment);

// Handles events for `milliseconds`, or until `done` returns true.
template <class Done>
bool pump_until(Done done, int milliseconds = 2000) {
  for (DWORD start = GetTickCount(); !done(); Sleep(2)) {
    if (static_cast<int>(GetTickCount() - start) > milliseconds) return false;
    test_platform().do_events();
  }
  return true;
}
inline void pump_for(int milliseconds) { pump_until([] { return false; }, milliseconds); }

// After a test that showed windows: takes back the quit request the platform posts when its last window goes.
inline void settle() {
  MSG message;
  for (pump_for(20); PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
  }
}

}  // namespace virelta::win32::testing
