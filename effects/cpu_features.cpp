#include "effects/cpu_features.h"

#if defined(_MSC_VER)
#include <intrin.h>
#endif

namespace virelta::effects {

bool cpu_has_avx2() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  static const bool present = __builtin_cpu_supports("avx2");
  return present;
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
  static const bool present = [] {
    int info[4];
    __cpuid(info, 0);
    if (info[0] < 7) return false;
    __cpuidex(info, 7, 0);
    bool avx2 = (info[1] & (1 << 5)) != 0;
    __cpuid(info, 1);
    bool os_saves_ymm = (info[2] & (1 << 27)) != 0 && (_xgetbv(0) & 6) == 6;
    return avx2 && os_saves_ymm;
  }();
  return present;
#else
  return false;
#endif
}

}  // namespace virelta::effects
