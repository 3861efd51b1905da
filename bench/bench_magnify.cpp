// The magnify kernel, plain, fast and fast without AVX2 ("baseline"),
// against OpenCV's warpAffine (one thread) and pixman doing the same
// scaling: 256 x 256 and 512 x 512 pictures, nearest and bilinear, about
// the picture's centre with a black fill. One iteration scales the picture
// by each factor 0.5, 0.8, 1.3, 2 and 3.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/magnify_kernel.h"
#include "effects/magnify_kernel_shared.h"
#include "effects/pixel_store.h"

#if VIRELTA_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif
#if VIRELTA_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {

using virelta::effects::Kernel;
using virelta::effects::KernelBlock;
using virelta::effects::PixelStore;

constexpr int kSizes[] = {256, 512};
constexpr std::int32_t kTenths[] = {5, 8, 13, 20, 30};
constexpr int kFactors = static_cast<int>(std::size(kTenths));

void count_pixels(benchmark::State& state, int size) {
  state.SetItemsProcessed(state.iterations() * kFactors * static_cast<std::int64_t>(size) * size);
}

std::vector<std::uint8_t> random_bytes(std::size_t count) {
  std::mt19937 random(2024);
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void bench_kernel(benchmark::State& state, Kernel kernel, bool bilinear, int size) {
  PixelStore store;
  store.recreate(size, size);
  const std::vector<std::uint8_t> picture = random_bytes(store.layer_bytes());
  std::memcpy(store.layer(3), picture.data(), picture.size());
  KernelBlock block;
  block.width = size;
  block.height = size;
  block.store = store.data();
  block.colour = 0;
  block.opcode = bilinear ? 1 : 0;
  const float centre = static_cast<float>(size / 2);
  std::uint32_t centre_bits;
  std::memcpy(&centre_bits, &centre, 4);
  for (auto _ : state) {
    for (std::int32_t q : kTenths) kernel(block, centre_bits, centre_bits, static_cast<std::uint32_t>(q));
    benchmark::DoNotOptimize(store.data());
    benchmark::ClobberMemory();
  }
  count_pixels(state, size);
}

#if VIRELTA_BENCH_OPENCV
void bench_opencv(benchmark::State& state, bool bilinear, int size) {
  cv::setNumThreads(1);
  const std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  cv::Mat source(size, size, CV_8UC4, const_cast<std::uint8_t*>(picture.data()));
  cv::Mat destination(size, size, CV_8UC4);
  std::vector<cv::Mat> scales;
  for (std::int32_t q : kTenths)
    scales.push_back(cv::getRotationMatrix2D(cv::Point2f(size / 2.0f, size / 2.0f), 0.0, q / 10.0));
  const int flags = bilinear ? cv::INTER_LINEAR : cv::INTER_NEAREST;
  for (auto _ : state) {
    for (const cv::Mat& scale : scales)
      cv::warpAffine(source, destination, scale, destination.size(), flags, cv::BORDER_CONSTANT, cv::Scalar());
    benchmark::DoNotOptimize(destination.data);
    benchmark::ClobberMemory();
  }
  count_pixels(state, size);
}
#endif

#if VIRELTA_BENCH_PIXMAN
void bench_pixman(benchmark::State& state, bool bilinear, int size) {
  std::vector<std::uint8_t> picture = random_bytes(static_cast<std::size_t>(size) * size * 4);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(size) * size);
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_x8r8g8b8, size, size,
                                                    reinterpret_cast<std::uint32_t*>(picture.data()), size * 4);
  pixman_image_t* destination = pixman_image_create_bits(PIXMAN_x8r8g8b8, size, size, out.data(), size * 4);
  pixman_image_set_filter(source, bilinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_NONE);
  // Destination to source: scale by 1 / factor about the centre.
  std::vector<pixman_transform_t> scales(kFactors);
  const double centre = size / 2.0;
  for (int i = 0; i < kFactors; ++i) {
    const double s = 10.0 / kTenths[i];
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = s;
    f.m[0][2] = centre - s * centre;
    f.m[1][1] = s;
    f.m[1][2] = centre - s * centre;
    pixman_transform_from_pixman_f_transform(&scales[i], &f);
  }
  for (auto _ : state) {
    for (const pixman_transform_t& scale : scales) {
      pixman_image_set_transform(source, &scale);
      pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, destination, 0, 0, 0, 0, 0, 0, size, size);
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  count_pixels(state, size);
  pixman_image_unref(source);
  pixman_image_unref(destination);
}
#endif

void register_all() {
  for (int size : kSizes) {
    for (bool bilinear : {false, true}) {
      const std::string tail = std::string(bilinear ? "bilinear/" : "nearest/") + std::to_string(size);
      benchmark::RegisterBenchmark(("magnify/plain/" + tail).c_str(), bench_kernel,
                                   virelta::effects::magnify_kernel_plain, bilinear, size)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("magnify/fast/" + tail).c_str(), bench_kernel, virelta::effects::magnify_kernel,
                                   bilinear, size)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("magnify/sse2/" + tail).c_str(), bench_kernel,
                                   virelta::effects::magnify_simd::magnify_kernel_sse2, bilinear, size)
          ->Unit(benchmark::kMicrosecond);
#if VIRELTA_BENCH_OPENCV
      benchmark::RegisterBenchmark(("magnify/opencv/" + tail).c_str(), bench_opencv, bilinear, size)
          ->Unit(benchmark::kMicrosecond);
#endif
#if VIRELTA_BENCH_PIXMAN
      benchmark::RegisterBenchmark(("magnify/pixman/" + tail).c_str(), bench_pixman, bilinear, size)
          ->Unit(benchmark::kMicrosecond);
#endif
    }
  }
}

const int registered = (register_all(), 0);

}  // namespace
