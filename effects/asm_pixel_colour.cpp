// The engine's pixel-effect and colour-exchange members: the frame around
// kernels K2 and K3 (binding check, undo copy, block words 4 to 6, the
// per-call values, the kernel runs and the redraw).
#include <bit>
#include <vector>

#include "effects/cls_asm_pic.h"
#include "effects/colour_exchange_kernel.h"
#include "effects/pixel_effects_kernel.h"

namespace virelta::effects {

void clsASMpic::ASM_PixelEffects(Long OpCode, Integer Amount, Long colorX) {
  if (CheckPicBox()) return;
  if (auto_draw_) undo_copy();
  const Long colour = colour_or_back_colour(colorX);
  block_.amount = Amount;
  block_.colour = static_cast<std::uint32_t>(colour);
  block_.opcode = OpCode;
  switch (OpCode) {
    case 0:
    case 1:
    case 2:
    case 4:
    case 5:
      run_kernel(pixel_effects_kernel, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
      break;
    case 3: {
      // The wave table lives for this call only.
      const std::vector<float> table = build_wave_table(Amount, width_, height_);
      const WaveTableWords words = wave_table_words(table.data());
      run_kernel(pixel_effects_kernel, kPixelEffectsMsg, words.wparam, words.lparam);
      break;
    }
    default:
      break;
  }
  if (auto_draw_) DrawLayer(2);
}

void clsASMpic::ASM_ColorXEffects(Long OpCode, Long colorX, Integer Amount, const Variant& centerX,
                                  const Variant& centerY) {
  if (CheckPicBox()) return;
  if (auto_draw_) undo_copy();
  // colorX is used as given: a negative value is not replaced by BackColor,
  // and its top byte keeps every pixel from matching.
  const Variant cx = centerX.is_missing() ? Variant(static_cast<double>(width_ / 2)) : centerX;
  const Variant cy = centerY.is_missing() ? Variant(static_cast<double>(height_ / 2)) : centerY;
  block_.amount = Amount;
  block_.colour = static_cast<std::uint32_t>(colorX);
  block_.opcode = OpCode;
  // Every call, whatever it draws, reseeds the program's shared generator.
  RandomGenerator& random = program_random();
  random.randomize_from_clock();
  switch (OpCode) {
    case 0: {
      // Integer arithmetic: more than 32767 dots is an overflow error.
      const Integer dots = narrow_integer(static_cast<std::int32_t>(Amount) * 20);
      for (int i = 0; i < dots; ++i) {
        const Single x = random.rnd();
        const Single y = random.rnd();
        run_kernel(colour_exchange_kernel, std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), 0);
      }
      break;
    }
    case 1:
    case 2:
    case 3:
      run_kernel(colour_exchange_kernel, std::bit_cast<std::uint32_t>(2.0f), std::bit_cast<std::uint32_t>(3.0f), 0);
      break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      run_kernel(colour_exchange_kernel, std::bit_cast<std::uint32_t>(kStartingWeight),
                 std::bit_cast<std::uint32_t>(kWeightStep), 0);
      break;
    case 9: {
      const Single x = cx.to_single();
      const Single y = cy.to_single();
      run_kernel(colour_exchange_kernel, std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), 0);
      break;
    }
    default:
      break;
  }
  if (auto_draw_) DrawLayer(2);
}

}  // namespace virelta::effects
