// Kernel K1, the palette effects: every pixel of layer 2 changes from its own
// colour alone. Block words read: width, height, store, amount, opcode. Msg is
// the noise generator's seed; wParam and lParam are not read.
#pragma once

#include <cstdint>

#include "effects/kernel_block.h"
#include "effects/kernel_tables.h"

namespace virelta::effects {

enum class PaletteOpcode : std::int32_t {
  RedUp = 0,
  RedDown = 1,
  GreenUp = 2,
  GreenDown = 3,
  BlueUp = 4,
  BlueDown = 5,
  Brighter = 6,
  Darker = 7,
  ShiftUp = 8,
  ShiftDown = 9,
  Noise = 10,
  Invert = 11,
  Grey = 12,
  DarkToBlack = 13,
  LightToWhite = 14,
  BlackToWhite = 15,
  WhiteToBlack = 16,
  KeepWhiteOnly = 17,
  KeepBlackOnly = 18,
  Threshold180 = 19,
};

// The seed every ASM_PalEffects call hands to the noise: the bits of 2.0f.
inline constexpr std::uint32_t kPaletteNoiseSeed = 0x40000000u;

// The noise generator: advanced once per channel, the drawn value is the low
// byte of the new state.
class PaletteNoiseGenerator {
 public:
  explicit PaletteNoiseGenerator(std::uint32_t seed) : state_(seed) {}
  std::uint8_t next() {
    // The 33-bit sum's carry becomes bit 31 of the new state.
    std::uint64_t sum = static_cast<std::uint64_t>(state_ * 71699u) + 700937u;
    state_ = static_cast<std::uint32_t>(sum >> 1);
    return static_cast<std::uint8_t>(state_);
  }
  std::uint32_t state() const { return state_; }

 private:
  std::uint32_t state_;
};

// The 32-bit shift pattern of opcodes 0 to 9 (byte 0 meets blue, byte 3 the
// unused byte); 0 for every other opcode.
std::uint32_t palette_shift_pattern(std::int32_t opcode, std::int32_t amount);

// The rule as written, one byte or one pixel at a time.
void palette_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                          std::uint32_t lparam);

}  // namespace virelta::effects
