#include "platforms/win32/wallpaper_layout.h"

#include <algorithm>
#include <cmath>

namespace virelta {

WallpaperStyle wallpaper_style_from_registry(int style, int tile) {
  switch (style) {
    case 0: return tile == 1 ? WallpaperStyle::Tile : WallpaperStyle::Center;
    case 2: return WallpaperStyle::Stretch;
    case 6: return WallpaperStyle::Fit;
    case 10: return WallpaperStyle::Fill;
    case 22: return WallpaperStyle::Span;
    default: return WallpaperStyle::Center;
  }
}

void draw_scaled(Image& target, const Image& picture, const Rect& to) {
  if (picture.empty() || to.empty()) return;
  Rect clipped = intersect(to, target.bounds());
  const double sx = static_cast<double>(picture.width()) / to.width;
  const double sy = static_cast<double>(picture.height()) / to.height;
  for (int y = clipped.top; y < clipped.bottom(); ++y) {
    double fy = std::clamp((y - to.top + 0.5) * sy - 0.5, 0.0, picture.height() - 1.0);
    int y0 = static_cast<int>(fy), y1 = std::min(y0 + 1, picture.height() - 1);
    double dy = fy - y0;
    std::uint32_t* out = target.row(y);
    for (int x = clipped.left; x < clipped.right(); ++x) {
      double fx = std::clamp((x - to.left + 0.5) * sx - 0.5, 0.0, picture.width() - 1.0);
      int x0 = static_cast<int>(fx), x1 = std::min(x0 + 1, picture.width() - 1);
      double dx = fx - x0;
      std::uint32_t value = 0;
      for (int shift : {0, 8, 16}) {
        auto c = [&](int px, int py) { return static_cast<double>((picture.at(px, py) >> shift) & 0xFF); };
        double top = c(x0, y0) + (c(x1, y0) - c(x0, y0)) * dx;
        double bottom = c(x0, y1) + (c(x1, y1) - c(x0, y1)) * dx;
        value |= static_cast<std::uint32_t>(std::lround(top + (bottom - top) * dy)) << shift;
      }
      out[x] = value;
    }
  }
}

namespace {

void lay_out_on(Image& desktop, const Rect& area, const Image& wallpaper, WallpaperStyle style) {
  const int w = wallpaper.width(), h = wallpaper.height();
  switch (style) {
    case WallpaperStyle::Center: {
      Rect to{area.left + (area.width - w) / 2, area.top + (area.height - h) / 2, w, h};
      Rect visible = intersect(to, area);
      desktop.copy_from(wallpaper, visible.left - to.left, visible.top - to.top, visible.width, visible.height,
                        visible.left, visible.top);
      break;
    }
    case WallpaperStyle::Tile:
      for (int y = area.top; y < area.bottom(); y += h)
        for (int x = area.left; x < area.right(); x += w)
          desktop.copy_from(wallpaper, 0, 0, std::min(w, area.right() - x), std::min(h, area.bottom() - y), x, y);
      break;
    case WallpaperStyle::Stretch:
      draw_scaled(desktop, wallpaper, area);
      break;
    case WallpaperStyle::Fit:
    case WallpaperStyle::Fill:
    case WallpaperStyle::Span: {
      // Fit: the whole picture inside the area; Fill and Span: the area covered.
      double scale_x = static_cast<double>(area.width) / w, scale_y = static_cast<double>(area.height) / h;
      double scale = style == WallpaperStyle::Fit ? std::min(scale_x, scale_y) : std::max(scale_x, scale_y);
      int sw = std::max(1, static_cast<int>(std::lround(w * scale)));
      int sh = std::max(1, static_cast<int>(std::lround(h * scale)));
      Rect to{area.left + (area.width - sw) / 2, area.top + (area.height - sh) / 2, sw, sh};
      // Draw only inside the area (a covering picture must not spill onto
      // the next monitor).
      Rect inside = intersect(to, area);
      Image scaled(sw, sh);
      draw_scaled(scaled, wallpaper, scaled.bounds());
      desktop.copy_from(scaled, inside.left - to.left, inside.top - to.top, inside.width, inside.height,
                        inside.left, inside.top);
      break;
    }
  }
}

}  // namespace

void lay_out_wallpaper(Image& desktop, const std::vector<Rect>& monitors, const Image& wallpaper,
                       WallpaperStyle style, std::uint32_t background_pixel) {
  desktop.fill(background_pixel);
  if (wallpaper.empty()) return;
  if (style == WallpaperStyle::Span || monitors.empty()) {
    Rect all{};
    for (const Rect& m : monitors) all = unite(all, m);
    if (all.empty()) all = desktop.bounds();
    lay_out_on(desktop, all, wallpaper, style == WallpaperStyle::Span ? WallpaperStyle::Fill : style);
    return;
  }
  for (const Rect& m : monitors) lay_out_on(desktop, m, wallpaper, style);
}

}  // namespace virelta
