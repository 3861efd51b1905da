// A step of the animation allocates nothing: every new in this test program
// is counted, and the count must not move from one step's frame to the next.
#include <atomic>
#include <cstdlib>
#include <new>

#include "saver_fixture.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace virelta::saver::testing {
namespace {

using AllocationTest = SaverTest;

TEST_F(AllocationTest, StepsAllocateNothing) {
  use_screen(640, 480);
  Virelta_S& s = load();
  std::vector<long> per_step;
  per_step.reserve(200);
  long last = -1;
  s.on_frame = [&](std::optional<int> angle) {
    long now = allocations.load();
    if (angle && last >= 0) per_step.push_back(now - last);
    last = angle ? allocations.load() : -1;
  };
  machine->advance(1);
  machine->advance(1);
  ASSERT_EQ(per_step.size(), 2 * 36u);
  for (std::size_t i = 0; i < per_step.size(); ++i) EXPECT_EQ(per_step[i], 0) << "step " << i + 1;
}

}  // namespace
}  // namespace virelta::saver::testing
