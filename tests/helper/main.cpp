// vtest-helper: looks at windows from inside Wine for the end-to-end tests, and
// plays the display settings' preview box. Output is UTF-8 written straight to
// the handle: no buffering (the host's line must reach a reader while it runs)
// and no code-page conversion.
#include <windows.h>
#include <shellapi.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] = "usage: vtest-helper find|gone CAPTION [--wait MS] | tree CAPTION | list | close CAPTION "
                          "| host [--destroy-after MS] W H | access CAPTION   (CAPTION: exact, or #HWND)\n";

std::string utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

void print(const std::string& text, DWORD which = STD_OUTPUT_HANDLE) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Window handles are 32-bit values in 32- and 64-bit programs alike.
std::string handle(HWND window) {
  return std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window) & 0xFFFFFFFFu));
}

std::wstring text_of(HWND window) {
  // A time-out: a hung window must not hang the tests.
  DWORD_PTR length = 0, copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           2000, &copied))
    return {};
  text.resize(copied < length ? copied : length);
  return text;
}

std::string json(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : utf8(text)) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
    out += c == '"' || c == '\\' ? std::string("\\") + static_cast<char>(c) : c < 0x20 ? escaped : std::string(1, c);
  }
  return out + "\"";
}

// Each accessible child of the window's client area as a screen reader hears
// it: name, role, checked, focused, value (JSON lines).
int print_accessible(HWND window) {
  // IAccessible spelled out: MinGW's import library links its symbol to a thunk.
  constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                        reinterpret_cast<void**>(&object))) || !object)
    return print("no accessible object\n", STD_ERROR_HANDLE), 1;
  auto text = [](HRESULT hr, BSTR b) {
    std::string out = hr == S_OK && b ? json(b) : "null";
    SysFreeString(b);
    return out;
  };
  long count = 0;
  object->get_accChildCount(&count);
  for (long i = 1; i <= count; ++i) {
    VARIANT child, role, state;
    VariantInit(&child);
    VariantInit(&role);
    VariantInit(&state);
    child.vt = VT_I4;
    child.lVal = i;
    BSTR name = nullptr, value = nullptr;
    const HRESULT named = object->get_accName(child, &name), valued = object->get_accValue(child, &value);
    object->get_accRole(child, &role);
    object->get_accState(child, &state);
    const long r = role.vt == VT_I4 ? role.lVal : 0, bits = state.vt == VT_I4 ? state.lVal : 0;
    const char* role_name = r == ROLE_SYSTEM_PUSHBUTTON ? "push button" : r == ROLE_SYSTEM_CHECKBUTTON ? "check box"
                          : r == ROLE_SYSTEM_SPINBUTTON ? "spin button" : r == ROLE_SYSTEM_LINK ? "link" : "other";
    print("{\"name\":" + text(named, name) + ",\"role\":\"" + role_name + "\",\"checked\":" +
          ((bits & STATE_SYSTEM_CHECKED) ? "true" : "false") + ",\"focused\":" +
          ((bits & STATE_SYSTEM_FOCUSED) ? "true" : "false") + ",\"value\":" + text(valued, value) + "}\n");
  }
  object->Release();
  CoUninitialize();
  return count > 0 ? 0 : 1;
}

struct Search {
  const std::wstring* caption;
  std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  if (*search->caption == text) search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> find_windows(const std::wstring& caption) {
  if (caption.size() > 1 && caption[0] == L'#') {
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::wcstoul(caption.c_str() + 1, nullptr, 10)));
    return IsWindow(window) ? std::vector<HWND>{window} : std::vector<HWND>{};
  }
  // FindWindowW ignores case; the tests want the exact caption.
  Search search{&caption, {}};
  EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string describe(HWND window, int depth) {
  wchar_t class_name[256] = L"";
  GetClassNameW(window, class_name, 256);
  RECT r{}, client{};
  GetWindowRect(window, &r);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HWND parent = GetAncestor(window, GA_PARENT);
  auto n = [](long v) { return std::to_string(v); };
  return "{\"hwnd\":" + handle(window) + ",\"parent\":" + handle(parent == GetDesktopWindow() ? nullptr : parent) +
         ",\"owner\":" + handle(GetWindow(window, GW_OWNER)) + ",\"depth\":" + n(depth) + ",\"class\":" +
         json(class_name) + ",\"text\":" + json(text_of(window)) + ",\"id\":" +
         n(static_cast<long>(GetWindowLongPtrW(window, GWLP_ID))) + ",\"rect\":[" + n(r.left) + "," + n(r.top) + "," +
         n(r.right) + "," + n(r.bottom) + "],\"client_origin\":[" + n(origin.x) + "," + n(origin.y) +
         "],\"client_size\":[" + n(client.right) + "," + n(client.bottom) + "],\"visible\":" +
         (IsWindowVisible(window) ? "true" : "false") + "}\n";
}

void print_tree(HWND window, int depth) {
  print(describe(window, depth));
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    print_tree(child, depth + 1);
}

bool stay_after_destroy = false;

LRESULT CALLBACK host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER) return KillTimer(window, 1), DestroyWindow(window), 0;
  if (message == WM_DESTROY) {
    print("destroyed\n");
    if (!stay_after_destroy) PostQuitMessage(0);
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

BOOL CALLBACK list_one(HWND window, LPARAM) { return print(describe(window, 0)), TRUE; }

int host(int width, int height, int destroy_after_ms) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = host_procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = L"vtest-host";
  RegisterClassW(&window_class);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window = CreateWindowExW(0, L"vtest-host", L"vtest-host", style, 100, 100, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, window_class.hInstance, nullptr);
  if (!window) return print("host: cannot create the window\n", STD_ERROR_HANDLE), 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  stay_after_destroy = destroy_after_ms >= 0;
  if (stay_after_destroy) SetTimer(window, 1, static_cast<UINT>(destroy_after_ms), nullptr);
  print(handle(window) + "\n");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

int run(std::vector<std::wstring> args) {
  // "--name VALUE" options come out first; -1 where absent.
  auto option = [&](const wchar_t* name) {
    auto at = std::find(args.begin(), args.end(), name);
    const int value = at != args.end() && at + 1 != args.end() ? _wtoi(at[1].c_str()) : -1;
    if (value != -1) args.erase(at, at + 2);
    return value;
  };
  const std::wstring command = args.empty() ? L"" : args[0];
  const int wait_ms = option(L"--wait"), destroy_after = option(L"--destroy-after");
  const size_t count = args.size() - (args.empty() ? 0 : 1);
  if ((command == L"find" || command == L"gone") && count == 1) {
    const bool want = command == L"find";
    const DWORD start = GetTickCount();
    std::vector<HWND> found;
    while ((found = find_windows(args[1])).empty() == want && static_cast<int>(GetTickCount() - start) < wait_ms)
      Sleep(20);
    if (want)
      for (HWND window : found) print(handle(window) + "\n");
    return found.empty() == want ? 1 : 0;
  }
  if (command == L"list" && count == 0) return EnumWindows(list_one, 0), 0;
  if (command == L"host" && count == 2) return host(_wtoi(args[1].c_str()), _wtoi(args[2].c_str()), destroy_after);
  const std::vector<HWND> found = count >= 1 ? find_windows(args[1]) : std::vector<HWND>{};
  if (count >= 1 && found.empty()) return print("no window \"" + utf8(args[1]) + "\"\n", STD_ERROR_HANDLE), 1;
  if (command == L"tree" && count == 1) return print_tree(found[0], 0), 0;
  if (command == L"access" && count == 1) return print_accessible(found[0]);
  if (command == L"close" && count == 1)
    for (HWND window : found) PostMessageW(window, WM_CLOSE, 0, 0);
  return command == L"close" && count == 1 ? 0 : (print(kUsage, STD_ERROR_HANDLE), 2);
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args(argv + 1, argv + count);
  LocalFree(argv);
  return run(std::move(args));
}
