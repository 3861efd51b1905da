// The two 12 x 12 mark pictures of the settings dialog: an empty light square
// with a grey border (off) and a square filled with blue (on).
#pragma once

#include "forms/image.h"

namespace virelta::settings_dialog {

const Image& unchecked_mark();
const Image& checked_mark();

}  // namespace virelta::settings_dialog
