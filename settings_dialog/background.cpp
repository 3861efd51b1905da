#include "settings_dialog/background.h"

#include <cmath>

namespace virelta::settings_dialog {

int sheen_level(int y, double height) {
  double k = height / 3.142;
  return static_cast<int>(round_half_even(std::fabs(std::sin(y / k)) * 220.0));
}

void paint_background(Surface& surface) {
  double height = surface.height();
  int width = surface.width();
  int last_row = static_cast<int>(round_half_even(height));
  Image& image = surface.image();
  for (int y = 0; y <= last_row; ++y) {
    int c = sheen_level(y, height);
    image.draw_line(0, y, width, y, pixel_from_colour(rgb(c, c, c + 30)));
  }
  surface.refresh();
}

}  // namespace virelta::settings_dialog
