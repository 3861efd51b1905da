// Painting of the Command button: the gradient face, then eight pieces of
// the skin (corners at their natural size, edges stretched to the button),
// then the caption label placed over it.
#include <array>
#include <string>

#include "controls/command.h"

namespace virelta {

namespace {

// Twips geometry of the skins: 960 x 375 twips (64 x 25 pixels), frame and
// corners 60 twips (4 pixels) thick.
constexpr double kCorner = 60;
constexpr double kSkinWidth = 960, kSkinHeight = 375;
// The skin pictures keep their own scale whatever the screen's.
constexpr double kSkinTwipsPerPixel = 15;

constexpr char kFaceLight[] = "&HFFFFFF";
constexpr char kFaceShade[] = "&HC6C5D7";

struct TwipsRect {
  double left, top, width, height;
};

// Pieces of the skin in the order they are copied: where on the button,
// and from where on the skin, for a button W x H twips.
struct Piece {
  TwipsRect to;
  TwipsRect from;
};

std::array<Piece, 8> skin_pieces(double w, double h) {
  const double c = kCorner, mid_w = w - 2 * c, mid_h = h - 2 * c;
  const double skin_mid_w = kSkinWidth - 2 * c, skin_mid_h = kSkinHeight - 2 * c;
  const double skin_right = kSkinWidth - c, skin_bottom = kSkinHeight - c;
  return {{
      {{1, 1, c, c}, {0, 0, c, c}},                                 // top-left corner
      {{c, 1, mid_w, c}, {c, 1, skin_mid_w, c}},                    // top edge
      {{w - c, 1, c, c}, {skin_right, 1, c, c}},                    // top-right corner
      {{w - c, c, c, mid_h}, {skin_right, c, c, skin_mid_h}},       // right edge
      {{w - c, h - c, c, c}, {skin_right, skin_bottom, c, c}},      // bottom-right corner
      {{c, h - c, mid_w, c}, {c, skin_bottom, skin_mid_w, c}},      // bottom edge
      {{1, h - c, c, c}, {0, skin_bottom, c, c}},                   // bottom-left corner
      {{1, c, c, mid_h}, {1, c, c, skin_mid_h}},                    // left edge
  }};
}

Rect button_pixels(const TwipsRect& r) {
  return {pixels_from_twips_x(r.left), pixels_from_twips_y(r.top), pixels_from_twips_x(r.width),
          pixels_from_twips_y(r.height)};
}

int skin_pixel(double twips) { return static_cast<int>(round_half_even(twips / kSkinTwipsPerPixel)); }

Rect skin_pixels(const TwipsRect& r) {
  return {skin_pixel(r.left), skin_pixel(r.top), skin_pixel(r.width), skin_pixel(r.height)};
}

// "&HRRGGBB": the six digits read in pairs as red, green and blue.
std::uint32_t face_pixel(std::string_view text) {
  auto channel = [&](std::size_t at) {
    return static_cast<int>(text_to_number("&H" + std::string(text.substr(at, 2))));
  };
  return pixel_from_colour(rgb(channel(2), channel(4), channel(6)));
}

}  // namespace

void Command::PaintSkin(const Image& skin) {
  on_error_resume_next([&] {
    if (button_state_ == 1 || button_state_ == 3) face_reversed_ = false;
    if (button_state_ == 2) face_reversed_ = true;
  });
  const double w = width_twips(), h = height_twips();
  on_error_resume_next([&] { clear(); });
  on_error_resume_next([&] { PaintFace(); });
  for (const Piece& piece : skin_pieces(w, h)) {
    on_error_resume_next([&] { image().stretch_from(skin, skin_pixels(piece.from), button_pixels(piece.to)); });
  }
  on_error_resume_next([&] { refresh(); });
  on_error_resume_next([&] { place_caption(); });
}

void Command::place_caption() {
  Label& label = *lbl_msg_;
  const double top = (height_twips() - label.height_twips() - 20) / 2;
  label.move(0, pixels_from_twips_y(top), width(), label.height());
}

void Command::PaintFace() {
  // One refresh per repaint, by PaintSkin, so the face never shows without
  // its border.
  const std::uint32_t light = face_pixel(kFaceLight), shade = face_pixel(kFaceShade);
  const std::uint32_t top = face_reversed_ ? shade : light;
  const std::uint32_t bottom = face_reversed_ ? light : shade;
  // The fill spans (0, 0) to (width - 1, height - 1) exclusive of that last
  // column and row, which the border pieces cover.
  image().gradient_vertical({0, 0, width() - 1, height() - 1}, top, bottom);
}

void Command::ApplyEnabled() {
  if (enabled_value_) {
    on_error_resume_next([&] { PaintSkin(SkinName::Normal); });
    on_error_resume_next([&] { lbl_msg_->set_enabled(true); });
  } else {
    on_error_resume_next([&] { PaintSkin(SkinName::Disable); });
    on_error_resume_next([&] { lbl_msg_->set_enabled(false); });
  }
}

void Command::RefreshLook() {
  if (!enabled_value_) return;
  // A failing step makes the caption black and the next step runs.
  auto step = [&](auto&& statement) {
    if (!on_error_resume_next(statement)) {
      lbl_msg_->fore_color = 0;
      lbl_msg_->changed();
    }
  };
  step([&] { lbl_msg_->set_enabled(true); });
  step([&] {
    if (first_run_ == 0) {
      lbl_msg_->fore_color = 0;
      lbl_msg_->changed();
    }
  });
  step([&] { PaintSkin(SkinName::Normal); });
}

}  // namespace virelta
