// The program keeps text as UTF-8; every system call takes UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace virelta::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace virelta::win32
