#include "platforms/x11/pixel_transfer.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>
#include <cstring>

namespace virelta::x11 {

namespace {
int low_bit(unsigned long mask) { return mask ? std::countr_zero(mask) : 0; }
int bit_count(unsigned long mask) { return std::popcount(mask); }
}  // namespace

PixelTransfer::PixelTransfer(::Display* display, Visual* visual, int depth, int width, int height)
    : display_(display), visual_(visual), depth_(depth) {
  red_ = {low_bit(visual->red_mask), bit_count(visual->red_mask)};
  green_ = {low_bit(visual->green_mask), bit_count(visual->green_mask)};
  blue_ = {low_bit(visual->blue_mask), bit_count(visual->blue_mask)};

  if (XShmQueryExtension(display_)) {
    staging_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &shm_, width, height);
    if (staging_) {
      shm_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(staging_->bytes_per_line) * height, IPC_CREAT | 0600);
      void* memory = shm_.shmid >= 0 ? shmat(shm_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
      if (memory != reinterpret_cast<void*>(-1)) {
        shm_.shmaddr = staging_->data = static_cast<char*>(memory);
        shm_.readOnly = 0;
        // A server on another machine refuses the segment: then plain requests.
        const int errors = x_error_count();
        shm_attached_ = XShmAttach(display_, &shm_) && (XSync(display_, 0), x_error_count() == errors);
        if (!shm_attached_) shmdt(memory);
      }
      // Marked for removal now: the segment goes when both sides detach, also
      // when the program is ended by a signal.
      if (shm_.shmid >= 0) shmctl(shm_.shmid, IPC_RMID, nullptr);
      if (!shm_attached_) {
        staging_->data = nullptr;
        XDestroyImage(staging_);
        staging_ = nullptr;
      }
    }
  }
  if (!staging_) staging_ = XCreateImage(display_, visual_, depth_, ZPixmap, 0, nullptr, width, height, 32, 0);
  const bool little_endian = std::endian::native == std::endian::little;
  same_layout_ = staging_->bits_per_pixel == 32 && visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 &&
                 visual_->blue_mask == 0xFF && staging_->byte_order == (little_endian ? LSBFirst : MSBFirst);
  // Rows of its own only where pixels must be converted without shared memory.
  if (!shm_attached_ && !same_layout_)
    staging_->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(staging_->bytes_per_line), height));
  header_ = *staging_;
}

PixelTransfer::~PixelTransfer() {
  if (shm_attached_) {
    XShmDetach(display_, &shm_);
    XSync(display_, 0);
    shmdt(shm_.shmaddr);
    staging_->data = nullptr;
  }
  XDestroyImage(staging_);  // frees rows of its own, if any
}

unsigned long PixelTransfer::to_visual(std::uint32_t pixel) const {
  auto channel = [](std::uint32_t value, Channel c) {
    unsigned long v = c.bits >= 8 ? static_cast<unsigned long>(value) << (c.bits - 8) : value >> (8 - c.bits);
    return v << c.shift;
  };
  return channel((pixel >> 16) & 0xFF, red_) | channel((pixel >> 8) & 0xFF, green_) | channel(pixel & 0xFF, blue_);
}

std::uint32_t PixelTransfer::from_visual(unsigned long value) const {
  auto channel = [value](Channel c) -> std::uint32_t {
    if (c.bits == 0) return 0;
    unsigned long v = (value >> c.shift) & ((1ul << c.bits) - 1);
    return static_cast<std::uint32_t>(c.bits >= 8 ? v >> (c.bits - 8) : v * 255 / ((1ul << c.bits) - 1));
  };
  return (channel(red_) << 16) | (channel(green_) << 8) | channel(blue_);
}

void PixelTransfer::put(Drawable target, GC gc, const Image& image, const Rect& wanted) {
  const Rect area = intersect(intersect(wanted, image.bounds()), {0, 0, staging_->width, staging_->height});
  if (area.empty()) return;
  if (!shm_attached_ && same_layout_) {
    // The server copies the rows out of the request: the image lends them.
    header_.data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(image.data()));
    header_.width = image.width();
    header_.height = image.height();
    header_.bytes_per_line = image.width() * 4;
    XInitImage(&header_);
    XPutImage(display_, target, gc, &header_, area.left, area.top, area.left, area.top, area.width, area.height);
    return;
  }
  for (int y = area.top; y < area.bottom(); ++y) {
    const std::uint32_t* from = image.row(y) + area.left;
    if (same_layout_) {
      std::memcpy(staging_->data + static_cast<std::size_t>(y) * staging_->bytes_per_line + area.left * 4, from,
                  static_cast<std::size_t>(area.width) * 4);
    } else {
      for (int x = 0; x < area.width; ++x) XPutPixel(staging_, area.left + x, y, to_visual(from[x]));
    }
  }
  if (shm_attached_) {
    XShmPutImage(display_, target, gc, staging_, area.left, area.top, area.left, area.top, area.width, area.height, 0);
    in_flight_ = true;
  } else {
    XPutImage(display_, target, gc, staging_, area.left, area.top, area.left, area.top, area.width, area.height);
  }
}

void PixelTransfer::settle() {
  if (in_flight_) XSync(display_, 0);
  in_flight_ = false;
}

bool PixelTransfer::get(Drawable source, const Rect& area, Image& image, int to_x, int to_y) {
  if (area.empty()) return false;
  XImage* got = XGetImage(display_, source, area.left, area.top, static_cast<unsigned>(area.width),
                          static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (!got) return false;
  const Rect inside = intersect({to_x, to_y, area.width, area.height}, image.bounds());
  for (int y = inside.top; y < inside.bottom(); ++y)
    for (int x = inside.left; x < inside.right(); ++x)
      image.at(x, y) = from_visual(XGetPixel(got, x - to_x, y - to_y));
  XDestroyImage(got);
  return true;
}

}  // namespace virelta::x11
