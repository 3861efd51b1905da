#include "bench/bench_shared.h"

#include <cstring>
#include <random>
#include <utility>

#if VIRELTA_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace virelta::bench {

std::vector<std::uint8_t> random_bytes(std::size_t count) {
  std::mt19937 random(2024);
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

SquarePicture::SquarePicture(int size, int layer) {
  store.recreate(size, size);
  const std::vector<std::uint8_t> picture = random_bytes(store.layer_bytes());
  std::memcpy(store.layer(layer), picture.data(), picture.size());
  block.width = size;
  block.height = size;
  block.store = store.data();
}

std::uint32_t centre_bits(int size) {
  const float centre = static_cast<float>(size / 2);
  std::uint32_t bits;
  std::memcpy(&bits, &centre, 4);
  return bits;
}

void register_effects(const std::string& family, KernelTable table, Kernel chosen,
                      void (*bench)(benchmark::State&, Kernel, Effect, int), std::span<const Effect> effects) {
  for (int size : {256, 512})
    for (const Effect& effect : effects)
      register_entries(family, table, chosen, std::string(effect.name) + "/" + std::to_string(size), bench, effect,
                       size);
}

void register_geometric(const std::string& family, KernelTable table, Kernel chosen,
                        void (*bench)(benchmark::State&, Kernel, bool, int), GeometricBench opencv,
                        GeometricBench pixman) {
  for (int size : {256, 512}) {
    for (bool bilinear : {false, true}) {
      const std::string tail = std::string(bilinear ? "bilinear/" : "nearest/") + std::to_string(size);
      register_entries(family, table, chosen, tail, bench, bilinear, size);
      for (auto [who, other] : {std::pair{"opencv", opencv}, std::pair{"pixman", pixman}}) {
        if (other == nullptr) continue;
        benchmark::RegisterBenchmark((family + "/" + who + "/" + tail).c_str(), other, bilinear, size)
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

#if VIRELTA_BENCH_OPENCV
void bench_opencv_warps(benchmark::State& state, bool bilinear, int size, const std::vector<cv::Mat>& transforms) {
  cv::setNumThreads(1);
  const std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  cv::Mat source(size, size, CV_8UC4, const_cast<std::uint8_t*>(picture.data()));
  cv::Mat destination(size, size, CV_8UC4);
  const int flags = bilinear ? cv::INTER_LINEAR : cv::INTER_NEAREST;
  time_runs(state, destination.data, static_cast<std::int64_t>(transforms.size()) * size * size, [&] {
    for (const cv::Mat& transform : transforms)
      cv::warpAffine(source, destination, transform, destination.size(), flags, cv::BORDER_CONSTANT, cv::Scalar());
  });
}
#endif

#if VIRELTA_BENCH_PIXMAN
void bench_pixman_transforms(benchmark::State& state, bool bilinear, int size,
                             const std::vector<pixman_f_transform_t>& transforms) {
  std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size) * size);
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_x8r8g8b8, size, size,
                                                    reinterpret_cast<std::uint32_t*>(picture.data()), size * 4);
  pixman_image_t* destination = pixman_image_create_bits(PIXMAN_x8r8g8b8, size, size, out.data(), size * 4);
  pixman_image_set_filter(source, bilinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
  std::vector<pixman_transform_t> fixed(transforms.size());
  for (std::size_t i = 0; i < transforms.size(); ++i) pixman_transform_from_pixman_f_transform(&fixed[i], &transforms[i]);
  time_runs(state, out.data(), static_cast<std::int64_t>(transforms.size()) * size * size, [&] {
    for (const pixman_transform_t& transform : fixed) {
      pixman_image_set_transform(source, &transform);
      pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, destination, 0, 0, 0, 0, 0, 0, size, size);
    }
  });
  pixman_image_unref(source);
  pixman_image_unref(destination);
}
#endif

}  // namespace virelta::bench
