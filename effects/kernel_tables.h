// The engine's kernel families, each with its table of entries and its
// kernel: the fastest entry this processor runs, chosen at the first call.
// Each family's own header says what the kernel does and declares its plain
// entry, the rule as written.
#pragma once

#include "effects/cpu_features.h"
#include "effects/kernel_block.h"

namespace virelta::effects {

// The entries of a family, slowest first, every one giving the plain entry's
// bytes: plain, sse2 and avx2, with avx512 for the rotation and no avx2 for
// the colour exchange.
KernelTable rotate_kernels();
KernelTable palette_kernels();
KernelTable magnify_kernels();
KernelTable pixel_effects_kernels();
KernelTable colour_exchange_kernels();

// The family kernels the engine calls.
extern const Kernel rotate_kernel, palette_kernel, magnify_kernel, pixel_effects_kernel, colour_exchange_kernel;

}  // namespace virelta::effects
