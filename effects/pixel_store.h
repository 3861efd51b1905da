// The engine's pixel store: one allocation of three equally sized layers
// (1 base, 2 current, 3 previous), each W x H pixels of 4 bytes (blue, green,
// red, unused), rows from the bottom of the picture up, no row padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace virelta::effects {

class PixelStore {
 public:
  PixelStore() = default;
  // Re-creates the store for a W x H picture, every byte 0.
  void recreate(std::int32_t width, std::int32_t height);
  // Empties the store. Its memory is kept for a store of the same size, as
  // the saver re-binds every tile's engine at every cycle: taking fresh pages
  // of the system each time costs more than the whole re-binding.
  void release();

  bool empty() const { return !bytes_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  std::size_t layer_bytes() const { return layer_bytes_; }

  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint8_t* layer(int n) { return bytes_.get() + (n - 1) * layer_bytes_; }
  const std::uint8_t* layer(int n) const { return bytes_.get() + (n - 1) * layer_bytes_; }

  // Byte of channel c (1 blue .. 4 unused), column x (1..W, from the left),
  // row y (1..H, from the bottom), layer 1..3.
  std::uint8_t& at(int channel, int x, int y, int layer_number) {
    return layer(layer_number)[((static_cast<std::size_t>(y) - 1) * width_ + (x - 1)) * 4 + (channel - 1)];
  }

  // One block move of a whole layer.
  void copy_layer(int from, int to) {
    if (bytes_ && from != to) std::memcpy(layer(to), layer(from), layer_bytes_);
  }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::unique_ptr<std::uint8_t[]> kept_;
  std::size_t kept_bytes_ = 0;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::size_t layer_bytes_ = 0;
};

}  // namespace virelta::effects
