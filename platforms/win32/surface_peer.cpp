// A picture surface inside a window: a child window of its container.
#include "platforms/win32/peers.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

int screen_bits_per_pixel() { return win32_platform().screen().bits_per_pixel; }

SurfacePeer::SurfacePeer(Surface& surface) : SurfaceWindowPeer(surface) { create_handle(); }

SurfacePeer::~SurfacePeer() { destroy_handle(); }

void SurfacePeer::create_handle() {
  Surface& s = surface();
  if (hwnd_ || !s.container()) return;
  HWND parent = window_of(*s.container());
  if (!parent) return;
  const Rect& b = s.bounds();
  DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (s.visible() ? WS_VISIBLE : 0) |
                (s.enabled() ? 0 : WS_DISABLED);
  CreateWindowExW(0, kSurfaceClass, L"", style, b.left, b.top, b.width, b.height, parent, nullptr,
                  win32_platform().instance(), static_cast<Win32Peer*>(this));
  // Later controls lie on top of earlier ones.
  if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SurfacePeer::geometry_changed() {
  if (!hwnd_) return;
  const Rect& b = surface().bounds();
  SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void SurfacePeer::visibility_changed() {
  if (hwnd_) ShowWindow(hwnd_, surface().visible() ? SW_SHOWNA : SW_HIDE);
}

void SurfacePeer::set_focus() {
  if (hwnd_ && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_)) SetFocus(hwnd_);
}

}  // namespace virelta::win32
