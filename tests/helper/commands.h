#pragma once
// The helper's subcommands; each returns the process exit code.
#include <windows.h>
#include <string>

namespace vtest {

int print_tree(HWND root);
int print_top_level_windows();
int capture_client(HWND window, const std::wstring& bmp_path);
// Each accessible child of the window's client area, one JSON object a line.
int print_accessible(HWND window);

struct HostOptions {
  int client_width = 0;
  int client_height = 0;
  int x = 100;
  int y = 100;
  int destroy_after_ms = -1;  // < 0: live until closed
};
int run_host(const HostOptions& options);

}  // namespace vtest
