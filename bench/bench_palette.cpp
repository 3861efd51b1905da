// The palette kernel, plain, fast and fast without AVX2 ("baseline"), on
// 256 x 256 and 512 x 512 pictures of random bytes: one pair opcode of each
// kind (saturating, wrapping, invert), the noise, grey and two threshold
// rules. The picture is put back before every run (untimed), so the
// saturating rules never settle.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/palette_kernel.h"
#include "effects/palette_kernel_shared.h"
#include "effects/pixel_store.h"

namespace {

using virelta::effects::Kernel;
using virelta::effects::KernelBlock;
using virelta::effects::PixelStore;

struct Effect {
  const char* name;
  std::int32_t opcode;
  std::int32_t amount;
};

constexpr Effect kEffects[] = {{"brighter", 6, 40}, {"shift", 8, 300}, {"invert", 11, 1}, {"noise", 10, 5},
                               {"grey", 12, 1},     {"dark", 13, 1},   {"threshold", 19, 1}};
constexpr int kSizes[] = {256, 512};

void bench_kernel(benchmark::State& state, Kernel kernel, Effect effect, int size) {
  PixelStore store;
  store.recreate(size, size);
  std::mt19937 random(2024);
  std::vector<std::uint8_t> picture(store.layer_bytes());
  for (auto& b : picture) b = static_cast<std::uint8_t>(random());
  KernelBlock block;
  block.width = size;
  block.height = size;
  block.store = store.data();
  block.opcode = effect.opcode;
  block.amount = effect.amount;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(store.layer(2), picture.data(), picture.size());
    state.ResumeTiming();
    kernel(block, virelta::effects::kPaletteNoiseSeed, 0, 0);
    benchmark::DoNotOptimize(store.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(size) * size);
}

void register_all() {
  for (int size : kSizes) {
    for (const Effect& effect : kEffects) {
      const std::string tail = std::string(effect.name) + "/" + std::to_string(size);
      benchmark::RegisterBenchmark(("palette/plain/" + tail).c_str(), bench_kernel,
                                   virelta::effects::palette_kernel_plain, effect, size)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("palette/fast/" + tail).c_str(), bench_kernel, virelta::effects::palette_kernel,
                                   effect, size)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("palette/sse2/" + tail).c_str(), bench_kernel,
                                   virelta::effects::palette_simd::palette_kernel_sse2, effect, size)
          ->Unit(benchmark::kMicrosecond);
    }
  }
}

const int registered = (register_all(), 0);

}  // namespace
