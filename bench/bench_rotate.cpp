// The rotation kernel, every entry of its table and the chosen one, against
// OpenCV's warpAffine (one thread) and pixman doing the same turns:
// 256 x 256 and 512 x 512 pictures, nearest and bilinear, about the picture's
// centre with a black fill. One iteration turns the picture by each of the
// 37 angles 0, 10, ..., 360.
#include <vector>

#include "bench/bench_shared.h"
#include "effects/rotate_kernel.h"

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

std::vector<Transform> turns() {
  std::vector<Transform> all;
  for (int i = 0; i < kAngles; ++i) all.push_back({static_cast<double>(angle_at(i)), 1.0});
  return all;
}

const int registered = (register_geometric("rotate", virelta::effects::rotate_kernels(),
                                           virelta::effects::rotate_kernel, bench_kernel, turns()),
                        0);

}  // namespace
