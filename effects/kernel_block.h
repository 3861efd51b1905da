// The kernel contract of the image-effects engine. A kernel takes the
// parameter block and three per-call values (Msg, wParam, lParam) and writes
// nothing but bytes of the pixel store the block points to.
#pragma once

#include <cstddef>
#include <cstdint>

namespace virelta::effects {

// The seven words handed to every kernel. Word 2 is a pointer, so the block
// is wider than seven 32-bit words on 64-bit builds; the order is the same.
struct KernelBlock {
  std::int32_t width = 0;       // word 0: W, pixels per row
  std::int32_t height = 0;      // word 1: H, rows
  std::uint8_t* store = nullptr;  // word 2: first byte of the pixel store (layer 1)
  std::uint32_t reserved = 0;   // word 3: no kernel reads it
  std::int32_t amount = 0;      // word 4: the effect's Amount, sign-extended
  std::uint32_t colour = 0;     // word 5: &H00BBGGRR, red in the low byte
  std::int32_t opcode = 0;      // word 6: selects the kernel's sub-routine

  // Pixels in one layer (W x H, as an unsigned 32-bit product).
  std::uint32_t layer_pixels() const {
    return static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
  }
  // A store with at least one pixel; every kernel leaves anything else alone.
  bool has_pixels() const { return store != nullptr && width > 0 && height > 0; }
  // First byte of layer 1, 2 or 3. Rows run bottom-up, 4 bytes a pixel
  // (blue, green, red, unused), no row padding.
  std::uint8_t* layer(int n) const {
    return store + static_cast<std::size_t>(n - 1) * layer_pixels() * 4u;
  }
};

using Kernel = void (*)(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                        std::uint32_t lparam);

// The colour word's parts, as the kernels write them to a pixel (B, G, R).
inline std::uint8_t colour_red(std::uint32_t colour) { return colour & 0xFF; }
inline std::uint8_t colour_green(std::uint32_t colour) { return (colour >> 8) & 0xFF; }
inline std::uint8_t colour_blue(std::uint32_t colour) { return (colour >> 16) & 0xFF; }
// The colour as a pixel word: blue, green and red in bytes 0, 1 and 2, byte 3 zero.
inline std::uint32_t colour_pixel(std::uint32_t colour) {
  return colour_blue(colour) | static_cast<std::uint32_t>(colour_green(colour)) << 8 |
         static_cast<std::uint32_t>(colour_red(colour)) << 16;
}
// Byte c of that word: 0 blue, 1 green, 2 red.
inline int colour_channel(std::uint32_t colour, int c) { return colour_pixel(colour) >> (8 * c) & 0xFF; }

}  // namespace virelta::effects
