// Kernel K1 as its rule reads: pair opcodes byte by byte over whole 8-byte
// words, per-pixel opcodes pixel by pixel, noise in floating point.
#include <algorithm>
#include <cstddef>

#include "runtime/runtime.h"
#include "effects/palette_kernel.h"
#include "effects/palette_kernel_shared.h"

namespace virelta::effects {

std::uint32_t palette_shift_pattern(std::int32_t opcode, std::int32_t amount) {
  // Products are taken modulo 2^32, so large or negative amounts spill into
  // the neighbouring bytes.
  const std::uint32_t a32 = static_cast<std::uint32_t>(amount);
  const std::uint32_t low = a32 & 0xFFu;
  switch (opcode) {
    case 0: case 1: return a32 * 65536u;
    case 2: case 3: return a32 * 256u;
    case 4: case 5: return a32;
    case 6: case 7: case 8: case 9: return a32 * 65536u + low * 256u + low;
    default: return 0;
  }
}

namespace {

void noise_plain(std::uint8_t* pixels, std::uint32_t count, std::int32_t amount, std::uint32_t seed) {
  PaletteNoiseGenerator generator(seed);
  // 40 x Amount + 1 and 20 x Amount as the processor's 32-bit products.
  const auto spread = static_cast<std::int32_t>(static_cast<std::uint32_t>(amount) * 40u + 1u);
  const auto offset = static_cast<std::int32_t>(static_cast<std::uint32_t>(amount) * 20u);
  for (std::uint32_t i = 0; i < count; ++i) {
    for (int channel = 0; channel < 3; ++channel) {
      std::uint8_t& byte = pixels[std::size_t{i} * 4 + channel];
      double v = generator.next() / 255.0;
      v = v * spread;
      v = v - offset;
      v = v + byte;
      v = std::clamp(round_half_even(v), 0.0, 255.0);
      byte = static_cast<std::uint8_t>(v);
    }
  }
}

}  // namespace

void palette_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t, std::uint32_t) {
  if (!block.has_pixels()) return;
  const std::uint32_t count = block.layer_pixels();
  std::uint8_t* pixels = block.layer(2);
  const std::int32_t opcode = block.opcode;

  if (palette_rules::is_pair_opcode(opcode)) {
    const std::uint32_t pattern = palette_shift_pattern(opcode, block.amount);
    const std::size_t bytes = std::size_t{palette_rules::pair_count(count)} * 8;
    for (std::size_t i = 0; i < bytes; ++i) {
      const auto pattern_byte = static_cast<std::uint8_t>(pattern >> (8 * (i % 4)));
      pixels[i] = palette_rules::pair_byte(opcode, pixels[i], pattern_byte);
    }
  } else if (opcode == static_cast<std::int32_t>(PaletteOpcode::Noise)) {
    noise_plain(pixels, count, block.amount, msg);
  } else if (palette_rules::is_pixel_opcode(opcode)) {
    for (std::uint32_t i = 0; i < count; ++i) palette_rules::pixel_rule(opcode, pixels + std::size_t{i} * 4);
  }
}

}  // namespace virelta::effects
