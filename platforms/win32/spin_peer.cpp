// A spin button: the system's vertical scroll bar, short enough to show only
// its two arrows. The upper arrow raises the value, the lower one lowers it;
// the scroll bar repeats while an arrow is held.
#include <algorithm>

#include "platforms/win32/peers.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

SpinButtonPeer::SpinButtonPeer(SpinButton& spin) : spin_(spin) { create_handle(); }

SpinButtonPeer::~SpinButtonPeer() { destroy_handle(); }

void SpinButtonPeer::create_handle() {
  if (hwnd_ || !spin_.container()) return;
  HWND parent = window_of(*spin_.container());
  if (!parent) return;
  const Rect& b = spin_.bounds();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | SBS_VERT | (spin_.visible() ? WS_VISIBLE : 0) |
                (spin_.enabled() ? 0 : WS_DISABLED);
  hwnd_ = CreateWindowExW(0, L"SCROLLBAR", nullptr, style, b.left, b.top, b.width, b.height, parent, nullptr,
                          win32_platform().instance(), nullptr);
  if (!hwnd_) return;
  win32_platform().register_window(hwnd_, this);
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  show_value();
}

void SpinButtonPeer::show_value() {
  if (!hwnd_) return;
  // The bar's position runs downwards: the top stands for the highest value.
  int low = std::min(spin_.min(), spin_.max()), high = std::max(spin_.min(), spin_.max());
  SetScrollRange(hwnd_, SB_CTL, 0, high - low, FALSE);
  SetScrollPos(hwnd_, SB_CTL, high - spin_.value(), TRUE);
}

void SpinButtonPeer::scrolled(int request) {
  if (!spin_.enabled()) return;
  switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
      spin_.step(+1);
      break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
      spin_.step(-1);
      break;
    default:
      break;
  }
}

void SpinButtonPeer::geometry_changed() {
  if (!hwnd_) return;
  const Rect& b = spin_.bounds();
  SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SpinButtonPeer::visibility_changed() {
  if (hwnd_) ShowWindow(hwnd_, spin_.visible() ? SW_SHOWNA : SW_HIDE);
}

void SpinButtonPeer::enabled_changed() {
  if (hwnd_) EnableWindow(hwnd_, spin_.enabled());
}

void SpinButtonPeer::content_changed() { show_value(); }

void SpinButtonPeer::set_focus() {
  if (hwnd_ && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_)) SetFocus(hwnd_);
}

}  // namespace virelta::win32
