// The screen as the program sees it on current Windows: the virtual screen
// over every monitor (its origin may lie left of or above the primary
// monitor), the primary monitor for centring dialogs, and the twips per
// pixel of the primary monitor's own DPI (the program is per-monitor DPI
// aware, so all of it is in physical pixels). Also the per-user settings
// folder.
#include <shlobj.h>

#include "platforms/win32/handles.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
constexpr int kStandardDpi = 96;

// GetDpiForMonitor lives in shcore.dll from Windows 8.1 on; it is looked up
// once, and the screen's logical DPI serves where it is missing.
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

GetDpiForMonitorFunction dpi_for_monitor_function() {
  static const GetDpiForMonitorFunction function = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFunction>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  return function;
}

BOOL CALLBACK collect_monitor(HMONITOR, HDC, LPRECT area, LPARAM collected) {
  reinterpret_cast<std::vector<Rect>*>(collected)->push_back(
      {area->left, area->top, area->right - area->left, area->bottom - area->top});
  return TRUE;
}
}  // namespace

int primary_monitor_dpi(bool horizontal) {
  if (GetDpiForMonitorFunction dpi_for_monitor = dpi_for_monitor_function()) {
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    UINT dpi_x = 0, dpi_y = 0;
    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (primary && SUCCEEDED(dpi_for_monitor(primary, kEffectiveDpi, &dpi_x, &dpi_y)) && dpi_x > 0 && dpi_y > 0)
      return static_cast<int>(horizontal ? dpi_x : dpi_y);
  }
  window_dc screen(nullptr);
  int dpi = GetDeviceCaps(screen.get(), horizontal ? LOGPIXELSX : LOGPIXELSY);
  return dpi > 0 ? dpi : kStandardDpi;
}

ScreenInfo Win32Platform::screen() const {
  if (screen_) return *screen_;
  ScreenInfo info;
  info.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  info.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  info.width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  info.height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  info.primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  // Systems without a virtual screen report nothing: the primary then is all.
  if (info.width <= 0 || info.height <= 0) {
    info.left = info.top = 0;
    info.width = info.primary.width;
    info.height = info.primary.height;
  }
  info.twips_per_pixel_x = 1440.0 / dpi_x_;
  info.twips_per_pixel_y = 1440.0 / dpi_y_;
  window_dc screen(nullptr);
  info.bits_per_pixel = GetDeviceCaps(screen.get(), BITSPIXEL);
  screen_ = info;
  return info;
}

std::vector<Rect> Win32Platform::monitor_rects() const {
  std::vector<Rect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    const ScreenInfo info = screen();
    monitors.push_back({info.left, info.top, info.width, info.height});
  }
  return monitors;
}

std::string Win32Platform::user_settings_folder() const {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0]) return {};
  return narrow(std::wstring(folder) + L"\\Virelta");
}

}  // namespace virelta::win32
