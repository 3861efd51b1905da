#include "effects/magnify_kernel.h"

#include "effects/magnify_kernel_shared.h"

namespace virelta::effects {

namespace {

constexpr KernelEntry kEntries[] = {
    {"plain", magnify_kernel_plain, cpu_runs_anything},
    {"sse2", magnify_simd::magnify_kernel_sse2, cpu_has_sse2},
    {"avx2", magnify_simd::magnify_kernel_avx2, cpu_has_avx2_fma},
};

}  // namespace

KernelTable magnify_kernels() { return kEntries; }

void magnify_kernel(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  static const Kernel chosen = fastest_entry(kEntries).run;
  chosen(block, msg, wparam, lparam);
}

}  // namespace virelta::effects
