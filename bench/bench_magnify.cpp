// The magnify kernel, every entry of its table and the chosen one, against
// OpenCV's warpAffine (one thread) and pixman doing the same scaling:
// 256 x 256 and 512 x 512 pictures, nearest and bilinear, about the
// picture's centre with a black fill. One iteration scales the picture by
// each factor 0.5, 0.8, 1.3, 2 and 3.
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_shared.h"
#include "effects/magnify_kernel.h"

#if VIRELTA_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

using namespace virelta::bench;

constexpr std::int32_t kTenths[] = {5, 8, 13, 20, 30};
constexpr int kFactors = static_cast<int>(std::size(kTenths));

void bench_kernel(benchmark::State& state, Kernel kernel, bool bilinear, int size) {
  SquarePicture picture(size, 3);
  picture.block.opcode = bilinear ? 1 : 0;
  const std::uint32_t centre = centre_bits(size);
  time_runs(state, picture.store.data(), std::int64_t{kFactors} * size * size, [&] {
    for (std::int32_t q : kTenths) kernel(picture.block, centre, centre, static_cast<std::uint32_t>(q));
  });
}

#if VIRELTA_BENCH_OPENCV
void bench_opencv(benchmark::State& state, bool bilinear, int size) {
  std::vector<cv::Mat> scales;
  for (std::int32_t q : kTenths)
    scales.push_back(cv::getRotationMatrix2D(cv::Point2f(size / 2.0f, size / 2.0f), 0.0, q / 10.0));
  bench_opencv_warps(state, bilinear, size, scales);
}
#else
constexpr GeometricBench bench_opencv = nullptr;
#endif

#if VIRELTA_BENCH_PIXMAN
void bench_pixman(benchmark::State& state, bool bilinear, int size) {
  // Destination to source: scale by 1 / factor about the centre.
  std::vector<pixman_f_transform_t> scales(kFactors);
  const double centre = size / 2.0;
  for (int i = 0; i < kFactors; ++i) {
    const double s = 10.0 / kTenths[i];
    pixman_f_transform_t& f = scales[i];
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = s;
    f.m[0][2] = centre - s * centre;
    f.m[1][1] = s;
    f.m[1][2] = centre - s * centre;
  }
  bench_pixman_transforms(state, bilinear, size, scales);
}
#else
constexpr GeometricBench bench_pixman = nullptr;
#endif

void register_all() {
  register_geometric("magnify", virelta::effects::magnify_kernels(), virelta::effects::magnify_kernel, bench_kernel,
                     bench_opencv, bench_pixman);
}

const int registered = (register_all(), 0);

}  // namespace
