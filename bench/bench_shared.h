// What the benchmarks share: a square picture of random bytes, the timing
// loop, the registration of a kernel family's entries, and OpenCV and pixman
// doing the same transforms as the geometric kernels.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "effects/kernel_block.h"
#include "effects/kernel_tables.h"
#include "effects/pixel_store.h"

namespace virelta::bench {

using effects::Kernel;
using effects::KernelBlock;
using effects::KernelTable;

// One case of a family: its name in the benchmark's, the opcode and amount.
struct Effect {
  const char* name;
  std::int32_t opcode;
  std::int32_t amount;
};

// The same bytes every run.
std::vector<std::uint8_t> random_bytes(std::size_t count);

// A size x size store with random bytes in `layer`, and a block over it.
struct SquarePicture {
  SquarePicture(int size, int layer);
  effects::PixelStore store;
  KernelBlock block;
};

// The bits of size / 2 as a Single: the centre column or row of the picture.
std::uint32_t centre_bits(int size);

// Times `run` once an iteration, which changes `pixels` pixels at `written`.
template <class Run>
void time_runs(benchmark::State& state, const void* written, std::int64_t pixels, Run run) {
  for (auto _ : state) {
    run();
    benchmark::DoNotOptimize(written);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

// Registers bench(state, kernel, args...) as "<family>/<entry>/<tail>" for
// every entry of `table` this processor runs, and for the family's kernel
// as "<family>/fast/<tail>", labelled with the entry it is.
template <class... Args>
void register_entries(const std::string& family, KernelTable table, Kernel chosen, const std::string& tail,
                      void (*bench)(benchmark::State&, Kernel, Args...), Args... args) {
  for (const effects::KernelEntry& entry : table) {
    if (!entry.runs_here()) continue;
    benchmark::RegisterBenchmark((family + "/" + entry.name + "/" + tail).c_str(), bench, entry.run, args...)
        ->Unit(benchmark::kMicrosecond);
  }
  const char* fastest = effects::fastest_entry(table).name;
  benchmark::RegisterBenchmark((family + "/fast/" + tail).c_str(), [=](benchmark::State& state) {
    state.SetLabel(fastest);
    bench(state, chosen, args...);
  })->Unit(benchmark::kMicrosecond);
}

// Registers bench(state, kernel, effect, size) at 256 x 256 and 512 x 512
// for every effect and every entry of the family (as register_entries):
// "<family>/<entry>/<effect>/<size>".
void register_effects(const std::string& family, KernelTable table, Kernel chosen,
                      void (*bench)(benchmark::State&, Kernel, Effect, int), std::span<const Effect> effects);

// A turn by `degrees` anticlockwise and a scaling by `scale`, both about
// the picture's centre.
struct Transform {
  double degrees;
  double scale;
};

// Registers nearest and bilinear at 256 x 256 and 512 x 512 for every entry
// of the family (as register_entries) and, where the benchmarks are built
// with them, for OpenCV's warpAffine (one thread) and pixman doing
// `transforms` with a black fill: "<family>/<who>/<nearest or bilinear>/<size>".
void register_geometric(const std::string& family, KernelTable table, Kernel chosen,
                        void (*bench)(benchmark::State&, Kernel, bool, int), std::vector<Transform> transforms);

}  // namespace virelta::bench
