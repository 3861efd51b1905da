#include "settings_dialog/marks.h"

namespace virelta::settings_dialog {

namespace {
constexpr int kSize = 12;

Image make_mark(std::uint32_t border, std::uint32_t face) {
  Image mark(kSize, kSize, pixel_from_colour(face));
  mark.draw_frame({0, 0, kSize, kSize}, pixel_from_colour(border));
  return mark;
}
}  // namespace

const Image& unchecked_mark() {
  static const Image mark = make_mark(rgb(0x80, 0x80, 0x80), rgb(0xF4, 0xF4, 0xF4));
  return mark;
}

const Image& checked_mark() {
  static const Image mark = [] {
    Image m = make_mark(rgb(0x10, 0x30, 0x90), rgb(0x28, 0x5A, 0xD8));
    // A lighter inner edge, so the mark reads as a lit square.
    m.draw_frame({1, 1, kSize - 2, kSize - 2}, pixel_from_colour(rgb(0x50, 0x82, 0xF0)));
    return m;
  }();
  return mark;
}

}  // namespace virelta::settings_dialog
