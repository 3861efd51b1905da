// Xlib and its shared-memory extension, without the macros whose names the
// program's own headers use (None, True, False, Bool, Status).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#undef None
#undef True
#undef False
#undef Bool
#undef Status

namespace virelta::x11 {

// Errors the server reports are counted instead of ending the program: a
// window that goes away under it, or a picture the server cannot give, shows
// up as an error on the request that needed it.
inline int& x_error_count() {
  static int count = 0;
  return count;
}
inline int count_x_error(::Display*, XErrorEvent*) {
  ++x_error_count();
  return 0;
}

}  // namespace virelta::x11
