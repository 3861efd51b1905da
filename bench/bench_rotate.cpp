// The rotation kernel, every entry of its table and the chosen one, against OpenCV's warpAffine (one
// thread) and pixman doing the same turns: 256 x 256 and 512 x 512 pictures,
// nearest and bilinear, about the picture's centre with a black fill. One
// iteration turns the picture by each of the 37 angles 0, 10, ..., 360.
#include <cmath>
#include <string>
#include <vector>

#include "bench/bench_shared.h"
#include "effects/rotate_kernel.h"

#if VIRELTA_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

using namespace virelta::bench;

constexpr int kAngles = 37;

int angle_at(int i) { return 10 * i; }

void bench_kernel(benchmark::State& state, Kernel kernel, bool bilinear, int size) {
  SquarePicture picture(size, 1);
  picture.block.opcode = bilinear ? 3 : 2;
  const std::uint32_t centre = centre_bits(size);
  time_runs(state, picture.store.data(), std::int64_t{kAngles} * size * size, [&] {
    for (int i = 0; i < kAngles; ++i)
      kernel(picture.block, centre, centre, static_cast<std::uint32_t>(angle_at(i) + 360));
  });
}

#if VIRELTA_BENCH_OPENCV
void bench_opencv(benchmark::State& state, bool bilinear, int size) {
  std::vector<cv::Mat> turns;
  for (int i = 0; i < kAngles; ++i)
    turns.push_back(cv::getRotationMatrix2D(cv::Point2f(size / 2.0f, size / 2.0f), angle_at(i), 1.0));
  bench_opencv_warps(state, bilinear, size, turns);
}
#else
constexpr GeometricBench bench_opencv = nullptr;
#endif

#if VIRELTA_BENCH_PIXMAN
void bench_pixman(benchmark::State& state, bool bilinear, int size) {
  // Destination to source: turn about the centre.
  std::vector<pixman_f_transform_t> turns(kAngles);
  const double centre = size / 2.0;
  for (int i = 0; i < kAngles; ++i) {
    const double theta = angle_at(i) * 3.14159265358979323846 / 180.0;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    pixman_f_transform_t& f = turns[i];
    pixman_f_transform_init_identity(&f);
    f.m[0][0] = c;
    f.m[0][1] = -s;
    f.m[0][2] = centre - c * centre + s * centre;
    f.m[1][0] = s;
    f.m[1][1] = c;
    f.m[1][2] = centre - s * centre - c * centre;
  }
  bench_pixman_transforms(state, bilinear, size, turns);
}
#else
constexpr GeometricBench bench_pixman = nullptr;
#endif

void register_all() {
  register_geometric("rotate", virelta::effects::rotate_kernels(), virelta::effects::rotate_kernel, bench_kernel,
                     bench_opencv, bench_pixman);
}

const int registered = (register_all(), 0);

}  // namespace
