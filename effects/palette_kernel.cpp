#include "effects/palette_kernel.h"

#include "effects/palette_kernel_shared.h"

namespace virelta::effects {

namespace {

constexpr KernelEntry kEntries[] = {
    {"plain", palette_kernel_plain, cpu_runs_anything},
    {"sse2", palette_simd::palette_kernel_sse2, cpu_has_sse2},
    {"avx2", palette_simd::palette_kernel_avx2, cpu_has_avx2_fma},
};

}  // namespace

KernelTable palette_kernels() { return kEntries; }

void palette_kernel(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  static const Kernel chosen = fastest_entry(kEntries).run;
  chosen(block, msg, wparam, lparam);
}

}  // namespace virelta::effects
