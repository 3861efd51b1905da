// The engine's palette and magnify members: the frame around kernels K1 and
// K4 (binding check, undo copy, block words 4 to 6, the per-call values, the
// kernel run and the redraw).
#include <bit>

#include "effects/cls_asm_pic.h"
#include "effects/magnify_kernel.h"
#include "effects/palette_kernel.h"

namespace virelta::effects {

void clsASMpic::ASM_PalEffects(Long OpCode, Integer Amount, Long colorX) {
  if (CheckPicBox()) return;
  if (auto_draw_) undo_copy();
  block_.amount = Amount;
  block_.colour = static_cast<std::uint32_t>(colour_or_back_colour(colorX));
  block_.opcode = OpCode;
  run_kernel(palette_kernel, kPaletteNoiseSeed, 0, 0);
  if (auto_draw_) DrawLayer(2);
}

void clsASMpic::ASM_IncrementalPalEffects(Long OpCode, Integer Amount) {
  if (CheckPicBox()) return;
  if (auto_draw_) undo_copy();
  block_.amount = Amount;
  block_.colour = static_cast<std::uint32_t>(colour_or_back_colour(-1));
  block_.opcode = OpCode;
  // The shared generator is put into the same state on every call, so the
  // noise repeats from call to call (and so do the program's later draws).
  RandomGenerator& random = program_random();
  random.rnd(-1.0f);
  random.randomize(1);
  std::uint32_t seed = kPaletteNoiseSeed;
  if (OpCode == static_cast<Long>(PaletteOpcode::Noise)) seed = std::bit_cast<std::uint32_t>(random.rnd() * 255.0f);
  run_kernel(palette_kernel, seed, 0, 0);
  if (auto_draw_) DrawLayer(2);
}

void clsASMpic::ASM_Magnify(Single Factor, const Variant& centerX, const Variant& centerY, bool AntiAlias,
                            Long colorX) {
  if (CheckPicBox()) return;
  if (auto_draw_) undo_copy();
  const Long colour = colour_or_back_colour(colorX);
  const Variant cx = centerX.is_missing() ? Variant(static_cast<double>(width_ / 2)) : centerX;
  const Variant cy = centerY.is_missing() ? Variant(static_cast<double>(height_ / 2)) : centerY;
  block_.colour = static_cast<std::uint32_t>(colour);
  block_.opcode = AntiAlias ? 1 : 0;
  // Tenths of the factor, from its single-precision value: 2.35f is just
  // below 2.35, so it is applied as 2.3. Not a number or too large: overflow.
  const Long tenths = to_long(static_cast<double>(Factor) * 10.0);
  const Single centre_x = cx.to_single();
  const Single centre_y = cy.to_single();
  run_kernel(magnify_kernel, std::bit_cast<std::uint32_t>(centre_x), std::bit_cast<std::uint32_t>(centre_y),
             static_cast<std::uint32_t>(tenths));
  if (auto_draw_) DrawLayer(2);
}

}  // namespace virelta::effects
