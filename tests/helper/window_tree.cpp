#include "commands.h"
#include "output.h"
#include "window_lookup.h"

namespace vtest {

static std::string json_bool(bool value) { return value ? "true" : "false"; }

static std::string window_line(HWND window, int depth) {
  wchar_t class_name[256] = L"";
  GetClassNameW(window, class_name, 256);
  RECT rect{};
  GetWindowRect(window, &rect);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent == GetDesktopWindow()) parent = nullptr;

  std::string line = "{\"hwnd\":" + handle_text(window);
  line += ",\"parent\":" + handle_text(parent);
  line += ",\"owner\":" + handle_text(GetWindow(window, GW_OWNER));
  line += ",\"depth\":" + std::to_string(depth);
  line += ",\"class\":" + json_string(class_name);
  line += ",\"text\":" + json_string(window_text(window));
  line += ",\"id\":" + std::to_string(GetWindowLongPtrW(window, GWLP_ID));
  line += ",\"style\":" + std::to_string(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
  line += ",\"exstyle\":" + std::to_string(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
  line += ",\"rect\":[" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
          std::to_string(rect.right) + "," + std::to_string(rect.bottom) + "]";
  line += ",\"client_origin\":[" + std::to_string(origin.x) + "," + std::to_string(origin.y) + "]";
  line += ",\"client_size\":[" + std::to_string(client.right) + "," + std::to_string(client.bottom) + "]";
  line += ",\"visible\":" + json_bool(IsWindowVisible(window) != FALSE);
  line += ",\"enabled\":" + json_bool(IsWindowEnabled(window) != FALSE);
  return line + "}\n";
}

static void print_subtree(HWND window, int depth) {
  print(window_line(window, depth));
  // Children in z-order, top first, each followed by its own descendants.
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    print_subtree(child, depth + 1);
  }
}

int print_tree(HWND root) {
  print_subtree(root, 0);
  return 0;
}

static BOOL CALLBACK print_one(HWND window, LPARAM) {
  print(window_line(window, 0));
  return TRUE;
}

int print_top_level_windows() {
  EnumWindows(print_one, 0);
  return 0;
}

}  // namespace vtest
