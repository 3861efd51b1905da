#include "bench/bench_shared.h"

#include <cmath>
#include <cstring>
#include <random>

#if VIRELTA_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif
#if VIRELTA_BENCH_PIXMAN
#include <pixman.h>
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

namespace {

#if VIRELTA_BENCH_OPENCV
void bench_opencv(benchmark::State& state, bool bilinear, int size, const std::vector<Transform>& transforms) {
  cv::setNumThreads(1);
  const std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  cv::Mat source(size, size, CV_8UC4, const_cast<std::uint8_t*>(picture.data()));
  cv::Mat destination(size, size, CV_8UC4);
  std::vector<cv::Mat> matrices;
  for (const Transform& t : transforms)
    matrices.push_back(cv::getRotationMatrix2D(cv::Point2f(size / 2.0f, size / 2.0f), t.degrees, t.scale));
  const int flags = bilinear ? cv::INTER_LINEAR : cv::INTER_NEAREST;
  time_runs(state, destination.data, static_cast<std::int64_t>(transforms.size()) * size * size, [&] {
    for (const cv::Mat& matrix : matrices)
      cv::warpAffine(source, destination, matrix, destination.size(), flags, cv::BORDER_CONSTANT, cv::Scalar());
  });
}
#endif

#if VIRELTA_BENCH_PIXMAN
void bench_pixman(benchmark::State& state, bool bilinear, int size, const std::vector<Transform>& transforms) {
  std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size) * size);
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_x8r8g8b8, size, size,
                                                    reinterpret_cast<std::uint32_t*>(picture.data()), size * 4);
  pixman_image_t* destination = pixman_image_create_bits(PIXMAN_x8r8g8b8, size, size, out.data(), size * 4);
  pixman_image_set_filter(source, bilinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
  // Destination to source: the inverse turn and scaling about the centre.
  std::vector<pixman_transform_t> matrices(transforms.size());
  const double centre = size / 2.0;
  for (std::size_t i = 0; i < transforms.size(); ++i) {
    const double theta = transforms[i].degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(theta) / transforms[i].scale;
    const double s = std::sin(theta) / transforms[i].scale;
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = c;
    f.m[0][1] = -s;
    f.m[0][2] = centre - c * centre + s * centre;
    f.m[1][0] = s;
    f.m[1][1] = c;
    f.m[1][2] = centre - s * centre - c * centre;
    pixman_transform_from_pixman_f_transform(&matrices[i], &f);
  }
  time_runs(state, out.data(), static_cast<std::int64_t>(transforms.size()) * size * size, [&] {
    for (const pixman_transform_t& matrix : matrices) {
      pixman_image_set_transform(source, &matrix);
      pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, destination, 0, 0, 0, 0, 0, 0, size, size);
    }
  });
  pixman_image_unref(source);
  pixman_image_unref(destination);
}
#endif

}  // namespace

void register_geometric(const std::string& family, KernelTable table, Kernel chosen,
                        void (*bench)(benchmark::State&, Kernel, bool, int), std::vector<Transform> transforms) {
  for (int size : {256, 512}) {
    for (bool bilinear : {false, true}) {
      const std::string tail = std::string(bilinear ? "bilinear/" : "nearest/") + std::to_string(size);
      register_entries(family, table, chosen, tail, bench, bilinear, size);
#if VIRELTA_BENCH_OPENCV
      benchmark::RegisterBenchmark((family + "/opencv/" + tail).c_str(), bench_opencv, bilinear, size, transforms)
          ->Unit(benchmark::kMicrosecond);
#endif
#if VIRELTA_BENCH_PIXMAN
      benchmark::RegisterBenchmark((family + "/pixman/" + tail).c_str(), bench_pixman, bilinear, size, transforms)
          ->Unit(benchmark::kMicrosecond);
#endif
    }
  }
}

}  // namespace virelta::bench
