// A form: a top-level window (or, in the preview, a child of a foreign
// window) whose client area is the form's own surface.
#include <algorithm>

#include "platforms/win32/accessibility.h"
#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {
constexpr UINT kTopmostFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;  // 0x13

// Styles of a frame; the state bits (visible, disabled) are kept as they are.
void frame_styles(const Window& w, DWORD& style, DWORD& ex_style) {
  ex_style = w.show_in_taskbar ? WS_EX_APPWINDOW : 0;
  switch (w.border) {
    case BorderStyle::None: style = WS_POPUP; return;
    case BorderStyle::FixedSingle: style = WS_CAPTION; break;
    case BorderStyle::Sizable: style = WS_CAPTION | WS_THICKFRAME; break;
    case BorderStyle::FixedDialog:
      style = WS_CAPTION;
      ex_style |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (w.control_box) {
    style |= WS_SYSMENU;
    if (w.border != BorderStyle::FixedDialog) {
      if (w.min_button) style |= WS_MINIMIZEBOX;
      if (w.max_button) style |= WS_MAXIMIZEBOX;
    }
  }
}
}  // namespace

FormPeer::FormPeer(Window& window) : SurfaceWindowPeer(window), window_(window) { create_handle(); }

FormPeer::~FormPeer() {
  win32_platform().form_gone(*this);
  destroy_handle();
}

void FormPeer::create_handle() {
  if (hwnd_) return;
  embedded_ = false;
  host_ = nullptr;
  shown_ = false;
  resized_once_ = false;
  last_focus_ = nullptr;
  timer_intervals_.clear();
  const Rect& b = window_.bounds();
  CreateWindowExW(0, kFormClass, widen(window_.caption()).c_str(), WS_POPUP | WS_CLIPCHILDREN, b.left, b.top,
                  b.width, b.height, nullptr, nullptr, win32_platform().instance(), static_cast<Win32Peer*>(this));
  apply_frame();
}

void FormPeer::apply_frame() {
  if (!hwnd_) return;
  const DWORD current = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE));
  const DWORD state = current & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
  DWORD style = 0, ex_style = 0;
  if (embedded_) style = WS_CHILD | WS_CLIPSIBLINGS;
  else frame_styles(window_, style, ex_style);
  style |= state | WS_CLIPCHILDREN;
  if (style != current) SetWindowLongW(hwnd_, GWL_STYLE, static_cast<LONG>(style));
  if (ex_style != static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)))
    SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(ex_style));
  if (!embedded_) {
    // An owned window stays off the taskbar; a foreign owner keeps it in front of itself.
    HWND owner = window_.owner && IsWindow(reinterpret_cast<HWND>(window_.owner))
                     ? reinterpret_cast<HWND>(window_.owner)
                     : window_.show_in_taskbar ? nullptr : win32_platform().owner_window();
    if (GetWindow(hwnd_, GW_OWNER) != owner) SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  }
  const Rect& b = window_.bounds();
  RECT outer{0, 0, b.width, b.height};
  AdjustWindowRectEx(&outer, style, FALSE, ex_style);
  int outer_width = outer.right - outer.left, outer_height = outer.bottom - outer.top;
  syncing_ = true;
  SetWindowPos(hwnd_, nullptr, b.left, b.top, outer_width, outer_height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // A frame drawn by someone else may be thicker than the system says.
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right != b.width || client.bottom != b.height)
    SetWindowPos(hwnd_, nullptr, 0, 0, outer_width + b.width - client.right, outer_height + b.height - client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  syncing_ = false;
  read_position();
}

void FormPeer::read_position() {
  RECT r;
  if (hwnd_ && GetWindowRect(hwnd_, &r)) window_.outer_bounds = {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void FormPeer::set_icon() {
  HINSTANCE instance = win32_platform().instance();
  int id = window_.icon_resource ? window_.icon_resource : kProgramIconResource;
  auto load = [&](int size_x, int size_y) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, GetSystemMetrics(size_x),
                                         GetSystemMetrics(size_y), LR_SHARED));
  };
  if (HICON big = load(SM_CXICON, SM_CYICON)) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HICON small = load(SM_CXSMICON, SM_CYSMICON))
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void FormPeer::embed(HWND host) {
  if (!hwnd_) return;
  // Style first, then the parent, then the place: what the system's preview expects.
  SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, 0);
  embedded_ = true;
  host_ = host;
  LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
  SetWindowLongW(hwnd_, GWL_STYLE, (style & ~static_cast<LONG>(WS_POPUP)) | WS_CHILD);
  SetParent(hwnd_, host);
  RECT client{};
  GetClientRect(host, &client);
  window_.move(0, 0, client.right - client.left, client.bottom - client.top);
  apply_frame();
  win32_platform().watch_embedded(*this);
}

void FormPeer::geometry_changed() {
  if (syncing_) return;
  apply_frame();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormPeer::visibility_changed() {
  if (!hwnd_) return;
  if (!window_.visible()) hide();
  else if (window_.loaded()) show();
}

void FormPeer::set_focus() {
  if (hwnd_ && IsWindowVisible(hwnd_)) SetFocus(hwnd_);
}

void FormPeer::show() {
  if (!hwnd_) {
    create_handle();
    create_child_handles(window_);
  }
  if (!hwnd_) return;
  set_icon();
  fit_labels(window_);
  apply_frame();
  win32_platform().form_shown(*this);
  if (!resized_once_) {
    resized_once_ = true;
    // Painted into the stored picture before the window first appears.
    auto alive = alive_token();
    if (window_.on_resize) window_.on_resize();
    if (!*alive || !hwnd_) return;
  }
  ShowWindow(hwnd_, embedded_ ? SW_SHOWNA : SW_SHOW);
  if (!embedded_) SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
  shown_ = true;
  sync_timers();
}

void FormPeer::hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  shown_ = false;
  sync_timers();
}

void FormPeer::show_modal() {
  Win32Platform& platform = win32_platform();
  std::vector<HWND> disabled;
  for (FormPeer* other : platform.forms()) {
    HWND h = other->hwnd();
    if (other != this && h && !other->embedded() && IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      disabled.push_back(h);
    }
  }
  show();
  auto alive = alive_token();
  Window& window = window_;
  platform.run_modal([&] { return *alive && window.loaded() && shown_ && hwnd_ != nullptr; });
  for (HWND h : disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

void FormPeer::unloaded() {
  shown_ = false;
  if (hwnd_) {
    unloading_ = true;
    DestroyWindow(hwnd_);
    unloading_ = false;
  }
  win32_platform().form_gone(*this);
}

void FormPeer::handle_lost() {
  SurfaceWindow::handle_lost();
  shown_ = false;
  timer_intervals_.clear();
  // Destroyed from outside (the preview's host went away): the form unloads.
  if (!unloading_ && window_.loaded()) window_.unload();
  win32_platform().form_gone(*this);
}

void FormPeer::caption_changed() {
  if (hwnd_) SetWindowTextW(hwnd_, widen(window_.caption()).c_str());
}

void FormPeer::make_topmost() {
  if (hwnd_) SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, kTopmostFlags);
}

void FormPeer::timers_changed() { sync_timers(); }

void FormPeer::sync_timers() {
  const auto& timers = window_.timers();
  const bool running = hwnd_ && shown_ && window_.loaded();
  timer_intervals_.resize(std::max(timer_intervals_.size(), timers.size()), 0);
  for (std::size_t i = 0; i < timer_intervals_.size(); ++i) {
    int wanted = 0;
    if (running && i < timers.size() && timers[i]->enabled() && timers[i]->interval() > 0)
      wanted = timers[i]->interval();
    if (wanted == timer_intervals_[i]) continue;
    if (wanted) SetTimer(hwnd_, i + 1, static_cast<UINT>(wanted), nullptr);
    else if (hwnd_) KillTimer(hwnd_, i + 1);
    timer_intervals_[i] = wanted;
  }
}

void FormPeer::on_timer(WPARAM id) {
  const auto& timers = window_.timers();
  std::size_t index = id - 1;
  if (index < timers.size() && window_.loaded()) timers[index]->fire();
}

void FormPeer::on_activate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) last_focus_ = focus;
    return;
  }
  // The control the form holds focused gets the system's focus back (a
  // windowless one through the form's own window).
  if (Control* focused = window_.focused_control()) {
    Win32Peer* peer = win32_peer(*focused);
    HWND h = peer && peer->hwnd() && IsWindowVisible(peer->hwnd()) ? peer->hwnd() : hwnd_;
    SetFocus(h);
    return;
  }
  if (last_focus_ && IsWindow(last_focus_) && IsChild(hwnd_, last_focus_) && IsWindowVisible(last_focus_) &&
      IsWindowEnabled(last_focus_))
    SetFocus(last_focus_);
  else
    SetFocus(hwnd_);
}

void FormPeer::on_window_pos_changed() {
  read_position();
  if (syncing_ || !shown_ || IsIconic(hwnd_)) return;
  // The user or the host moved or sized the window.
  RECT client;
  GetClientRect(hwnd_, &client);
  POINT origin{window_.outer_bounds.left, window_.outer_bounds.top};
  if (embedded_) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    origin = {r.left, r.top};
    ScreenToClient(GetParent(hwnd_), &origin);
  }
  const Rect before = window_.bounds();
  if (before == Rect{origin.x, origin.y, client.right, client.bottom}) return;
  syncing_ = true;
  window_.move(origin.x, origin.y, client.right, client.bottom);
  syncing_ = false;
  if ((before.width != client.right || before.height != client.bottom) && window_.on_resize)
    window_.on_resize();
}

LRESULT FormPeer::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      window_.request_close();
      return 0;
    case WM_ENDSESSION:
      if (wparam) window_.request_close();
      return 0;
    case WM_TIMER:
      on_timer(wparam);
      return 0;
    case WM_GETOBJECT:
      if (!embedded_)
        if (LRESULT object = accessible_object(window_, hwnd_, alive_token(), wparam, lparam)) return object;
      break;
    case WM_ACTIVATE:
      on_activate(wparam);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      LRESULT result = DefWindowProcW(hwnd_, message, wparam, lparam);
      on_window_pos_changed();
      return result;
    }
    default:
      break;
  }
  // Also a WM_GETOBJECT this form does not answer itself: the system's
  // accessible object then stands for the window.
  return SurfaceWindow::handle_message(message, wparam, lparam);
}

}  // namespace virelta::win32
