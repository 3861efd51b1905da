#include "effects/cls_asm_pic.h"

#include <cstring>

#include "forms/form_layer.h"
#include "effects/rotate_kernel.h"

namespace virelta::effects {

namespace {
std::uint32_t float_bits(Single value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}
}  // namespace

void clsASMpic::show_message(const char* text, bool critical) const {
  platform().message_box(kMessageTitle, text, critical ? MessageIcon::Critical : MessageIcon::Information);
}

bool clsASMpic::CheckPicBox() {
  if (box_) return false;
  show_message(kNotBoundText, false);
  return true;
}

bool clsASMpic::CheckColorDepth(Surface& box) {
  int bits = box.bits_per_pixel();
  return bits == 16 || bits == 32;
}

void clsASMpic::PictureBox(Surface& box) {
  try {
    box_ = &box;
    // Outer size in twips over the screen's twips per pixel, both Singles,
    // divided in double precision and rounded half to even.
    ScreenInfo screen = platform().screen();
    double w = static_cast<double>(box.width_twips()) / static_cast<double>(static_cast<Single>(screen.twips_per_pixel_x));
    double h = static_cast<double>(box.height_twips()) / static_cast<double>(static_cast<Single>(screen.twips_per_pixel_y));
    width_ = to_long(w);
    height_ = to_long(h);
    if (!CheckColorDepth(box)) {
      box_ = nullptr;
      show_message(kDepthText, true);
      return;
    }
    block_.width = width_;
    block_.height = height_;
    CaptureLayers();
    // Bound means a store of exactly W x H: drawing and the kernels rely on it.
    if (store_.empty() || store_.width() != width_ || store_.height() != height_)
      raise(ErrorNumber::SubscriptOutOfRange);
    block_.store = store_.data();
    DrawLayer(3);
  } catch (const std::exception&) {
    box_ = nullptr;
    show_message(kAssignText, true);
  }
}

void clsASMpic::CaptureLayers() {
  GETDIBS();
  // The layer size is a 32-bit value: W x 4 x H beyond it overflows.
  narrow_long(static_cast<std::int64_t>(width_) * 4 * height_);
  store_.copy_layer(1, 2);
  store_.copy_layer(1, 3);
}

void clsASMpic::GETDIBS() {
  try {
    // The old store goes first: W and H already describe the new box, so a
    // store kept past a failure here would be read and written as W x H.
    store_.release();
    block_.store = nullptr;
    const Image& bitmap = box_->image();
    // The size of the bits the platform would describe: must fit 32 bits.
    narrow_long(static_cast<std::int64_t>(bitmap.width()) * 4 * bitmap.height());
    if (width_ <= 0 || height_ <= 0) raise(ErrorNumber::SubscriptOutOfRange);
    store_.recreate(width_, height_);
    // Scan lines are read from the bottom of the bitmap; whatever lies beyond
    // the store's W x H is dropped rather than written past its end.
    bitmap.read_bottom_up(store_.layer(1), width_, height_);
  } catch (const std::exception&) {
    show_message(kGetDibsText, true);
  }
}

void clsASMpic::DrawLayer(int n) {
  if (!box_) raise(ErrorNumber::ObjectNotSet);
  Image& image = box_->image();
  // An empty picture first; where the layer covers the whole image the
  // clearing would be overwritten at once, so it is left out.
  if (image.width() != width_ || image.height() != height_) box_->clear();
  box_->set_visible(true);
  if (store_.empty()) {
    store_.release();
    show_message(kBlitText, true);
    platform().end_program(0);
  }
  image.write_bottom_up(store_.layer(n), width_, height_);
  box_->refresh();
}

void clsASMpic::AutoDraw(bool on) {
  auto_draw_ = on;
  if (on) {
    DrawLayer(2);
  } else {
    if (store_.empty()) raise(ErrorNumber::ObjectNotSet);
    store_.copy_layer(2, 3);
  }
}

void clsASMpic::DrawNow() {
  DrawLayer(2);
  platform().do_events();
}

void clsASMpic::UndoLast() {
  if (CheckPicBox()) return;
  store_.copy_layer(3, 2);
  DrawLayer(2);
}

void clsASMpic::UndoLastDontDraw() {
  if (CheckPicBox()) return;
  store_.copy_layer(3, 2);
}

void clsASMpic::ResetPic() {
  if (CheckPicBox()) return;
  store_.copy_layer(1, 2);
  store_.copy_layer(1, 3);
  DrawLayer(1);
}

Long clsASMpic::colour_or_back_colour(Long colorX) const {
  if (colorX >= 0) return colorX;
  return static_cast<Long>(box_->back_color());
}

void clsASMpic::run_kernel(Kernel kernel, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  kernel(block_, msg, wparam, lparam);
}

void clsASMpic::ASM_Rotate(Integer Angle, bool AntiAlias, bool SourcePic, Long colorX, const Variant& centerX,
                           const Variant& centerY) {
  if (CheckPicBox()) return;
  if (Angle == 0) return;
  if (!SourcePic && auto_draw_) undo_copy();
  Long fill = colour_or_back_colour(colorX);
  Variant cx = centerX.is_missing() ? Variant(static_cast<double>(width_ / 2)) : centerX;
  Variant cy = centerY.is_missing() ? Variant(static_cast<double>(height_ / 2)) : centerY;
  block_.colour = static_cast<std::uint32_t>(fill);
  block_.opcode = (SourcePic ? 2 : 0) + (AntiAlias ? 1 : 0);
  Integer lparam = narrow_integer(static_cast<std::int32_t>(Angle) + 360);
  Single centre_y = cy.to_single();
  Single centre_x = cx.to_single();
  run_kernel(rotate_kernel, float_bits(centre_x), float_bits(centre_y),
             static_cast<std::uint32_t>(static_cast<std::int32_t>(lparam)));
  if (auto_draw_) DrawLayer(2);
}

}  // namespace virelta::effects
