#include "commands.h"
#include "output.h"

namespace vtest {

namespace {

constexpr UINT_PTR destroy_timer = 1;
bool stay_alive_after_destroy = false;

LRESULT CALLBACK host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == destroy_timer) {
        KillTimer(window, destroy_timer);
        DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      print("destroyed\n");
      if (!stay_alive_after_destroy) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

// Plays the display settings' preview box: a window another program is asked
// to draw into (its handle goes on that program's command line).
int run_host(const HostOptions& options) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = host_procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = L"vtest-host";
  RegisterClassW(&window_class);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  RECT frame{0, 0, options.client_width, options.client_height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window = CreateWindowExW(0, L"vtest-host", L"vtest-host", style, options.x, options.y,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                window_class.hInstance, nullptr);
  if (window == nullptr) {
    print_error("host: cannot create the window\n");
    return 1;
  }
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  stay_alive_after_destroy = options.destroy_after_ms >= 0;
  if (stay_alive_after_destroy) SetTimer(window, destroy_timer, static_cast<UINT>(options.destroy_after_ms), nullptr);
  print(handle_text(window) + "\n");

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace vtest
