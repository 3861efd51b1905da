#include "platforms/win32/tests/layer_test_support.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace virelta::win32::testing {

namespace {
Win32Platform* shared = nullptr;

class LayerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    OleInitialize(nullptr);
    shared = new Win32Platform(GetModuleHandleW(nullptr));
    set_platform(shared);
  }
  void TearDown() override {
    set_platform(nullptr);
    delete shared;
    shared = nullptr;
  }
};

const auto* registered = ::testing::AddGlobalTestEnvironment(new LayerEnvironment);
}  // namespace

Win32Platform& test_platform() { return *shared; }

bool has_display() {
  static const bool present = [] {
    HWND probe = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
  }();
  return present;
}

void pump_for(int milliseconds) {
  pump_until([] { return false; }, milliseconds);
}

bool take_quit_request() {
  MSG message;
  bool found = false;
  while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) found = true;
  return found;
}

std::string data_path(const std::string& name) {
  std::string folder = VIRELTA_WIN32_TEST_DATA;
  // A Unix path of the build seen from Wine: its root is drive Z.
  if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;
  return folder + "/" + name;
}

}  // namespace virelta::win32::testing
