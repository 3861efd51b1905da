// VireltaLab.exe: the Effects Lab's window on the Win32 form layer, with a
// menu bar built from the lab's menu, a status line, and the argument dialog.
#include <windows.h>

#include <ole2.h>

#include <optional>
#include <string>

#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"
#include "lab/effects_lab.h"
#include "lab_resources.h"

using namespace virelta;
using virelta::win32::narrow;
using virelta::win32::widen;

namespace {

constexpr int kStatusId = 100;
lab::EffectsLab* the_lab = nullptr;
WNDPROC form_procedure = nullptr;

HMENU build_menu(const std::vector<lab::MenuItem>& items, bool bar) {
  HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
  for (const auto& item : items) {
    if (!item.children.empty())
      AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(build_menu(item.children, false)),
                  widen(item.caption).c_str());
    else if (item.caption.empty())
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), widen(item.caption).c_str());
  }
  return menu;
}

struct ArgumentRequest {
  const lab::EffectMember* member;
  std::wstring text;
};

INT_PTR CALLBACK arguments_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* request = reinterpret_cast<ArgumentRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      request = reinterpret_cast<ArgumentRequest*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      SetWindowTextW(dialog, widen(request->member->member).c_str());
      SetDlgItemTextW(dialog, IDC_SIGNATURE, widen(request->member->signature).c_str());
      SetDlgItemTextW(dialog, IDC_HINT, widen(request->member->hint).c_str());
      SetDlgItemTextW(dialog, IDC_ARGUMENTS, request->text.c_str());
      HWND edit = GetDlgItem(dialog, IDC_ARGUMENTS);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        HWND edit = GetDlgItem(dialog, IDC_ARGUMENTS);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        request->text = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

std::optional<std::string> ask_arguments(HWND owner, const lab::EffectMember& member, const std::string& initial) {
  ArgumentRequest request{&member, widen(initial)};
  INT_PTR answer = DialogBoxParamW(win32::win32_platform().instance(), MAKEINTRESOURCEW(IDD_ARGUMENTS), owner,
                                   arguments_procedure, reinterpret_cast<LPARAM>(&request));
  if (answer != IDOK) return std::nullopt;
  return narrow(request.text);
}

// The form's own procedure, with the menu's commands and check marks first.
LRESULT CALLBACK frame_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND && HIWORD(wparam) == 0 && lparam == 0 && the_lab) {
    auto command = static_cast<lab::Command>(LOWORD(wparam));
    win32::win32_platform().guarded([&] { the_lab->run(command); });
    return 0;
  }
  if (message == WM_INITMENUPOPUP && the_lab) {
    auto menu = reinterpret_cast<HMENU>(wparam);
    UINT id = static_cast<UINT>(lab::Command::AutoDraw);
    CheckMenuItem(menu, id, MF_BYCOMMAND | (the_lab->checked(lab::Command::AutoDraw) ? MF_CHECKED : MF_UNCHECKED));
  }
  return CallWindowProcW(form_procedure, window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  OleInitialize(nullptr);
  win32::Win32Platform platform(instance);
  set_platform(&platform);
  platform.guarded([&] {
    // Lives until the process ends (the platform's End does not unwind).
    auto& lab = *new lab::EffectsLab;
    the_lab = &lab;
    HWND frame = reinterpret_cast<HWND>(lab.form().handle());
    // The menu bar comes before the window is sized, so that the client
    // area below it still holds the box and the status line.
    SetMenu(frame, build_menu(lab::menu_bar(), true));
    form_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frame_procedure)));
    lab.ask_arguments = [frame](const lab::EffectMember& member, const std::string& initial) {
      return ask_arguments(frame, member, initial);
    };
    lab.start(platform.command_line());
    HWND status = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_SUNKEN, 0,
                                  lab.box().height(), lab.box().width(), lab::kStatusHeight, frame,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), instance, nullptr);
    SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    auto show_status = [status] { SetWindowTextW(status, widen(the_lab->status()).c_str()); };
    lab.on_status = show_status;
    show_status();
  });
  if (!platform.forms().empty()) platform.run();
  platform.end_program(0);
}
