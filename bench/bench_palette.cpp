// The palette kernel, every entry of its table and the chosen one, on
// 256 x 256 and 512 x 512 pictures of random bytes: one pair opcode of each
// kind (saturating, wrapping, invert), the noise, grey and two threshold
// rules. The picture is put back before every run (untimed), so the
// saturating rules never settle.
#include <cstring>
#include <vector>

#include "bench/bench_shared.h"
#include "effects/palette_kernel.h"

namespace {

using namespace virelta::bench;

constexpr Effect kEffects[] = {{"brighter", 6, 40}, {"shift", 8, 300}, {"invert", 11, 1}, {"noise", 10, 5},
                               {"grey", 12, 1},     {"dark", 13, 1},   {"threshold", 19, 1}};

void bench_kernel(benchmark::State& state, Kernel kernel, Effect effect, int size) {
  SquarePicture picture(size, 2);
  picture.block.opcode = effect.opcode;
  picture.block.amount = effect.amount;
  const std::vector<std::uint8_t> bytes = random_bytes(picture.store.layer_bytes());
  time_runs(state, picture.store.data(), std::int64_t{size} * size, [&] {
    state.PauseTiming();
    std::memcpy(picture.store.layer(2), bytes.data(), bytes.size());
    state.ResumeTiming();
    kernel(picture.block, virelta::effects::kPaletteNoiseSeed, 0, 0);
  });
}

const int registered = (register_effects("palette", virelta::effects::palette_kernels(),
                                         virelta::effects::palette_kernel, bench_kernel, kEffects),
                        0);

}  // namespace
