// Moves pictures between the program's 32-bit images and an X drawable:
// through a shared-memory image where the server offers MIT-SHM, straight
// from the image's own rows where the visual stores pixels as the image
// does, and pixel by pixel for any other visual.
#pragma once

#include <memory>

#include "forms/image.h"
#include "platforms/x11/xlib.h"

namespace virelta::x11 {

class PixelTransfer {
 public:
  // `width` x `height`: the largest area ever shown (the window's size).
  PixelTransfer(::Display* display, Visual* visual, int depth, int width, int height);
  ~PixelTransfer();
  PixelTransfer(const PixelTransfer&) = delete;
  PixelTransfer& operator=(const PixelTransfer&) = delete;

  // Shows `area` of `image` at the same place on the drawable. Allocates
  // nothing. With shared memory the server reads the pixels later: call
  // settle() before the next put may overwrite them.
  void put(Drawable target, GC gc, const Image& image, const Rect& area);
  void settle();
  // Reads `area` of the drawable into `image` at `to_x`, `to_y`; false when
  // the server cannot (the drawable is not viewable, or gone).
  bool get(Drawable source, const Rect& area, Image& image, int to_x, int to_y);

 private:
  unsigned long to_visual(std::uint32_t pixel) const;
  std::uint32_t from_visual(unsigned long value) const;

  ::Display* display_;
  Visual* visual_;
  int depth_;
  XImage* staging_ = nullptr;  // shared or not; window-sized
  XShmSegmentInfo shm_{};
  bool shm_attached_ = false;
  bool in_flight_ = false;
  // The visual stores a pixel as the image does (0x00RRGGBB, 32 bits).
  bool same_layout_ = false;
  XImage header_{};  // borrowed rows of an image (same layout, no shared memory)
  struct Channel {
    int shift, bits;
  } red_{}, green_{}, blue_{};
};

}  // namespace virelta::x11
