// Placeholder settings dialog: the right caption, shown modally.
#include "settings_dialog/settings_entry.h"

#include "app/form_layer.h"
#include "app/virelta_b.h"

namespace virelta::settings_dialog {

void show_settings_window() {
  Window w("Virelta_P");
  w.set_caption(kSettingsCaption);
  w.border = BorderStyle::FixedSingle;
  w.min_button = w.max_button = false;
  w.show_in_taskbar = false;
  w.set_client_size(pixels_from_twips_x(6780), pixels_from_twips_y(3660));
  w.show_modal();
}

}  // namespace virelta::settings_dialog
