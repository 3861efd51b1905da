// The entry start-up uses to show the settings dialog.
#pragma once

namespace virelta::settings_dialog {

// Shows the settings dialog modally; returns when it has closed.
void show_settings_window();

}  // namespace virelta::settings_dialog
