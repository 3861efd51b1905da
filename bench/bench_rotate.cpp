// The rotation kernel, every entry of its table and the chosen one, against OpenCV's warpAffine (one
// thread) and pixman doing the same turns: 256 x 256 and 512 x 512 pictures,
// nearest and bilinear, about the picture's centre with a black fill. One
// iteration turns the picture by each of the 37 angles 0, 10, ..., 360.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/pixel_store.h"
#include "effects/rotate_kernel.h"

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
constexpr int kAngles = 37;

int angle_at(int i) { return 10 * i; }

void count_pixels(benchmark::State& state, int size) {
  state.SetItemsProcessed(state.iterations() * kAngles * static_cast<std::int64_t>(size) * size);
}

std::vector<std::uint8_t> random_bytes(std::size_t count) {
  std::mt19937 random(2024);
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

void bench_kernel(benchmark::State& state, Kernel kernel, bool bilinear, int size, const char* label = nullptr) {
  if (label) state.SetLabel(label);
  PixelStore store;
  store.recreate(size, size);
  const std::vector<std::uint8_t> picture = random_bytes(store.layer_bytes());
  std::memcpy(store.layer(1), picture.data(), picture.size());
  KernelBlock block;
  block.width = size;
  block.height = size;
  block.store = store.data();
  block.colour = 0;
  block.opcode = bilinear ? 3 : 2;
  const float centre = static_cast<float>(size / 2);
  std::uint32_t centre_bits;
  std::memcpy(&centre_bits, &centre, 4);
  for (auto _ : state) {
    for (int i = 0; i < kAngles; ++i) {
      kernel(block, centre_bits, centre_bits, static_cast<std::uint32_t>(angle_at(i) + 360));
    }
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
  std::vector<cv::Mat> turns;
  for (int i = 0; i < kAngles; ++i) {
    turns.push_back(cv::getRotationMatrix2D(cv::Point2f(size / 2.0f, size / 2.0f), angle_at(i), 1.0));
  }
  const int flags = bilinear ? cv::INTER_LINEAR : cv::INTER_NEAREST;
  for (auto _ : state) {
    for (const cv::Mat& turn : turns) {
      cv::warpAffine(source, destination, turn, destination.size(), flags, cv::BORDER_CONSTANT, cv::Scalar());
    }
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
  // Destination to source: turn about the centre.
  std::vector<pixman_transform_t> turns(kAngles);
  const double centre = size / 2.0;
  for (int i = 0; i < kAngles; ++i) {
    const double theta = angle_at(i) * 3.14159265358979323846 / 180.0;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    pixman_f_transform_t f;
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = c;
    f.m[0][1] = -s;
    f.m[0][2] = centre - c * centre + s * centre;
    f.m[1][0] = s;
    f.m[1][1] = c;
    f.m[1][2] = centre - s * centre - c * centre;
    pixman_transform_from_pixman_f_transform(&turns[i], &f);
  }
  for (auto _ : state) {
    for (const pixman_transform_t& turn : turns) {
      pixman_image_set_transform(source, &turn);
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
      // Every entry this processor runs by its name, and the chosen one as
      // "fast", labelled with the entry it is.
      const virelta::effects::KernelTable table = virelta::effects::rotate_kernels();
      for (const virelta::effects::KernelEntry& entry : table) {
        if (!entry.runs_here()) continue;
        benchmark::RegisterBenchmark(("rotate/" + std::string(entry.name) + "/" + tail).c_str(), bench_kernel,
                                     entry.run, bilinear, size, nullptr)
            ->Unit(benchmark::kMicrosecond);
      }
      benchmark::RegisterBenchmark(("rotate/fast/" + tail).c_str(), bench_kernel, virelta::effects::rotate_kernel,
                                   bilinear, size, virelta::effects::fastest_entry(table).name)
          ->Unit(benchmark::kMicrosecond);
#if VIRELTA_BENCH_OPENCV
      benchmark::RegisterBenchmark(("rotate/opencv/" + tail).c_str(), bench_opencv, bilinear, size)
          ->Unit(benchmark::kMicrosecond);
#endif
#if VIRELTA_BENCH_PIXMAN
      benchmark::RegisterBenchmark(("rotate/pixman/" + tail).c_str(), bench_pixman, bilinear, size)
          ->Unit(benchmark::kMicrosecond);
#endif
    }
  }
}

const int registered = (register_all(), 0);

}  // namespace
