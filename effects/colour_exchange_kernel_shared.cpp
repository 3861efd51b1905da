#include "effects/colour_exchange_kernel_shared.h"

#include <cmath>
#include <numbers>

#include "effects/colour_exchange_kernel.h"

namespace virelta::effects {

namespace colour_exchange_detail {

// Out of line on purpose: both kernels call this one function, so their
// directions agree to the last bit whatever the compiler does with sin and cos.
BurstDirection burst_direction(int theta) {
  constexpr float radian = static_cast<float>(std::numbers::pi / 180);
  double angle = theta * static_cast<double>(radian);
  return {std::sin(angle), std::cos(angle)};
}

float burst_factor(std::int64_t rho, std::int64_t rings) {
  return static_cast<float>(2 - static_cast<double>(rho) / static_cast<double>(rings));
}

}  // namespace colour_exchange_detail

std::int32_t colour_exchange_reach(std::int32_t amount) {
  auto k = static_cast<std::int32_t>((static_cast<std::int64_t>(amount) + 2) >> 1);
  return k == 5 ? 4 : k;
}

}  // namespace virelta::effects
