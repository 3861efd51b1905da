// The operating system's calls that start-up, the saver and the settings
// dialog make, each passed through as the program asks for it.
#include <windows.h>

#include <shellapi.h>

#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
RECT to_RECT(const Rect& r) { return {r.left, r.top, r.right(), r.bottom()}; }
}  // namespace

void Win32Platform::message_box(const std::string& title, const std::string& text, MessageIcon icon) {
  HWND owner = GetActiveWindow();
  if (!owner || !peer_of(owner)) {
    owner = nullptr;
    for (FormPeer* form : forms_)
      if (form->hwnd() && IsWindowVisible(form->hwnd()) && !form->embedded()) owner = form->hwnd();
  }
  UINT style = MB_OK | (icon == MessageIcon::Critical ? MB_ICONERROR : MB_ICONINFORMATION);
  MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), style);
}

void Win32Platform::end_program(int exit_code) {
  // The run-time's End: nothing more runs, no handler, no unload.
  ExitProcess(static_cast<UINT>(exit_code));
}

std::optional<Point> Win32Platform::cursor_position() const {
  POINT point;
  if (!GetCursorPos(&point)) return std::nullopt;
  return Point{point.x, point.y};
}

const Control* Win32Platform::control_under_cursor() const {
  POINT point;
  if (!GetCursorPos(&point)) return nullptr;
  HWND under = WindowFromPoint(point);
  if (!under) return nullptr;
  // A windowless label counts as the surface it lies on.
  Win32Peer* peer = peer_of(under);
  return peer ? &peer->control() : nullptr;
}

bool Win32Platform::find_window(const std::string& caption) {
  return FindWindowW(nullptr, widen(caption).c_str()) != nullptr;
}

int Win32Platform::show_cursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

Long Win32Platform::system_parameters_info(unsigned action, Long parameter) {
  return SystemParametersInfoW(action, static_cast<UINT>(parameter), nullptr, 0);
}

std::optional<int> Win32Platform::version_platform_id() {
  OSVERSIONINFOA info{};
  static_assert(sizeof info == 148, "the version record the platform expects");
  info.dwOSVersionInfoSize = 148;
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
  BOOL result = GetVersionExA(&info);
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  BOOL result = GetVersionExA(&info);
#pragma GCC diagnostic pop
#endif
  if (result != 1) return std::nullopt;
  return static_cast<int>(info.dwPlatformId);
}

std::optional<Rect> Win32Platform::window_rect(std::uintptr_t window) {
  RECT r;
  if (!GetWindowRect(reinterpret_cast<HWND>(window), &r)) return std::nullopt;
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool Win32Platform::is_window(std::uintptr_t window) { return IsWindow(reinterpret_cast<HWND>(window)) != FALSE; }

void Win32Platform::draw_animated_rects(std::uintptr_t window, int kind, const Rect& from, const Rect& to) {
  RECT a = to_RECT(from), b = to_RECT(to);
  DrawAnimatedRects(reinterpret_cast<HWND>(window), kind, &a, &b);
}

std::optional<bool> Win32Platform::verify_screen_save_password(std::uintptr_t window) {
  // The 9x family's password service; loaded when asked for, never linked.
  unique_hmodule library(LoadLibraryW(L"password.cpl"));
  if (!library) return std::nullopt;
  using Verify = BOOL(WINAPI*)(HWND);
  auto verify = reinterpret_cast<Verify>(reinterpret_cast<void*>(GetProcAddress(library.get(), "VerifyScreenSavePwd")));
  if (!verify) return std::nullopt;
  return verify(reinterpret_cast<HWND>(window)) != FALSE;
}

Long Win32Platform::shell_open(std::uintptr_t window, const std::string& target) {
  HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(window), L"open", widen(target).c_str(), L"", L"",
                                   SW_SHOWNORMAL);
  return static_cast<Long>(reinterpret_cast<INT_PTR>(result));
}

void Win32Platform::embed_in(Window& window, std::uintptr_t host) {
  if (auto* form = dynamic_cast<FormPeer*>(window.peer())) form->embed(reinterpret_cast<HWND>(host));
}

}  // namespace virelta::win32
