// The Win32 platform: program facts, window classes, the registry of our
// windows, fonts and pointers.
#include "platforms/win32/win32_platform.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"

namespace virelta::win32 {

namespace {
Win32Platform* installed = nullptr;
constexpr UINT kCheckEnd = WM_APP + 1;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchIntervalMs = 50;
}  // namespace

Win32Platform& win32_platform() { return *installed; }

COLORREF colour_ref(std::uint32_t colour) {
  if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFF));
  return static_cast<COLORREF>(colour & 0xFFFFFF);
}

void register_window_classes(HINSTANCE instance) {
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  // A device context of its own per window: a refresh then finds it ready,
  // where a fresh one from the cache costs a set-up each time (under Wine a
  // font selection that rereads the X resources) and the saver refreshes
  // four tiles every frame.
  form.style = CS_DBLCLKS | CS_OWNDC;
  form.lpfnWndProc = Win32Peer::window_proc;
  form.hInstance = instance;
  form.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON, 0, 0,
                                             LR_DEFAULTSIZE | LR_SHARED));
  form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  form.lpszClassName = kFormClass;
  RegisterClassExW(&form);

  WNDCLASSEXW surface = form;
  surface.hIcon = nullptr;
  surface.lpszClassName = kSurfaceClass;
  RegisterClassExW(&surface);
}

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
  installed = this;
  register_window_classes(instance);
  WNDCLASSEXW owner{};
  owner.cbSize = sizeof owner;
  owner.lpfnWndProc = owner_proc;
  owner.hInstance = instance;
  owner.lpszClassName = kOwnerClass;
  RegisterClassExW(&owner);
  owner_ = CreateWindowExW(0, kOwnerClass, L"Virelta", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
  dpi_x_ = primary_monitor_dpi(true);
  dpi_y_ = primary_monitor_dpi(false);
  register_display_power();
}

Win32Platform::~Win32Platform() {
  if (display_notification_) {
    using Unregister = BOOL(WINAPI*)(HANDLE);
    if (auto unregister = reinterpret_cast<Unregister>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "UnregisterPowerSettingNotification"))))
      unregister(display_notification_);
  }
  if (frame_timer_) CloseHandle(frame_timer_);
  if (owner_) DestroyWindow(owner_);
  if (installed == this) installed = nullptr;
}

std::string Win32Platform::program_folder() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t separator = path.find_last_of(L"\\/");
  return narrow(separator == std::wstring::npos ? std::wstring() : path.substr(0, separator));
}

std::string text_after_program_path(const wchar_t* p) {
  if (!p) return {};
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return narrow(p);
}

std::string Win32Platform::command_line() const { return text_after_program_path(GetCommandLineW()); }

bool Win32Platform::japanese_display() const { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

std::unique_ptr<ControlPeer> Win32Platform::make_peer(Control& control) {
  switch (control.kind()) {
    case Control::Kind::Window: return std::make_unique<FormPeer>(static_cast<Window&>(control));
    case Control::Kind::Surface: return std::make_unique<SurfacePeer>(static_cast<Surface&>(control));
    case Control::Kind::Spin: return std::make_unique<SpinButtonPeer>(static_cast<SpinButton&>(control));
    default: return std::make_unique<WindowlessPeer>(control);
  }
}

void Win32Platform::register_window(HWND window, Win32Peer* peer) { windows_[window] = peer; }

void Win32Platform::forget_window(HWND window) { windows_.erase(window); }

Win32Peer* Win32Platform::peer_of(HWND window) const {
  for (HWND h = window; h;) {
    auto found = windows_.find(h);
    if (found != windows_.end()) return found->second;
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) return nullptr;
    h = GetParent(h);
  }
  return nullptr;
}

void Win32Platform::form_shown(FormPeer& form) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) forms_.push_back(&form);
}

void Win32Platform::form_gone(FormPeer& form) {
  auto before = forms_.size();
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
  embedded_.erase(std::remove(embedded_.begin(), embedded_.end(), &form), embedded_.end());
  // Checked once the current message is done: a handler may unload one
  // window and show the next.
  if (before != forms_.size() && forms_.empty() && owner_) PostMessageW(owner_, kCheckEnd, 0, 0);
}

void Win32Platform::check_end() {
  if (forms_.empty()) PostQuitMessage(0);
}

void Win32Platform::close_forms() {
  if (forms_.empty()) PostQuitMessage(0);
  std::vector<FormPeer*> open = forms_;
  for (FormPeer* form : open)
    if (std::find(forms_.begin(), forms_.end(), form) != forms_.end()) form->window().request_close();
}

void Win32Platform::watch_embedded(FormPeer& form) {
  if (std::find(embedded_.begin(), embedded_.end(), &form) == embedded_.end()) embedded_.push_back(&form);
  if (owner_) SetTimer(owner_, kWatchTimer, kWatchIntervalMs, nullptr);
}

namespace {
void lose_handles(Surface& surface) {
  for (Control* child : surface.children()) {
    if (child->kind() == Control::Kind::Surface) lose_handles(static_cast<Surface&>(*child));
    if (Win32Peer* peer = win32_peer(*child)) peer->handle_lost();
  }
}
}  // namespace

void Win32Platform::check_embedded() {
  // A host killed with its process takes our window along without telling us.
  std::vector<FormPeer*> watched = embedded_;
  for (FormPeer* form : watched) {
    if (std::find(embedded_.begin(), embedded_.end(), form) == embedded_.end()) continue;
    HWND window = form->hwnd();
    if (!window) continue;
    if (!IsWindow(window)) {
      lose_handles(form->window());
      form->handle_lost();
    } else if (!IsWindow(form->host())) {
      DestroyWindow(window);
    }
  }
  if (embedded_.empty() && watched_.empty() && owner_) KillTimer(owner_, kWatchTimer);
}

void Win32Platform::watch_window(std::uintptr_t window, std::function<void()> gone) {
  watched_.emplace_back(reinterpret_cast<HWND>(window), std::move(gone));
  if (owner_) SetTimer(owner_, kWatchTimer, kWatchIntervalMs, nullptr);
}

void Win32Platform::check_watched() {
  // Polled: a window that vanishes with its process sends nothing.
  for (std::size_t i = 0; i < watched_.size();) {
    if (IsWindow(watched_[i].first)) {
      ++i;
      continue;
    }
    std::function<void()> gone = std::move(watched_[i].second);
    watched_.erase(watched_.begin() + static_cast<std::ptrdiff_t>(i));
    if (gone) gone();
  }
  if (embedded_.empty() && watched_.empty() && owner_) KillTimer(owner_, kWatchTimer);
}

LRESULT CALLBACK Win32Platform::owner_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (installed && window == installed->owner_) {
    if (message == kCheckEnd) {
      installed->guarded([] { installed->check_end(); });
      return 0;
    }
    if (message == WM_DISPLAYCHANGE) installed->screen_.reset();
    if (message == WM_POWERBROADCAST && wparam == PBT_POWERSETTINGCHANGE && lparam) {
      installed->display_power_changed(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lparam));
      return TRUE;
    }
    // A close request to the program (taskkill, a session that ends) goes to
    // its windows; the owner itself stays, or the check above never came.
    if (message == WM_CLOSE || (message == WM_ENDSESSION && wparam)) {
      installed->guarded([] { installed->close_forms(); });
      return 0;
    }
    if (message == WM_TIMER && wparam == kWatchTimer) {
      installed->guarded([] {
        installed->check_embedded();
        installed->check_watched();
      });
      return 0;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

namespace {

int CALLBACK note_face_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool face_installed(const std::wstring& face) {
  // A substitute the system maps the name to counts as installed.
  DWORD size = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes",
                   face.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) == ERROR_SUCCESS)
    return true;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, note_face_found, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// "ＭＳ Ｐゴシック" is an optional feature on current Windows. Where it is
// missing, a Japanese-capable interface face that every such system has
// takes its place, so no text shows as empty boxes.
std::wstring installed_face(const std::wstring& wanted, int charset) {
  if (wanted.empty() || face_installed(wanted) || charset != SHIFTJIS_CHARSET) return wanted;
  for (const wchar_t* face : {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"Yu Gothic", L"Meiryo"})
    if (face_installed(face)) return face;
  return wanted;
}

}  // namespace

HFONT Win32Platform::font(const Font& font) {
  for (const MadeFont& made : fonts_)
    if (made.font == font && made.dpi == dpi_y_) return made.handle.get();
  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.size * dpi_y_ / 72.0));
  description.lfWeight = font.weight;
  description.lfItalic = font.italic;
  description.lfUnderline = font.underline;
  description.lfStrikeOut = font.strikethrough;
  description.lfCharSet = static_cast<BYTE>(font.charset);
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::wstring face = installed_face(widen(font.name), font.charset);
  std::wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  fonts_.push_back({font, dpi_y_, unique_hfont(CreateFontIndirectW(&description))});
  return fonts_.back().handle.get();
}

void Win32Platform::set_dpi(int dpi_x, int dpi_y) {
  dpi_x_ = dpi_x;
  dpi_y_ = dpi_y;
  screen_.reset();
}

HCURSOR Win32Platform::cursor(int pointer, int resource) const {
  const wchar_t* id = IDC_ARROW;
  switch (pointer) {
    case 2: id = IDC_CROSS; break;
    case 3: id = IDC_IBEAM; break;
    case 5:
    case 15: id = IDC_SIZEALL; break;
    case 6: id = IDC_SIZENESW; break;
    case 7: id = IDC_SIZENS; break;
    case 8: id = IDC_SIZENWSE; break;
    case 9: id = IDC_SIZEWE; break;
    case 10: id = IDC_UPARROW; break;
    case kHourglassPointer: id = IDC_WAIT; break;
    case 12: id = IDC_NO; break;
    case 13: id = IDC_APPSTARTING; break;
    case 14: id = IDC_HELP; break;
    case kCustomPointer:
      // Without a resource of its own a control takes the program's hand.
      if (HANDLE own = LoadImageW(instance_, MAKEINTRESOURCEW(resource ? resource : kHandCursorResource), IMAGE_CURSOR,
                                  0, 0, LR_DEFAULTSIZE | LR_SHARED))
        return static_cast<HCURSOR>(own);
      id = IDC_HAND;
      break;
    default: break;
  }
  return LoadCursorW(nullptr, id);
}

void Win32Platform::set_mouse_pointer(int pointer) {
  application_pointer_ = pointer;
  update_cursor_now();
}

void Win32Platform::update_cursor_now() {
  // Long work runs without messages, so the pointer is set here and now.
  if (application_pointer_ != 0) {
    SetCursor(cursor(application_pointer_, 0));
    return;
  }
  POINT point;
  if (!GetCursorPos(&point)) return;
  HWND under = WindowFromPoint(point);
  if (!under || !peer_of(under)) return;
  LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace virelta::win32
