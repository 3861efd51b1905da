// Input and shutdown of the saver window: a click or any key ends it; on the
// 9x family, in saver mode, the system's screen-saver password comes first.
#include "startup/virelta_b.h"
#include "saver/virelta_s.h"

namespace virelta::saver {

namespace {
constexpr unsigned kSetScreenSaveActive = 17;  // SPI_SETSCREENSAVEACTIVE
}  // namespace

void Virelta_S::Display_Click() { EndSaver(); }

void Virelta_S::Form_KeyDown(int KeyCode, int Shift) {
  (void)KeyCode;
  (void)Shift;
  EndSaver();
}

void Virelta_S::EndSaver() {
  Platform& p = platform();
  bool saver_mode = false;
  on_error_resume_next([&] { saver_mode = mode_switch(p.command_line()) == 'S'; });

  // The 9x family guards a saver the system started with its password.
  bool nt = true;
  on_error_resume_next([&] { nt = IsWindowsNT(); });
  if (saver_mode && !nt) {
    on_error_resume_next([&] { p.system().show_cursor(true); });
    std::optional<bool> may_end;
    on_error_resume_next([&] { may_end = p.system().verify_screen_save_password(form.handle()); });
    // A service that cannot be reached asks for nothing: the saver ends, as
    // when no password is set.
    if (may_end && !*may_end) {
      on_error_resume_next([&] { p.system().show_cursor(false); });
      return;
    }
  }

  // The system keys and the pointer back for the user.
  if (saver_mode) {
    on_error_resume_next([&] { AllowSystemKeys(true); });
    on_error_resume_next([&] { p.system().show_cursor(true); });
  }

  // Screen saving stays switched on in the system settings.
  on_error_resume_next([&] { p.system().system_parameters_info(kSetScreenSaveActive, 1); });

  on_error_resume_next([&] { form.unload(); });

  // The program ends here. This also abandons the cycle this handler was reached from.
  p.end_program(0);
}

}  // namespace virelta::saver
