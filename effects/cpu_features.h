// What the processor offers beyond the build's baseline, asked once, and the
// table through which every kernel family picks its fastest entry.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "effects/kernel_block.h"

namespace virelta::effects {

// Each true only where the processor and the system both support it.
bool cpu_has_sse2();
// AVX2 together with fused multiply-add (every AVX2 kernel may use both).
bool cpu_has_avx2_fma();
// AVX-512 F, BW, DQ and VL, with the system saving the wide registers.
bool cpu_has_avx512();
inline bool cpu_runs_anything() { return true; }

// One way to run a family's kernel: "plain", "sse2", "avx2", "avx512".
struct KernelEntry {
  const char* name;
  Kernel run;
  bool (*runs_here)();
};

// A family's entries, slowest first, all giving the same bytes. The last one
// this processor runs is the family's kernel, chosen once, at its first use.
using KernelTable = std::span<const KernelEntry>;

const KernelEntry& fastest_entry(KernelTable table);
const KernelEntry* find_entry(KernelTable table, const std::string& name);

// The entries this processor runs. The others are named once on standard
// output, so that a test or benchmark run says what it could not reach.
std::vector<KernelEntry> entries_run_here(const char* family, KernelTable table);

}  // namespace virelta::effects
