// The pixel effects kernel, plain against fast, on 256 x 256 and 512 x 512
// random pictures: each blur, the edge filter, relief, the wave (amount 10,
// table built outside the timing), emboss and the twirl. The 3 x 3 filters
// are also set beside OpenCV's filter2D (one thread) doing the same
// neighbourhood sum on the four bytes of each pixel.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/pixel_effects_kernel.h"
#include "effects/pixel_store.h"

#if VIRELTA_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

using virelta::effects::Kernel;
using virelta::effects::KernelBlock;
using virelta::effects::PixelStore;

constexpr int kSizes[] = {256, 512};

struct Effect {
  const char* name;
  std::int32_t opcode;
  std::int32_t amount;
};
constexpr Effect kEffects[] = {{"blur1", 0, 1}, {"blur2", 0, 2}, {"blur4", 0, 4}, {"blur8", 0, 8},
                               {"edge", 1, 1},  {"relief", 2, 1}, {"wave", 3, 10}, {"emboss", 4, 1},
                               {"twirl", 5, 3}};

std::vector<std::uint8_t> random_bytes(std::size_t count) {
  std::mt19937 random(2024);
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void bench_kernel(benchmark::State& state, Kernel kernel, Effect effect, int size) {
  PixelStore store;
  store.recreate(size, size);
  const std::vector<std::uint8_t> picture = random_bytes(store.layer_bytes());
  std::memcpy(store.layer(3), picture.data(), picture.size());
  KernelBlock block;
  block.width = size;
  block.height = size;
  block.store = store.data();
  block.amount = effect.amount;
  block.colour = 0x204060;
  block.opcode = effect.opcode;
  const std::vector<float> table = virelta::effects::build_wave_table(effect.amount, size, size);
  virelta::effects::WaveTableWords words{virelta::effects::kPixelEffectsWParam, virelta::effects::kPixelEffectsLParam};
  if (effect.opcode == 3) words = virelta::effects::wave_table_words(table.data());
  for (auto _ : state) {
    kernel(block, virelta::effects::kPixelEffectsMsg, words.wparam, words.lparam);
    benchmark::DoNotOptimize(store.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(size) * size);
}

#if VIRELTA_BENCH_OPENCV
void bench_opencv(benchmark::State& state, Effect effect, int size) {
  cv::setNumThreads(1);
  const std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  cv::Mat source(size, size, CV_8UC4, const_cast<std::uint8_t*>(picture.data()));
  cv::Mat destination(size, size, CV_8UC4);
  cv::Mat weights;
  double delta = 0;
  if (effect.opcode == 0) {
    weights = (cv::Mat_<float>(3, 3) << 1, 1, 1, 1, 0, 1, 1, 1, 1) / 8.0;
  } else if (effect.opcode == 1) {
    weights = (cv::Mat_<float>(3, 3) << -1, -1, -1, -1, 8, -1, -1, -1, -1);
    delta = 0x40;
  } else {
    weights = (cv::Mat_<float>(3, 3) << 0, 1, 2, -1, 1, 1, -2, -1, 0) / 2.0;
    delta = 50;
  }
  for (auto _ : state) {
    cv::filter2D(source, destination, -1, weights, cv::Point(-1, -1), delta, cv::BORDER_REPLICATE);
    benchmark::DoNotOptimize(destination.data);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(size) * size);
}
#endif

void register_all() {
  for (int size : kSizes)
    for (const Effect& effect : kEffects) {
      const std::string tail = std::string(effect.name) + "/" + std::to_string(size);
      benchmark::RegisterBenchmark(("pixel_effects/plain/" + tail).c_str(), bench_kernel,
                                   virelta::effects::pixel_effects_kernel_plain, effect, size)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("pixel_effects/fast/" + tail).c_str(), bench_kernel,
                                   virelta::effects::pixel_effects_kernel, effect, size)
          ->Unit(benchmark::kMicrosecond);
#if VIRELTA_BENCH_OPENCV
      if (effect.opcode == 1 || effect.opcode == 4 || (effect.opcode == 0 && effect.amount == 8))
        benchmark::RegisterBenchmark(("pixel_effects/opencv/" + tail).c_str(), bench_opencv, effect, size)
            ->Unit(benchmark::kMicrosecond);
#endif
    }
}

const int registered = (register_all(), 0);

}  // namespace
