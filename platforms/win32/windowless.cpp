// Labels, pictures, shapes and lines: no window of their own; their surface
// draws them over its stored picture, in creation order.
#include <algorithm>

#include "platforms/win32/peers.h"
#include "platforms/win32/text.h"
#include "platforms/win32/win32_platform.h"

namespace virelta::win32 {

namespace {

SurfaceWindow* surface_window_of(const Control& control) {
  Surface* container = control.container();
  return container ? dynamic_cast<SurfaceWindow*>(container->peer()) : nullptr;
}

RECT rect_of(const Rect& r) { return {r.left, r.top, r.right(), r.bottom()}; }

UINT label_format(const Label& label) {
  // A label sized to its text holds it on one line; only a fixed box wraps.
  UINT format = label.auto_size ? DT_NOPREFIX : DT_WORDBREAK | DT_NOPREFIX;
  switch (label.alignment) {
    case Alignment::Left: return format | DT_LEFT;
    case Alignment::Right: return format | DT_RIGHT;
    case Alignment::Center: return format | DT_CENTER;
  }
  return format;
}

void draw_label(HDC dc, const Label& label) {
  RECT r = rect_of(label.bounds());
  if (!label.transparent) FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  std::wstring text = widen(label.caption());
  if (text.empty()) return;
  selection font(dc, win32_platform().font(label.font));
  SetBkMode(dc, TRANSPARENT);
  UINT format = label_format(label);
  if (label.enabled()) {
    SetTextColor(dc, colour_ref(label.fore_color));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    return;
  }
  // Disabled text as the system greys it: a light copy one pixel down and
  // right under a shadow-coloured one.
  RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
  SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
  SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

void draw_picture_control(HDC dc, const Picture& control) {
  const Image* picture = control.picture();
  if (!picture || picture->empty()) return;
  int width = std::min(picture->width(), control.width());
  int height = std::min(picture->height(), control.height());
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture->width();
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(dc, control.left(), control.top(), width, height, 0, 0, width, height, picture->data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
}

void draw_shape(HDC dc, const Shape& shape) {
  RECT r = rect_of(shape.bounds());
  unique_hbrush brush(CreateSolidBrush(colour_ref(shape.border_color)));
  FrameRect(dc, &r, brush.get());
}

void draw_line(HDC dc, const Line& line) {
  unique_hpen pen(CreatePen(PS_SOLID, 1, colour_ref(line.border_color)));
  selection selected(dc, pen.get());
  MoveToEx(dc, line.from.x, line.from.y, nullptr);
  LineTo(dc, line.to.x, line.to.y);
}

}  // namespace

void draw_windowless(HDC dc, const Control& control) {
  switch (control.kind()) {
    case Control::Kind::Label: draw_label(dc, static_cast<const Label&>(control)); break;
    case Control::Kind::Picture: draw_picture_control(dc, static_cast<const Picture&>(control)); break;
    case Control::Kind::Shape: draw_shape(dc, static_cast<const Shape&>(control)); break;
    case Control::Kind::Line: draw_line(dc, static_cast<const Line&>(control)); break;
    default: break;
  }
}

void fit_label(Label& label) {
  if (!label.auto_size) return;
  // Measured with the very font the label is drawn in (a substitute face
  // included), at the DPI the windows are laid out for.
  std::wstring text = widen(label.caption());
  window_dc screen(nullptr);
  selection font(screen.get(), win32_platform().font(label.font));
  RECT r{0, 0, 0, 0};
  if (text.empty()) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.get(), &metrics);
    r.bottom = metrics.tmHeight;
  } else {
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  }
  // The box grows from its laid-out corner: the left edge of a left-aligned
  // label, the right edge of a right-aligned one. A centred label keeps its
  // width (and centre) while the text fits, as a title over a frame does.
  const Rect b = label.bounds();
  int width = r.right, left = b.left;
  switch (label.alignment) {
    case Alignment::Left: break;
    case Alignment::Right: left = b.right() - width; break;
    case Alignment::Center:
      width = std::max<int>(width, b.width);
      left = b.left + (b.width - width) / 2;
      break;
  }
  if (Rect{left, b.top, width, r.bottom} != b) label.move(left, b.top, width, r.bottom);
}

void fit_labels(Surface& surface) {
  for (Control* child : surface.children()) {
    if (child->kind() == Control::Kind::Label) fit_label(static_cast<Label&>(*child));
    else if (child->kind() == Control::Kind::Surface) fit_labels(static_cast<Surface&>(*child));
  }
}

WindowlessPeer::WindowlessPeer(Control& control) : control_(control), shown_bounds_(control.bounds()) {
  invalidate();
}

// The surface may be gone already when a control is destroyed with its
// window, so nothing is repainted here.
WindowlessPeer::~WindowlessPeer() = default;

void WindowlessPeer::geometry_changed() {
  if (SurfaceWindow* surface = surface_window_of(control_)) {
    const Rect& b = shown_bounds_;
    surface->invalidate({b.left - 1, b.top - 1, b.width + 2, b.height + 2});
  }
  shown_bounds_ = control_.bounds();
  invalidate();
}

void WindowlessPeer::content_changed() {
  if (control_.kind() == Control::Kind::Label) fit_label(static_cast<Label&>(control_));
  invalidate();
}

void WindowlessPeer::invalidate() {
  if (SurfaceWindow* surface = surface_window_of(control_)) {
    const Rect& b = control_.bounds();
    surface->invalidate({b.left - 1, b.top - 1, b.width + 2, b.height + 2});
  }
}

}  // namespace virelta::win32
