#include "effects/pixel_effects_kernel.h"

#include "effects/pixel_effects_kernel_shared.h"

namespace virelta::effects {

namespace {

constexpr KernelEntry kEntries[] = {
    {"plain", pixel_effects_kernel_plain, cpu_runs_anything},
    {"sse2", pixel_effects_detail::pixel_effects_kernel_sse2, cpu_has_sse2},
    {"avx2", pixel_effects_detail::pixel_effects_kernel_avx2, cpu_has_avx2_fma},
};

}  // namespace

KernelTable pixel_effects_kernels() { return kEntries; }

void pixel_effects_kernel(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  static const Kernel chosen = fastest_entry(kEntries).run;
  chosen(block, msg, wparam, lparam);
}

}  // namespace virelta::effects
