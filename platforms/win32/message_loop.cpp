// The message loop: the main loop, modal loops and the event pump share one
// dispatch, which lets a form see every key first when it asks to and moves
// the focus with Tab between the controls that take it.
#include <string>

#include "runtime/runtime.h"
#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
int shift_now() {
  return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

void collect_tab_stops(const Surface& surface, std::vector<HWND>& stops) {
  for (const Control* child : surface.children()) {
    if (!child->visible() || !child->enabled()) continue;
    if (child->kind() == Control::Kind::Spin) {
      if (HWND h = window_of(*child)) stops.push_back(h);
    } else if (child->kind() == Control::Kind::Surface) {
      const auto& inner = static_cast<const Surface&>(*child);
      if (inner.focusable)
        if (HWND h = window_of(inner)) stops.push_back(h);
      collect_tab_stops(inner, stops);
    }
  }
}
}  // namespace

void Win32Platform::move_focus(Window& form, bool backwards) {
  std::vector<HWND> stops;
  collect_tab_stops(form, stops);
  if (stops.empty()) return;
  HWND focus = GetFocus();
  int n = static_cast<int>(stops.size()), at = -1;
  for (int i = 0; i < n; ++i)
    if (stops[i] == focus) at = i;
  int next = backwards ? (at <= 0 ? n - 1 : at - 1) : (at + 1) % n;
  SetFocus(stops[next]);
}

bool Win32Platform::preview_key(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  Win32Peer* peer = peer_of(message.hwnd);
  if (!peer) return false;
  Window* form = peer->control().form();
  if (!form) return false;
  Win32Peer* form_peer = win32_peer(*form);
  if (!form_peer) return false;
  auto alive = form_peer->alive_token();
  const bool own_window = peer == form_peer;
  if (form->on_key_down && (form->key_preview || own_window)) {
    guarded([&] { form->on_key_down(static_cast<int>(message.wParam), shift_now()); });
    if (!*alive || !form_peer->hwnd()) return true;
  }
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
    move_focus(*form, GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  return false;
}

void Win32Platform::dispatch(MSG& message) {
  if (preview_key(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Platform::run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
}

void Win32Platform::run_modal(const std::function<bool()>& keep_running) {
  MSG message;
  while (keep_running()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: the outer loop must see the quit request too.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    dispatch(message);
  }
}

void Win32Platform::do_events() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
  }
}

void Win32Platform::guarded(const std::function<void()>& code) noexcept {
  try {
    code();
  } catch (const RuntimeError& error) {
    report_unhandled_error(error.what(), error.number());
  } catch (const ProgramEnded& ended) {
    ExitProcess(static_cast<UINT>(ended.exit_code));
  } catch (const std::exception& error) {
    report_unhandled_error(error.what(), 0);
  } catch (...) {
    report_unhandled_error("Unexpected error", 0);
  }
}

void Win32Platform::report_unhandled_error(const char* description, int number) noexcept {
  // As the run-time does with an error no handler traps: say so, then end.
  std::string text = number ? "Run-time error '" + std::to_string(number) + "':\n\n" + description : description;
  HWND owner = GetActiveWindow();
  ShowCursor(TRUE);  // the saver may have hidden it
  MessageBoxW(owner, widen(text).c_str(), L"Virelta", MB_OK | MB_ICONERROR | MB_TOPMOST);
  ExitProcess(0);
}

}  // namespace virelta::win32
