// Virelta.scr: installs the Win32 platform, runs start-up with the windows
// that serve the modes, then the message loop until the last window is gone.
#include <windows.h>

#include <ole2.h>

#include "startup/virelta_b.h"
#include "platforms/win32/win32_platform.h"
#include "saver/saver_entry.h"
#include "settings_dialog/settings_entry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  OleInitialize(nullptr);
  virelta::win32::Win32Platform platform(instance);
  virelta::set_platform(&platform);

  virelta::ModeWindows windows;
  windows.show_settings = [] { virelta::settings_dialog::show_settings_window(); };
  windows.load_saver = [] { virelta::saver::load_saver_window(); };
  windows.show_preview = [](const std::string& command_line) { virelta::saver::show_preview_window(command_line); };

  platform.guarded([&] { virelta::Main(windows); });
  if (!platform.forms().empty()) platform.run();
  // Ends here, like the run-time does, before windows held by the program's
  // modules could outlive the platform.
  platform.end_program(0);
}
