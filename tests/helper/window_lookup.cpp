#include "window_lookup.h"

#include <cwchar>

namespace vtest {

std::wstring window_text(HWND window) {
  // A message with a time-out: a hung target must not hang the tests.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(copied < length ? copied : length);
  return text;
}

namespace {

struct Search {
  const std::wstring* caption;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_match(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  // FindWindowW compares without regard to case; the tests want the exact caption.
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  if (*search->caption == text) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> find_windows(const std::wstring& caption) {
  if (caption.size() > 1 && caption[0] == L'#') {
    const auto value = std::wcstoul(caption.c_str() + 1, nullptr, 10);
    const HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
    if (IsWindow(window)) return {window};
    return {};
  }
  Search search{&caption, {}};
  EnumWindows(collect_match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> wait_for_windows(const std::wstring& caption, bool want_found, DWORD wait_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    auto found = find_windows(caption);
    if (found.empty() != want_found) return found;
    if (GetTickCount() - start >= wait_ms) return found;
    Sleep(20);
  }
}

}  // namespace vtest
