// Painting and mouse handling shared by forms and surfaces: the stored
// picture with the windowless controls drawn over it, composed off screen
// when controls lie in the area so that nothing flickers.
#include <windows.h>

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "platforms/win32/accessibility.h"
#include "platforms/win32/peers.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {

Rect to_rect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
RECT to_RECT(const Rect& r) { return {r.left, r.top, r.right(), r.bottom()}; }

bool is_windowless(const Control& c) {
  auto k = c.kind();
  return k == Control::Kind::Label || k == Control::Kind::Picture || k == Control::Kind::Shape ||
         k == Control::Kind::Line;
}

bool takes_mouse(const Control& c) { return c.kind() == Control::Kind::Label || c.kind() == Control::Kind::Picture; }

bool handles_mouse(const Control& c) {
  return c.on_mouse_down || c.on_mouse_up || c.on_mouse_move || c.on_click || c.on_dbl_click;
}

// Lines and outlines may reach one pixel past their box.
Rect drawn_area(const Control& c) {
  Rect b = c.bounds();
  return {b.left - 1, b.top - 1, b.width + 2, b.height + 2};
}

int shift_state(WPARAM wparam) {
  return ((wparam & MK_SHIFT) ? 1 : 0) | ((wparam & MK_CONTROL) ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int buttons_of(WPARAM wparam) {
  return ((wparam & MK_LBUTTON) ? kLeftButton : 0) | ((wparam & MK_RBUTTON) ? kRightButton : 0) |
         ((wparam & MK_MBUTTON) ? kMiddleButton : 0);
}

// Shows the part of `area` that the picture covers; the rest in the background colour.
void draw_picture(HDC dc, const Image& image, const Rect& area, COLORREF background) {
  Rect inside = intersect(area, image.bounds());
  if (!inside.empty()) {
    // The DIB starts at the area's first row and is exactly as tall as the
    // area, so that the source rectangle means the same for every driver.
    BITMAPINFO info = top_down_info(image.width(), inside.height);
    StretchDIBits(dc, inside.left, inside.top, inside.width, inside.height, inside.left, 0, inside.width,
                  inside.height, image.row(inside.top), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  if (inside == area) return;
  unique_hbrush brush(CreateSolidBrush(background));
  if (area.right() > image.width()) {
    RECT r{std::max(area.left, image.width()), area.top, area.right(), area.bottom()};
    FillRect(dc, &r, brush.get());
  }
  if (area.bottom() > image.height()) {
    RECT r{area.left, std::max(area.top, image.height()), std::min(area.right(), image.width()), area.bottom()};
    if (r.right > r.left) FillRect(dc, &r, brush.get());
  }
}

}  // namespace

Rect focus_cue_area(const Control& c) {
  const Rect b = c.bounds();
  return {b.left - 3, b.top - 3, b.width + 6, b.height + 6};
}

void invalidate_focus_cue(const Control& c) {
  announce_focus(c);
  Surface* container = c.container();
  if (auto* surface = container ? dynamic_cast<SurfaceWindow*>(container->peer()) : nullptr)
    surface->invalidate(focus_cue_area(c));
}

namespace {
// A dotted frame two pixels around the focused control, over whatever the
// surface shows there (a scroll bar's own window leaves it visible around it).
void draw_focus_cue(HDC dc, const Control& c) {
  Rect a = focus_cue_area(c);
  RECT outer{a.left + 1, a.top + 1, a.right() - 1, a.bottom() - 1};
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &outer);
  RECT inner{outer.left + 1, outer.top + 1, outer.right - 1, outer.bottom - 1};
  DrawFocusRect(dc, &inner);
}
}  // namespace

void SurfaceWindow::paint(HDC dc, const RECT& requested) {
  RECT client;
  GetClientRect(hwnd_, &client);
  Rect area = intersect(to_rect(requested), to_rect(client));
  if (area.empty()) return;
  const Image& image = surface_.image();
  COLORREF background = colour_ref(surface_.back_color());

  std::vector<const Control*> over;
  for (const Control* child : surface_.children())
    if (is_windowless(*child) && child->visible() && !intersect(drawn_area(*child), area).empty())
      over.push_back(child);
  const Window* form = surface_.form();
  const Control* focused = form ? form->focused_control() : nullptr;
  if (focused && (focused->container() != &surface_ || intersect(focus_cue_area(*focused), area).empty()))
    focused = nullptr;
  if (over.empty() && !focused) {
    draw_picture(dc, image, area, background);
    return;
  }

  BITMAPINFO info = top_down_info(area.width, area.height);
  void* bits = nullptr;
  unique_hbitmap buffer(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  unique_hdc memory(CreateCompatibleDC(dc));
  if (!buffer || !memory) {
    draw_picture(dc, image, area, background);
    return;
  }
  selection selected(memory.get(), buffer.get());
  {
    saved_dc state(memory.get());
    SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
    draw_picture(memory.get(), image, area, background);
    for (const Control* child : over) draw_windowless(memory.get(), *child);
    if (focused) draw_focus_cue(memory.get(), *focused);
  }
  GdiFlush();
  BitBlt(dc, area.left, area.top, area.width, area.height, memory.get(), 0, 0, SRCCOPY);
}

void SurfaceWindow::show_picture(const Rect* area) {
  if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
  RECT r;
  if (area) r = to_RECT(*area);
  else GetClientRect(hwnd_, &r);
  window_dc dc(hwnd_);
  if (!dc) return;
  // The area is not validated: that would cost a round trip to the window
  // system per refresh, and a paint already due only draws the same picture.
  paint(dc.get(), r);
}

void SurfaceWindow::invalidate(const Rect& area) {
  if (!hwnd_) return;
  RECT r = to_RECT(area);
  InvalidateRect(hwnd_, &r, FALSE);
}

void SurfaceWindow::on_paint() {
  paint_dc dc(hwnd_);
  paint(dc.get(), dc.area());
}

Control* SurfaceWindow::mouse_target(POINT point) {
  const auto& children = surface_.children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    Control* child = *it;
    if (!takes_mouse(*child) || !child->visible() || !handles_mouse(*child)) continue;
    if (!child->bounds().contains(point.x, point.y)) continue;
    return child->enabled() ? child : nullptr;
  }
  return &surface_;
}

namespace {
MouseEvent event_for(const Control& target, const Surface& surface, POINT point, int button, int shift) {
  float x = static_cast<float>(point.x), y = static_cast<float>(point.y);
  if (&target != &surface) {
    x -= static_cast<float>(target.left());
    y -= static_cast<float>(target.top());
  }
  return {button, shift, x, y};
}

bool still_child(const Surface& surface, const Control* target) {
  if (target == &surface) return true;
  const auto& children = surface.children();
  return std::find(children.begin(), children.end(), target) != children.end();
}
}  // namespace

void SurfaceWindow::on_button_down(int button, WPARAM wparam, LPARAM lparam, bool double_click) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  Control* target = mouse_target(point);
  if (buttons_held_ == 0) {
    SetCapture(hwnd_);
    capture_target_ = target;
  }
  buttons_held_ |= button;
  auto alive = alive_token();
  if (target) {
    if (double_click) {
      after_double_click_ = true;
      if (target->on_dbl_click) target->on_dbl_click();
    } else if (target->on_mouse_down) {
      target->on_mouse_down(event_for(*target, surface_, point, button, shift_state(wparam)));
    }
  }
  if (!*alive || !hwnd_ || !IsWindow(hwnd_)) return;
  // Like a push button, a focusable surface takes the focus on a left press only.
  if (button == kLeftButton && surface_.focusable && surface_.enabled() && GetFocus() != hwnd_) SetFocus(hwnd_);
}

void SurfaceWindow::on_button_up(int button, WPARAM wparam, LPARAM lparam) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  Control* target = capture_target_ && still_child(surface_, capture_target_) ? capture_target_ : mouse_target(point);
  bool was_double_click = after_double_click_;
  buttons_held_ &= ~button;
  if (buttons_held_ == 0) {
    after_double_click_ = false;
    capture_target_ = nullptr;
    if (GetCapture() == hwnd_) ReleaseCapture();
  }
  if (!target) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  bool over = target == &surface_ ? PtInRect(&client, point) != FALSE : target->bounds().contains(point.x, point.y);
  auto alive = alive_token();
  if (target->on_mouse_up) target->on_mouse_up(event_for(*target, surface_, point, button, shift_state(wparam)));
  if (!*alive || !hwnd_) return;
  if (!was_double_click && over && target->enabled() && target->on_click) target->on_click();
}

void SurfaceWindow::on_mouse_move(WPARAM wparam, LPARAM lparam) {
  POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  Control* target = capture_target_ && still_child(surface_, capture_target_) ? capture_target_ : mouse_target(point);
  if (target && target->enabled() && target->on_mouse_move)
    target->on_mouse_move(event_for(*target, surface_, point, buttons_of(wparam), shift_state(wparam)));
}

bool SurfaceWindow::on_set_cursor(HWND under, LPARAM) {
  Win32Platform& p = win32_platform();
  if (p.application_pointer() != 0) {
    SetCursor(p.cursor(p.application_pointer(), 0));
    return true;
  }
  if (under != hwnd_) return false;
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(hwnd_, &point);
  const Control* over = &surface_;
  const auto& children = surface_.children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (takes_mouse(**it) && (*it)->visible() && (*it)->bounds().contains(point.x, point.y)) {
      over = *it;
      break;
    }
  }
  for (const Control* c = over; c; c = c->container()) {
    if (c->mouse_pointer != 0) {
      SetCursor(p.cursor(c->mouse_pointer, c->mouse_icon));
      return true;
    }
  }
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  return true;
}

void SurfaceWindow::on_vertical_scroll(WPARAM wparam, LPARAM lparam) {
  HWND bar = reinterpret_cast<HWND>(lparam);
  if (!bar) return;
  auto* spin = dynamic_cast<SpinButtonPeer*>(win32_platform().peer_of(bar));
  if (!spin) return;
  // A scroll bar takes the focus when clicked: the form hears of it.
  if (Window* form = surface_.form(); form && GetFocus() == bar) form->note_focus(&spin->control());
  spin->scrolled(LOWORD(wparam));
}

LRESULT SurfaceWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      on_paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      on_button_down(kLeftButton, wparam, lparam, false);
      return 0;
    case WM_LBUTTONDBLCLK:
      on_button_down(kLeftButton, wparam, lparam, true);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      on_button_down(kRightButton, wparam, lparam, false);
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      on_button_down(kMiddleButton, wparam, lparam, false);
      return 0;
    case WM_LBUTTONUP:
      on_button_up(kLeftButton, wparam, lparam);
      return 0;
    case WM_RBUTTONUP:
      on_button_up(kRightButton, wparam, lparam);
      return 0;
    case WM_MBUTTONUP:
      on_button_up(kMiddleButton, wparam, lparam);
      return 0;
    case WM_MOUSEMOVE:
      on_mouse_move(wparam, lparam);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd_) {
        capture_target_ = nullptr;
        buttons_held_ = 0;
        after_double_click_ = false;
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) != HTCLIENT) break;
      return on_set_cursor(reinterpret_cast<HWND>(wparam), lparam) ? TRUE : FALSE;
    case WM_VSCROLL:
      on_vertical_scroll(wparam, lparam);
      return 0;
    case WM_SETFOCUS:
      if (Window* form = surface_.form()) form->note_focus(&surface_);
      return 0;
    case WM_KILLFOCUS:
      if (Window* form = surface_.form()) form->note_focus_lost(&surface_);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace virelta::win32

namespace virelta::win32 {

void SurfaceWindow::handle_lost() {
  capture_target_ = nullptr;
  buttons_held_ = 0;
  // Scroll bars are the system's windows: their end is only seen here, as
  // children go before their parent.
  for (Control* child : surface_.children()) {
    Win32Peer* peer = win32_peer(*child);
    if (peer && peer->hwnd() && !IsWindow(peer->hwnd())) peer->handle_lost();
  }
  Win32Peer::handle_lost();
}

}  // namespace virelta::win32
