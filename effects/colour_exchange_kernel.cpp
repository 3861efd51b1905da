#include "effects/colour_exchange_kernel.h"

#include "effects/colour_exchange_kernel_shared.h"

namespace virelta::effects {

namespace {

constexpr KernelEntry kEntries[] = {
    {"plain", colour_exchange_kernel_plain, cpu_runs_anything},
    {"sse2", colour_exchange_detail::colour_exchange_kernel_sse2, cpu_has_sse2},
};

}  // namespace

KernelTable colour_exchange_kernels() { return kEntries; }

void colour_exchange_kernel(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  static const Kernel chosen = fastest_entry(kEntries).run;
  chosen(block, msg, wparam, lparam);
}

}  // namespace virelta::effects
