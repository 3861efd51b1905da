// The secure saver desktop. When Windows starts the saver by its idle
// timeout with a password set, it runs on a desktop of its own named
// "Screen-saver", whose screen shows no windows and no wallpaper, only a
// plain colour. There the picture the tiles are cut from is the user's
// wallpaper, laid out the way the desktop lays it out, over the desktop's
// background colour.
#include <cwchar>
#include <sstream>
#include <string>

#include "platforms/win32/wallpaper_layout.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
constexpr wchar_t kSaverDesktopName[] = L"Screen-saver";

// A text value of HKEY_CURRENT_USER, environment references expanded;
// empty when it is missing.
std::wstring user_text(const wchar_t* key_path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key_path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  std::wstring value;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && bytes > 0) {
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) ==
        ERROR_SUCCESS)
      value = buffer.c_str();
  }
  RegCloseKey(key);
  if (type == REG_EXPAND_SZ && !value.empty()) {
    DWORD needed = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    std::wstring expanded(needed + 1, L'\0');
    if (needed && ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed + 1)) value = expanded.c_str();
  }
  return value;
}

int user_number(const wchar_t* key_path, const wchar_t* name) {
  std::wstring text = user_text(key_path, name);
  return text.empty() ? 0 : static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

// "R G B" as the desktop stores its background colour; black when unreadable.
std::uint32_t background_pixel() {
  std::wistringstream text(user_text(L"Control Panel\\Colors", L"Background"));
  int red = 0, green = 0, blue = 0;
  if (!(text >> red >> green >> blue)) return 0;
  return pixel_from_colour(rgb(red, green, blue));
}
}  // namespace

bool Win32Platform::on_saver_desktop() const {
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  if (!desktop) return false;
  wchar_t name[64] = {};
  DWORD needed = 0;
  if (!GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof(wchar_t), &needed)) return false;
  return _wcsicmp(name, kSaverDesktopName) == 0;
}

const Image& Win32Platform::saver_desktop_picture() {
  if (saver_desktop_made_) return saver_desktop_;
  saver_desktop_made_ = true;
  const ScreenInfo info = screen();
  saver_desktop_ = Image(info.width, info.height, 0);
  std::vector<Rect> monitors = monitor_rects();
  for (Rect& monitor : monitors) {
    monitor.left -= info.left;
    monitor.top -= info.top;
  }
  constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
  Image wallpaper;
  const std::wstring path = user_text(kDesktopKey, L"Wallpaper");
  if (!path.empty() && !load_picture(narrow(path), wallpaper)) wallpaper = Image();
  if (!path.empty() && wallpaper.empty()) {
    // The desktop keeps its own copy of the picture when the original is gone.
    wchar_t appdata[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH) &&
        !load_picture(narrow(std::wstring(appdata) + L"\\Microsoft\\Windows\\Themes\\TranscodedWallpaper"),
                      wallpaper))
      wallpaper = Image();
  }
  const WallpaperStyle style = wallpaper_style_from_registry(user_number(kDesktopKey, L"WallpaperStyle"),
                                                             user_number(kDesktopKey, L"TileWallpaper"));
  lay_out_wallpaper(saver_desktop_, monitors, wallpaper, style, background_pixel());
  return saver_desktop_;
}

}  // namespace virelta::win32
