// The settings dialog's painted background: a vertical sheen from dark
// blue-black at the edges to pale lavender grey across the middle.
#pragma once

#include "forms/form_layer.h"

namespace virelta::settings_dialog {

// The grey level of row y on a surface H pixels high: |sin(y / (H / 3.142))|
// times 220, rounded half to even.
int sheen_level(int y, double height);

// Paints rows 0 to H (inclusive) of the surface, each one line across its
// width in the colour (c, c, c + 30). The painting stays in the surface's
// persistent picture.
void paint_background(Surface& surface);

}  // namespace virelta::settings_dialog
