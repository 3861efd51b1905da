// The colour-exchange kernel, every entry of its table and the chosen one, on 256 x 256 and 512 x 512
// pictures in which one pixel in 64 has the colour and one in 16 is a step
// away from it: 1000 dots, row lines and the grid every 4 pixels, the bleed
// (amount 4, reach 3), the four streaks (amount 8, reach 4) and the burst
// (amount 1 and 4, centred). The kernel works in place, so the picture is put
// back before every run, outside the timing.
#include <bit>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_shared.h"
#include "effects/colour_exchange_kernel.h"

namespace {

using namespace virelta::bench;

constexpr std::uint32_t kColour = 0x3080C0;  // blue 0x30, green 0x80, red 0xC0

constexpr Effect kEffects[] = {{"dots1000", 0, 50}, {"rows", 1, 4},        {"grid", 3, 4},
                               {"bleed", 4, 4},     {"streak_up", 5, 8},   {"streak_down", 6, 8},
                               {"streak_left", 7, 8}, {"streak_right", 8, 8}, {"burst1", 9, 1},
                               {"burst4", 9, 4}};

std::vector<std::uint8_t> picture_bytes(std::size_t pixels) {
  std::mt19937 random(2024);
  std::vector<std::uint8_t> bytes(pixels * 4);
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint8_t* p = &bytes[i * 4];
    const std::uint8_t colour[3] = {0x30, 0x80, 0xC0};
    const unsigned kind = random() % 64;
    for (int c = 0; c < 3; ++c) {
      if (kind == 0) p[c] = colour[c];
      else if (kind < 4) p[c] = static_cast<std::uint8_t>(colour[c] + static_cast<int>(random() % 3) - 1);
      else p[c] = static_cast<std::uint8_t>(random());
    }
    p[3] = 0;
  }
  return bytes;
}

void bench_kernel(benchmark::State& state, Kernel kernel, Effect effect, int size) {
  SquarePicture picture(size, 2);
  KernelBlock& block = picture.block;
  const std::vector<std::uint8_t> bytes = picture_bytes(static_cast<std::size_t>(size) * size);
  block.amount = effect.amount;
  block.colour = kColour;
  block.opcode = effect.opcode;
  float x = 2.0f, y = 3.0f;
  if (effect.opcode >= 4 && effect.opcode <= 8) x = virelta::effects::kStartingWeight, y = virelta::effects::kWeightStep;
  if (effect.opcode == 9) x = y = static_cast<float>(size / 2);
  std::mt19937 random(7);
  std::vector<std::uint32_t> dots;
  for (int i = 0; i < 2 * 20 * effect.amount; ++i)
    dots.push_back(std::bit_cast<std::uint32_t>(static_cast<float>(random() % 1000) / 1000.0f));
  time_runs(state, picture.store.data(), std::int64_t{size} * size, [&] {
    state.PauseTiming();
    std::memcpy(picture.store.layer(2), bytes.data(), bytes.size());
    state.ResumeTiming();
    if (effect.opcode == 0) {
      for (std::size_t i = 0; i + 1 < dots.size(); i += 2) kernel(block, dots[i], dots[i + 1], 0);
    } else {
      kernel(block, std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y), 0);
    }
  });
}

const int registered = (register_effects("colour_exchange", virelta::effects::colour_exchange_kernels(),
                                         virelta::effects::colour_exchange_kernel, bench_kernel, kEffects),
                        0);

}  // namespace
