// What a screen reader is told of a form: the system's accessibility
// interface (IAccessible, through WM_GETOBJECT) for the form's client area,
// whose children are the form's controls in tab order, each with its name,
// role, state and value as the portable control states them.
#pragma once

#include <windows.h>

#include <memory>

#include "forms/form_layer.h"

namespace virelta::win32 {

// The answer to WM_GETOBJECT for the form's client area (0 for other objects,
// which the system then answers itself).
LRESULT accessible_object(Window& form, HWND hwnd, std::shared_ptr<bool> alive, WPARAM wparam, LPARAM lparam);
// Tells screen readers that the control got the focus.
void announce_focus(const Control& control);

}  // namespace virelta::win32
