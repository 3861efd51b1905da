#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace vtest {

// Top-level windows whose caption is exactly `caption` (case and all), in
// z-order. "#123" names the window with handle 123 instead, if it exists.
std::vector<HWND> find_windows(const std::wstring& caption);

// Polls find_windows until its emptiness equals `want_found` or `wait_ms`
// has passed; returns the last result.
std::vector<HWND> wait_for_windows(const std::wstring& caption, bool want_found, DWORD wait_ms);

std::wstring window_text(HWND window);

}  // namespace vtest
