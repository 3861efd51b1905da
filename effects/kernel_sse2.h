// Whether this build may use SSE2 everywhere (VIRELTA_SSE2), and the x87
// unit's way of storing a double as an integer, which several kernels share.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define VIRELTA_SSE2 1
#include <emmintrin.h>
#endif

namespace virelta::effects {

// An integer stored the way the x87 unit stores one: the value is already
// rounded; NaN and anything outside 32 bits give the "integer indefinite".
inline std::int32_t to_int32_or_indefinite(double rounded) {
  if (rounded >= -2147483648.0 && rounded <= 2147483647.0) return static_cast<std::int32_t>(rounded);
  return INT32_MIN;
}

// `value` rounded half to even and stored that way. Only for files built for
// the baseline instruction set.
inline std::int32_t rounded_int32(double value) {
#ifdef VIRELTA_SSE2
  // cvtsd2si rounds half to even in the default mode and gives 0x80000000 for
  // NaN and overflow, just like the x87 store.
  return _mm_cvtsd_si32(_mm_set_sd(value));
#else
  return to_int32_or_indefinite(std::nearbyint(value));
#endif
}

}  // namespace virelta::effects
