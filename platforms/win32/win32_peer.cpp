#include "platforms/win32/peers.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

Win32Peer::Win32Peer() : alive_(std::make_shared<bool>(true)) {}

Win32Peer::~Win32Peer() {
  *alive_ = false;
  destroy_handle();
}

void Win32Peer::destroy_handle() {
  if (!hwnd_) return;
  HWND window = hwnd_;
  // Detached first: the window's last messages must not reach a peer that is
  // going away.
  if (GetWindowLongPtrW(window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  win32_platform().forget_window(window);
  hwnd_ = nullptr;
  if (IsWindow(window)) DestroyWindow(window);
}

void Win32Peer::handle_lost() {
  if (!hwnd_) return;
  win32_platform().forget_window(hwnd_);
  hwnd_ = nullptr;
}

LRESULT Win32Peer::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Win32Peer::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Win32Peer*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    if (created) {
      created->hwnd_ = window;
      win32_platform().register_window(window, created);
    }
  }
  auto* peer = reinterpret_cast<Win32Peer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!peer) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    LRESULT result = DefWindowProcW(window, message, wparam, lparam);
    if (peer->hwnd_ == window) win32_platform().guarded([peer] { peer->handle_lost(); });
    return result;
  }
  LRESULT result = 0;
  win32_platform().guarded([&] { result = peer->handle_message(message, wparam, lparam); });
  return result;
}

Win32Peer* win32_peer(const Control& control) { return dynamic_cast<Win32Peer*>(control.peer()); }

HWND window_of(const Control& control) {
  for (const Control* c = &control; c; c = c->container())
    if (Win32Peer* peer = win32_peer(*c)) return peer->hwnd();
  return nullptr;
}

void create_child_handles(Surface& surface) {
  for (Control* child : surface.children()) {
    if (Win32Peer* peer = win32_peer(*child)) {
      if (!peer->hwnd()) peer->create_handle();
    }
    if (child->kind() == Control::Kind::Surface) create_child_handles(static_cast<Surface&>(*child));
  }
}

}  // namespace virelta::win32
