#include "output.h"

#include <cstdio>

namespace vtest {

std::string to_utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

static void write_to(DWORD which, std::string_view bytes) {
  // WriteFile rather than stdio: no buffering (the host's line must reach a
  // reader while the helper keeps running) and no code-page conversion.
  HANDLE out = GetStdHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void print(std::string_view utf8) { write_to(STD_OUTPUT_HANDLE, utf8); }
void print_error(std::string_view utf8) { write_to(STD_ERROR_HANDLE, utf8); }

std::string json_string(std::wstring_view text) {
  std::string out = "\"";
  for (char c : to_utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string handle_text(HWND window) {
  // Window handles are 32-bit values on both 32- and 64-bit Windows.
  return std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window) & 0xFFFFFFFFu));
}

}  // namespace vtest
