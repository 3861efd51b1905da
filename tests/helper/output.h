#pragma once
// Text output of the helper: UTF-8 bytes straight to the standard handles, so
// the caller reads the same bytes whatever the console code page is.
#include <windows.h>
#include <string>
#include <string_view>

namespace vtest {

std::string to_utf8(std::wstring_view text);
void print(std::string_view utf8);        // to standard output
void print_error(std::string_view utf8);  // to standard error
std::string json_string(std::wstring_view text);
std::string handle_text(HWND window);     // decimal, as other programs take it on their command line

}  // namespace vtest
