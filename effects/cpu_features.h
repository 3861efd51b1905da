// What the processor offers beyond the build's baseline, asked once.
#pragma once

namespace virelta::effects {

// True when the processor (and the system) can run AVX2 code.
bool cpu_has_avx2();

}  // namespace virelta::effects
