#include "settings_dialog/settings_entry.h"

#include "settings_dialog/virelta_p.h"

namespace virelta::settings_dialog {

void show_settings_window() {
  Virelta_P dialog;
  dialog.show_modal();
}

}  // namespace virelta::settings_dialog
