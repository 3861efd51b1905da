// The magnify kernel, every entry of its table and the chosen one, against
// OpenCV's warpAffine (one thread) and pixman doing the same scaling:
// 256 x 256 and 512 x 512 pictures, nearest and bilinear, about the
// picture's centre with a black fill. One iteration scales the picture by
// each factor 0.5, 0.8, 1.3, 2 and 3.
#include <iterator>
#include <vector>

#include "bench/bench_shared.h"
#include "effects/magnify_kernel.h"

namespace {

using namespace virelta::bench;

constexpr std::int32_t kTenths[] = {5, 8, 13, 20, 30};

void bench_kernel(benchmark::State& state, Kernel kernel, bool bilinear, int size) {
  SquarePicture picture(size, 3);
  picture.block.opcode = bilinear ? 1 : 0;
  const std::uint32_t centre = centre_bits(size);
  time_runs(state, picture.store.data(), std::int64_t{std::size(kTenths)} * size * size, [&] {
    for (std::int32_t q : kTenths) kernel(picture.block, centre, centre, static_cast<std::uint32_t>(q));
  });
}

std::vector<Transform> scales() {
  std::vector<Transform> all;
  for (std::int32_t q : kTenths) all.push_back({0.0, q / 10.0});
  return all;
}

const int registered = (register_geometric("magnify", virelta::effects::magnify_kernels(),
                                           virelta::effects::magnify_kernel, bench_kernel, scales()),
                        0);

}  // namespace
