#include "effects/rotate_kernel.h"

#include "effects/rotate_kernel_shared.h"

namespace virelta::effects {

namespace {

bool cpu_has_vector_path() {
  // The SSE2 file is empty (and would run the plain rule) without SSE2.
#if defined(__SSE2__)
  return cpu_has_sse2();
#else
  return false;
#endif
}

constexpr KernelEntry kEntries[] = {
    {"plain", rotate_kernel_plain, cpu_runs_anything},
    {"sse2", rotate_detail::rotate_kernel_sse2, cpu_has_vector_path},
    {"avx2", rotate_detail::rotate_kernel_avx2, cpu_has_avx2_fma},
    {"avx512", rotate_detail::rotate_kernel_avx512, cpu_has_avx512},
};

}  // namespace

KernelTable rotate_kernels() { return kEntries; }

void rotate_kernel(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  static const Kernel chosen = fastest_entry(kEntries).run;
  chosen(block, msg, wparam, lparam);
}

}  // namespace virelta::effects
