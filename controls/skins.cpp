#include "controls/skins.h"

#include "controls/skin_design.h"

namespace virelta {

namespace {

std::uint32_t pixel(Rgb c) {
  return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}

std::uint8_t mix_channel(int a, int b, int weight_b, int total) {
  return static_cast<std::uint8_t>((a * (total - weight_b) + b * weight_b + total / 2) / total);
}

Rgb mix(Rgb a, Rgb b, int weight_b, int total) {
  return {mix_channel(a.r, b.r, weight_b, total), mix_channel(a.g, b.g, weight_b, total),
          mix_channel(a.b, b.b, weight_b, total)};
}

Rgb unpack(std::uint32_t p) {
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

// The ramp's colour at row `y` of the span first..last.
Rgb along(const Ramp& ramp, int y, int first, int last) {
  if (last <= first) return ramp.from;
  return mix(ramp.from, ramp.to, y - first, last - first);
}

const SkinDesign& design_of(SkinName skin) {
  switch (skin) {
    case SkinName::HighLight:
    case SkinName::HighLightSelect: return skin_colours::kHighLight;
    case SkinName::Pressed: return skin_colours::kPressed;
    case SkinName::Disable: return skin_colours::kDisable;
    case SkinName::Selected: return skin_colours::kSelected;
    case SkinName::Normal: break;
  }
  return skin_colours::kNormal;
}

}  // namespace

std::string_view skin_name_text(SkinName skin) {
  switch (skin) {
    case SkinName::HighLight: return "HighLight";
    case SkinName::Pressed: return "Pressed";
    case SkinName::Disable: return "Disable";
    case SkinName::HighLightSelect: return "HighLightSelect";
    case SkinName::Selected: return "Selected";
    case SkinName::Normal: break;
  }
  return "Normal";
}

Image draw_skin(SkinName skin) {
  const SkinDesign& d = design_of(skin);
  constexpr int w = kSkinWidth, h = kSkinHeight;
  Image picture(w, h);
  const int shift = d.sunk ? 1 : 0;
  const int left = 1 + shift, top = 1 + shift, right = w - 2 + shift, bottom = h - 2 + shift;
  auto put = [&](int x, int y, Rgb c) { picture.at(x, y) = pixel(c); };

  for (int y = 0; y < h; ++y) {
    Rgb ring = along(d.ring, y, 0, h - 1);
    Rgb face = along(d.face, y, top + 3, bottom - 3);
    for (int x = 0; x < w; ++x) {
      bool outside = x < left || x > right || y < top || y > bottom;
      put(x, y, outside ? ring : face);
    }
  }
  for (int x = left; x <= right; ++x) {
    put(x, top, d.border);
    put(x, bottom, d.border);
  }
  for (int y = top; y <= bottom; ++y) {
    put(left, y, d.border);
    put(right, y, d.border);
  }
  for (int i = 0; i < 2; ++i) {
    for (int x = left + 1; x <= right - 1; ++x) {
      put(x, top + 1 + i, d.top[i]);
      put(x, bottom - 1 - i, d.bottom[i]);
    }
    for (int y = top + 3; y <= bottom - 3; ++y) {
      put(left + 1 + i, y, along(d.left[i], y, top + 3, bottom - 3));
      put(right - 1 - i, y, along(d.right[i], y, top + 3, bottom - 3));
    }
  }
  // Rounded corners: the border's corner pixel half into the ring, the accent
  // pixel diagonally inside it a quarter into the border.
  const int corner_x[2] = {left, right}, corner_y[2] = {top, bottom};
  for (int cx : corner_x) {
    for (int cy : corner_y) {
      Rgb ring = along(d.ring, cy, 0, h - 1);
      put(cx, cy, mix(d.border, ring, 1, 2));
      int ix = cx == left ? cx + 1 : cx - 1, iy = cy == top ? cy + 1 : cy - 1;
      put(ix, iy, mix(unpack(picture.at(ix, iy)), d.border, 1, 4));
    }
  }
  return picture;
}

const Image& skin_picture(SkinName skin) {
  static const std::array<Image, kAllSkins.size()> pictures = [] {
    std::array<Image, kAllSkins.size()> drawn;
    for (std::size_t i = 0; i < kAllSkins.size(); ++i) drawn[i] = draw_skin(kAllSkins[i]);
    return drawn;
  }();
  return pictures[static_cast<std::size_t>(skin)];
}

}  // namespace virelta
