#include "effects/cpu_features.h"

#include <cstdio>

namespace virelta::effects {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// __builtin_cpu_supports checks the system's register saving as well.
bool cpu_has_sse2() {
  static const bool present = __builtin_cpu_supports("sse2");
  return present;
}
bool cpu_has_avx2_fma() {
  static const bool present = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return present;
}
bool cpu_has_avx512() {
  static const bool present = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                              __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl");
  return present;
}
#else
bool cpu_has_sse2() { return false; }
bool cpu_has_avx2_fma() { return false; }
bool cpu_has_avx512() { return false; }
#endif

const KernelEntry& fastest_entry(KernelTable table) {
  const KernelEntry* chosen = &table.front();
  for (const KernelEntry& entry : table)
    if (entry.runs_here()) chosen = &entry;
  return *chosen;
}

const KernelEntry* find_entry(KernelTable table, const std::string& name) {
  for (const KernelEntry& entry : table)
    if (name == entry.name) return &entry;
  return nullptr;
}

std::vector<KernelEntry> entries_run_here(const char* family, KernelTable table) {
  std::vector<KernelEntry> entries;
  for (const KernelEntry& entry : table) {
    if (entry.runs_here()) {
      entries.push_back(entry);
    } else {
      std::printf("%s entry %s: not run, this processor lacks it\n", family, entry.name);
    }
  }
  return entries;
}

}  // namespace virelta::effects
