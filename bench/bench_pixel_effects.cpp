// The pixel effects kernel, every entry of its table and the chosen one, on
// 256 x 256 and 512 x 512 random pictures: each blur, the edge filter,
// relief, the wave (amount 10, table built outside the timing), emboss and
// the twirl. The 3 x 3 filters are also set beside OpenCV's filter2D (one
// thread) doing the same neighbourhood sum on the four bytes of each pixel.
#include <string>
#include <vector>

#include "bench/bench_shared.h"
#include "effects/pixel_effects_kernel.h"

#if VIRELTA_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

using namespace virelta::bench;

constexpr Effect kEffects[] = {{"blur1", 0, 1}, {"blur2", 0, 2}, {"blur4", 0, 4}, {"blur8", 0, 8},
                               {"edge", 1, 1},  {"relief", 2, 1}, {"wave", 3, 10}, {"emboss", 4, 1},
                               {"twirl", 5, 3}};

void bench_kernel(benchmark::State& state, Kernel kernel, Effect effect, int size) {
  SquarePicture picture(size, 3);
  picture.block.amount = effect.amount;
  picture.block.colour = 0x204060;
  picture.block.opcode = effect.opcode;
  const std::vector<float> table = virelta::effects::build_wave_table(effect.amount, size, size);
  virelta::effects::WaveTableWords words{virelta::effects::kPixelEffectsWParam, virelta::effects::kPixelEffectsLParam};
  if (effect.opcode == 3) words = virelta::effects::wave_table_words(table.data());
  time_runs(state, picture.store.data(), std::int64_t{size} * size,
            [&] { kernel(picture.block, virelta::effects::kPixelEffectsMsg, words.wparam, words.lparam); });
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
  time_runs(state, destination.data, std::int64_t{size} * size, [&] {
    cv::filter2D(source, destination, -1, weights, cv::Point(-1, -1), delta, cv::BORDER_REPLICATE);
  });
}
#endif

void register_all() {
  register_effects("pixel_effects", virelta::effects::pixel_effects_kernels(), virelta::effects::pixel_effects_kernel,
                   bench_kernel, kEffects);
#if VIRELTA_BENCH_OPENCV
  for (int size : {256, 512})
    for (const Effect& effect : kEffects)
      if (effect.opcode == 1 || effect.opcode == 4 || (effect.opcode == 0 && effect.amount == 8))
        benchmark::RegisterBenchmark(("pixel_effects/opencv/" + std::string(effect.name) + "/" + std::to_string(size)).c_str(),
                                     bench_opencv, effect, size)
            ->Unit(benchmark::kMicrosecond);
#endif
}

const int registered = (register_all(), 0);

}  // namespace
