// The common dialogs: picture file open and save, and the colour picker.
#include <windows.h>

#include <commdlg.h>

#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

std::optional<std::string> Win32Platform::file_dialog(const FileDialogRequest& request) {
  // Description and pattern pieces, each ended by a NUL; the text's own end
  // closes the list with the second NUL.
  std::wstring filter;
  for (const auto& [description, patterns] : request.filters) {
    filter += widen(description);
    filter += L'\0';
    filter += widen(patterns);
    filter += L'\0';
  }
  std::wstring title = widen(request.title);
  std::vector<wchar_t> file(1024, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = reinterpret_cast<HWND>(request.owner);
  dialog.hInstance = instance_;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.Flags = 0;
  BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return narrow(file.data());
}

std::optional<std::uint32_t> Win32Platform::choose_colour(std::uint32_t (&custom_colours)[16], std::uintptr_t owner) {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = custom_colours[i];
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = reinterpret_cast<HWND>(owner);
  dialog.hInstance = reinterpret_cast<HWND>(instance_);
  dialog.lpCustColors = custom;
  dialog.Flags = 0;
  if (!ChooseColorW(&dialog)) return std::nullopt;
  for (int i = 0; i < 16; ++i) custom_colours[i] = custom[i];
  return static_cast<std::uint32_t>(dialog.rgbResult);
}

}  // namespace virelta::win32
