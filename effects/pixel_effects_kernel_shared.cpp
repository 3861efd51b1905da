#include "effects/pixel_effects_kernel_shared.h"

#include <cmath>
#include <numbers>

#include "effects/pixel_effects_kernel.h"

namespace virelta::effects {

namespace pixel_effects_detail {

float wave_source_row(const float* table, int y, int height) {
  // The host already keeps T within 1..H; a table from elsewhere must not
  // send the kernel outside the layer.
  float t = table[y - 1];
  if (!(t >= 1)) t = 1;
  if (t > height) t = static_cast<float>(height);
  return t;
}

float twirl_twist(std::int32_t amount) {
  constexpr double pi = std::numbers::pi;
  switch (amount) {
    case 1: return static_cast<float>(pi / 2);
    case 2: return static_cast<float>(pi);
    case 4: return static_cast<float>(3 * pi / 2);
    default: return static_cast<float>(2 * pi);
  }
}

// Out of line on purpose: both kernels call this one function, so their
// angles agree to the last bit whatever the compiler does with sin and cos.
TwirlTurn twirl_turn(std::int32_t d2, std::int32_t longest_side, float twist) {
  double a = std::sqrt(static_cast<double>(d2)) / longest_side * twist;
  return {std::sin(a), std::cos(a)};
}

}  // namespace pixel_effects_detail

std::vector<float> build_wave_table(std::int32_t amount, std::int32_t width, std::int32_t height) {
  std::int32_t n = std::max(width, height);
  std::vector<float> table(n > 0 ? static_cast<std::size_t>(n) : 0);
  float top = static_cast<float>(height);
  for (std::int32_t i = 1; i <= n; ++i) {
    float t = static_cast<float>(2 * std::sin(i / 5.0) * amount + i);
    if (t < 1) t = 1;
    if (t > top) t = top;
    table[i - 1] = t;
  }
  return table;
}

WaveTableWords wave_table_words(const float* table) {
  auto address = reinterpret_cast<std::uintptr_t>(table);
  if constexpr (sizeof(std::uintptr_t) > 4) {
    return {static_cast<std::uint32_t>(static_cast<std::uint64_t>(address) >> 32),
            static_cast<std::uint32_t>(address)};
  } else {
    return {kPixelEffectsWParam, static_cast<std::uint32_t>(address)};
  }
}

const float* wave_table_from_words(std::uint32_t wparam, std::uint32_t lparam) {
  if constexpr (sizeof(std::uintptr_t) > 4) {
    auto address = (static_cast<std::uint64_t>(wparam) << 32) | lparam;
    return reinterpret_cast<const float*>(static_cast<std::uintptr_t>(address));
  } else {
    (void)wparam;
    return reinterpret_cast<const float*>(static_cast<std::uintptr_t>(lparam));
  }
}

}  // namespace virelta::effects
