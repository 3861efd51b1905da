// Every kernel family's table, in one place, so that which instruction sets
// each family gains from reads at a glance.
#include "effects/kernel_tables.h"

#include "effects/colour_exchange_kernel.h"
#include "effects/colour_exchange_kernel_shared.h"
#include "effects/kernel_sse2.h"
#include "effects/magnify_kernel.h"
#include "effects/magnify_kernel_shared.h"
#include "effects/palette_kernel.h"
#include "effects/palette_kernel_shared.h"
#include "effects/pixel_effects_kernel.h"
#include "effects/pixel_effects_kernel_shared.h"
#include "effects/rotate_kernel.h"
#include "effects/rotate_kernel_shared.h"

namespace virelta::effects {

namespace {

bool rotate_sse2_runs_here() {
  // Built without SSE2, the rotation's SSE2 entry is the plain rule.
#ifdef VIRELTA_SSE2
  return cpu_has_sse2();
#else
  return false;
#endif
}

constexpr KernelEntry kRotate[] = {
    {"plain", rotate_kernel_plain, cpu_runs_anything},
    {"sse2", rotate_detail::rotate_kernel_sse2, rotate_sse2_runs_here},
    {"avx2", rotate_detail::rotate_kernel_avx2, cpu_has_avx2_fma},
    {"avx512", rotate_detail::rotate_kernel_avx512, cpu_has_avx512},
};

constexpr KernelEntry kPalette[] = {
    {"plain", palette_kernel_plain, cpu_runs_anything},
    {"sse2", palette_simd::palette_kernel_sse2, cpu_has_sse2},
    {"avx2", palette_simd::palette_kernel_avx2, cpu_has_avx2_fma},
};

constexpr KernelEntry kMagnify[] = {
    {"plain", magnify_kernel_plain, cpu_runs_anything},
    {"sse2", magnify_simd::magnify_kernel_sse2, cpu_has_sse2},
    {"avx2", magnify_simd::magnify_kernel_avx2, cpu_has_avx2_fma},
};

constexpr KernelEntry kPixelEffects[] = {
    {"plain", pixel_effects_kernel_plain, cpu_runs_anything},
    {"sse2", pixel_effects_detail::pixel_effects_kernel_sse2, cpu_has_sse2},
    {"avx2", pixel_effects_detail::pixel_effects_kernel_avx2, cpu_has_avx2_fma},
};

constexpr KernelEntry kColourExchange[] = {
    {"plain", colour_exchange_kernel_plain, cpu_runs_anything},
    {"sse2", colour_exchange_detail::colour_exchange_kernel_sse2, cpu_has_sse2},
};

// A table's kernel: its fastest entry, picked at the first call. Kept in
// this file, built for the baseline instruction set.
template <const auto& Table>
void run_fastest(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  static const Kernel chosen = fastest_entry(Table).run;
  chosen(block, msg, wparam, lparam);
}

}  // namespace

KernelTable rotate_kernels() { return kRotate; }
KernelTable palette_kernels() { return kPalette; }
KernelTable magnify_kernels() { return kMagnify; }
KernelTable pixel_effects_kernels() { return kPixelEffects; }
KernelTable colour_exchange_kernels() { return kColourExchange; }

constinit const Kernel rotate_kernel = run_fastest<kRotate>;
constinit const Kernel palette_kernel = run_fastest<kPalette>;
constinit const Kernel magnify_kernel = run_fastest<kMagnify>;
constinit const Kernel pixel_effects_kernel = run_fastest<kPixelEffects>;
constinit const Kernel colour_exchange_kernel = run_fastest<kColourExchange>;

}  // namespace virelta::effects
