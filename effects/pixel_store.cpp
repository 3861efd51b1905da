#include "effects/pixel_store.h"

#include "runtime/runtime.h"

namespace virelta::effects {

void PixelStore::recreate(std::int32_t width, std::int32_t height) {
  release();
  if (width <= 0 || height <= 0) return;
  // The layer size is W x 4 x H as a 32-bit value: larger pictures overflow.
  std::int64_t layer = static_cast<std::int64_t>(width) * 4 * height;
  narrow_long(layer);
  layer_bytes_ = static_cast<std::size_t>(layer);
  if (kept_ && kept_bytes_ == layer_bytes_ * 3) {
    bytes_ = std::move(kept_);
    std::memset(bytes_.get(), 0, layer_bytes_ * 3);
  } else {
    kept_.reset();
    bytes_.reset(new (std::nothrow) std::uint8_t[layer_bytes_ * 3]());
  }
  kept_bytes_ = 0;
  if (!bytes_) {
    layer_bytes_ = 0;
    raise(ErrorNumber::OutOfMemory);
  }
  width_ = width;
  height_ = height;
}

void PixelStore::release() {
  if (bytes_) {
    kept_ = std::move(bytes_);
    kept_bytes_ = layer_bytes_ * 3;
  }
  width_ = height_ = 0;
  layer_bytes_ = 0;
}

}  // namespace virelta::effects
