// vtest-helper: looks at windows from inside Wine for the end-to-end tests.
// Captions arrive as UTF-8 on the Unix command line; Wine hands them to us as
// UTF-16, so they are compared as wide strings.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "commands.h"
#include "output.h"
#include "window_lookup.h"

namespace {

constexpr char usage[] =
    "usage: vtest-helper COMMAND ...   (CAPTION is an exact window caption, or #HWND)\n"
    "  find CAPTION [--wait MS]     print the handle of each top-level window so titled; exit 1 if none\n"
    "  gone CAPTION [--wait MS]     exit 0 once no such window exists, 1 if one still does\n"
    "  tree CAPTION                 the window and all its descendants, one JSON object a line\n"
    "  list                         every top-level window, one JSON object a line\n"
    "  close CAPTION                post WM_CLOSE to each such window\n"
    "  capture CAPTION OUT.bmp      the screen pixels of the window's client area, 24-bit BMP\n"
    "  host [--destroy-after MS] [--at X Y] W H\n"
    "                               show a window \"vtest-host\" with a WxH client area, print its\n"
    "                               handle, run until closed (or destroy it after MS and stay)\n"
    "  cursor                       print the mouse position as \"X Y\"\n"
    "  access CAPTION               each accessible child: name, role, checked, focused, value (JSON lines)\n";

constexpr int exit_usage = 2;

// Removes "--name VALUE..." (count values) from args; returns the values or empty.
std::vector<std::wstring> take_option(std::vector<std::wstring>& args, const wchar_t* name, size_t count) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name && i + count < args.size()) {
      std::vector<std::wstring> values(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                       args.begin() + static_cast<std::ptrdiff_t>(i + count) + 1);
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                 args.begin() + static_cast<std::ptrdiff_t>(i + count) + 1);
      return values;
    }
  }
  return {};
}

bool parse_int(const std::wstring& text, int& value) {
  wchar_t* end = nullptr;
  const long parsed = std::wcstol(text.c_str(), &end, 10);
  if (text.empty() || *end != L'\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

int wait_option(std::vector<std::wstring>& args) {
  const auto values = take_option(args, L"--wait", 1);
  int wait_ms = 0;
  if (!values.empty() && !parse_int(values[0], wait_ms)) wait_ms = 0;
  return wait_ms;
}

HWND first_window(const std::wstring& caption) {
  const auto found = vtest::find_windows(caption);
  if (found.empty()) {
    vtest::print_error("no window \"" + vtest::to_utf8(caption) + "\"\n");
    return nullptr;
  }
  return found.front();
}

int run(std::vector<std::wstring> args) {
  if (args.empty()) {
    vtest::print_error(usage);
    return exit_usage;
  }
  const std::wstring command = args.front();
  args.erase(args.begin());

  if (command == L"find" || command == L"gone") {
    const bool want_found = command == L"find";
    const int wait_ms = wait_option(args);
    if (args.size() != 1) return vtest::print_error(usage), exit_usage;
    const auto found = vtest::wait_for_windows(args[0], want_found, static_cast<DWORD>(wait_ms));
    if (want_found) {
      for (HWND window : found) vtest::print(vtest::handle_text(window) + "\n");
    }
    return found.empty() == want_found ? 1 : 0;
  }
  if (command == L"tree") {
    if (args.size() != 1) return vtest::print_error(usage), exit_usage;
    HWND window = first_window(args[0]);
    return window ? vtest::print_tree(window) : 1;
  }
  if (command == L"list") {
    if (!args.empty()) return vtest::print_error(usage), exit_usage;
    return vtest::print_top_level_windows();
  }
  if (command == L"close") {
    if (args.size() != 1) return vtest::print_error(usage), exit_usage;
    const auto found = vtest::find_windows(args[0]);
    for (HWND window : found) PostMessageW(window, WM_CLOSE, 0, 0);
    return found.empty() ? 1 : 0;
  }
  if (command == L"capture") {
    if (args.size() != 2) return vtest::print_error(usage), exit_usage;
    HWND window = first_window(args[0]);
    return window ? vtest::capture_client(window, args[1]) : 1;
  }
  if (command == L"host") {
    vtest::HostOptions options;
    const auto destroy = take_option(args, L"--destroy-after", 1);
    if (!destroy.empty() && !parse_int(destroy[0], options.destroy_after_ms)) return exit_usage;
    const auto at = take_option(args, L"--at", 2);
    if (!at.empty() && !(parse_int(at[0], options.x) && parse_int(at[1], options.y))) return exit_usage;
    if (args.size() != 2 || !parse_int(args[0], options.client_width) ||
        !parse_int(args[1], options.client_height)) {
      return vtest::print_error(usage), exit_usage;
    }
    return vtest::run_host(options);
  }
  if (command == L"access") {
    if (args.size() != 1) return vtest::print_error(usage), exit_usage;
    HWND window = first_window(args[0]);
    return window ? vtest::print_accessible(window) : 1;
  }
  if (command == L"cursor") {
    POINT point{};
    if (!GetCursorPos(&point)) return 1;
    vtest::print(std::to_string(point.x) + " " + std::to_string(point.y) + "\n");
    return 0;
  }
  vtest::print_error(usage);
  return exit_usage;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; argv != nullptr && i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return run(std::move(args));
}
