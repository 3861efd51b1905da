// The stored properties of the settings dialog's two buttons, as kept with
// the dialog's layout: only a caption and a font (the rest at the button's
// defaults). The dialog reads them into Cmd_Set and Cmd_Can when it is built.
#pragma once

#include <string_view>

#include "controls/property_bag.h"

namespace virelta {

// For "Cmd_Set" and "Cmd_Can"; an empty bag for any other name.
PropertyBag stored_button_properties(std::string_view control_name);

}  // namespace virelta
