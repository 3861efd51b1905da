// The display's power state: the saver draws nothing while the display is
// off. It only listens (GUID_CONSOLE_DISPLAY_STATE); it never asks the
// system to keep the display on.
#include <cstring>

#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
// GUID_CONSOLE_DISPLAY_STATE {6FE69556-704A-47A0-8F24-C28D936FDA47}
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;  // 1: on, 2: dimmed (still shown)
}  // namespace

void Win32Platform::register_display_power() {
  // From Windows Vista on; looked up so that the program starts without it.
  using Register = HANDLE(WINAPI*)(HANDLE, LPCGUID, DWORD);
  auto register_setting = reinterpret_cast<Register>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "RegisterPowerSettingNotification")));
  if (register_setting && owner_)
    display_notification_ = register_setting(owner_, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void Win32Platform::display_power_changed(const POWERBROADCAST_SETTING& setting) {
  if (!IsEqualGUID(setting.PowerSetting, kConsoleDisplayState) || setting.DataLength < sizeof(DWORD)) return;
  DWORD state = 0;
  std::memcpy(&state, setting.Data, sizeof state);
  display_on_ = state != kDisplayOff;
}

void Win32Platform::wait_while_display_off() {
  // The saver asks before every step: with the display on nothing waited,
  // and the frame clock keeps the last frame's time.
  if (display_on_) return;
  while (!display_on_) {
    // Timers do not wake this wait (the saver's 1 ms timer would keep the
    // processor busy); input, sent messages such as the power notification,
    // posted messages and painting do.
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT & ~QS_TIMER, MWMO_INPUTAVAILABLE);
    do_events();
  }
  // The first frame after the wait is not held back for lost time.
  last_frame_ = 0;
}

}  // namespace virelta::win32
