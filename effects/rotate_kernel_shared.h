// Pieces every rotation entry shares. The non-template functions are defined
// in rotate_kernel_plain.cpp, compiled with the baseline instruction set, so
// that every entry evaluates sine and cosine and the bilinear rule through
// the very same code. The row loop below is a template that each vectorised
// file instantiates with its own lanes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "effects/kernel_block.h"

namespace virelta::effects::rotate_detail {

struct RotationSetup {
  float cx = 0;     // centre column, as passed
  float yc = 0;     // centre row counted from the bottom: H - centerY
  float cos_t = 0;  // cos and sin of (pi / 180) * lParam, each rounded to Single
  float sin_t = 0;
  std::uint32_t fill = 0;  // the fill colour as a pixel: B | G << 8 | R << 16
};

RotationSetup rotation_setup(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                             std::uint32_t lparam);

// One channel of the bilinear rule, in double precision on the Single
// operands, rounded half to even and clamped to 0..255.
int bilinear_value(int p00, int p10, int p01, int p11, float dx, float dy);

// The three channels of one bilinear sample: pixel (ix, iy) of the layer at
// `source` (1-based, bottom-up) and its right, upper and upper-right
// neighbours. Returns B | G << 8 | R << 16.
std::uint32_t bilinear_pixel(const std::uint8_t* source, std::int32_t width, std::int32_t ix,
                             std::int32_t iy, float dx, float dy);

// Largest side the vectorised entries take on; their Single arithmetic on
// pixel positions is exact below it. Larger pictures go the plain way.
inline constexpr std::int32_t kFastSideLimit = 1 << 22;

// Column strips: the per-column terms of one strip live on the stack.
inline constexpr int kStripColumns = 512;

// One call's work as the vectorised entries take it: the block already read
// and checked by the baseline code, so that the files built for other
// instruction sets use none of the shared inline functions (the linker keeps
// one copy of each, and it must not be a wide one).
struct RotationJob {
  const std::uint8_t* source;
  std::uint8_t* destination;
  std::int32_t width;
  std::int32_t height;
  RotationSetup setup;
};

// Checks the block, reads it and hands the rows to `nearest` or `bilinear`;
// pictures with a side above kFastSideLimit go the plain way.
void run_vectorised(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam,
                    void (*nearest)(const RotationJob&), void (*bilinear)(const RotationJob&));

// The table's vectorised entries, one per file rotate_kernel_<name>.cpp.
void rotate_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);
void rotate_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);
void rotate_kernel_avx512(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam);

// ---- The row loop of the vectorised entries, written once -----------------
//
// Each row of a column strip goes in two passes: the first works out every
// lane's source pixel or cell, the second fetches and blends. Kept apart, the
// long chain from position to pixel does not hold up the lanes before it.
//
// V, a LaneSet (below), holds one instruction set's part.

// Per-column terms (x - cx)·cos and (x - cx)·sin of one strip, padded so that
// the last group reads whole.
template <int Lanes>
struct Strip {
  double across_cos[kStripColumns + Lanes];
  double across_sin[kStripColumns + Lanes];
};

// Nearest neighbour: the source pixel of every lane of a row.
template <int Lanes>
struct PixelPlan {
  alignas(64) std::int32_t index[kStripColumns + Lanes];  // (sy - 1)·W + (sx - 1)
  alignas(64) std::int32_t inside[kStripColumns + Lanes];
};

// Bilinear: the cell and the fractions of every lane of a row.
template <int Lanes>
struct CellPlan {
  alignas(64) std::int32_t cell[kStripColumns + Lanes];  // lower-left pixel of the cell; 0 outside
  alignas(64) std::int32_t inside[kStripColumns + Lanes];
  alignas(64) float dx[kStripColumns + Lanes];
  alignas(64) float dy[kStripColumns + Lanes];
};

// The per-row terms in every lane: (y - yc)·sin, to subtract, (y - yc)·cos,
// and the centre. Registers names the instruction set's types: Doubles, a
// register of doubles, and Mask, which lanes to work on.
template <class Registers>
struct Row {
  typename Registers::Doubles minus_sin;
  typename Registers::Doubles plus_cos;
  typename Registers::Doubles cx;
  typename Registers::Doubles yc;
};

// One instruction set's lanes as the row loop sees them: each vectorised
// file defines these members for its own registers.
template <int Lanes, class Registers>
struct LaneSet {
  static constexpr int kLanes = Lanes;
  using Doubles = typename Registers::Doubles;
  using Mask = typename Registers::Mask;
  using Row = rotate_detail::Row<Registers>;
  static Doubles splat(double value);
  static Mask all_lanes();
  static Mask first_lanes(int n);
  // Works out the source pixel or cell of the lanes from column j on.
  static void plan(const RotationJob& f, const Strip<Lanes>& strip, int j, const Row& row, PixelPlan<Lanes>& plan,
                   Mask lanes);
  static void plan(const RotationJob& f, const Strip<Lanes>& strip, int j, const Row& row, CellPlan<Lanes>& plan,
                   Mask lanes);
  // Fetches (and blends) the planned pixels and writes them to `out`.
  static void write(const RotationJob& f, const PixelPlan<Lanes>& plan, int j, std::uint8_t* out);
  static void write(const RotationJob& f, const CellPlan<Lanes>& plan, int j, std::uint8_t* out);
  // Runs after the last row.
  static void leave();
};

// Lanes whose estimate came too close to a half take the rule's own value.
// Templates on V, so that each instruction set keeps its own copy.
template <class V>
void patch_near_lanes(const RotationJob& f, const CellPlan<V::kLanes>& plan, int j, unsigned near_bits,
                      std::uint32_t* colours) {
  for (int k = 0; k < V::kLanes; ++k) {
    if (near_bits >> k & 1) {
      const std::int32_t cell = plan.cell[j + k];
      colours[k] = bilinear_pixel(f.source, f.width, cell % f.width + 1, cell / f.width + 1, plan.dx[j + k],
                                  plan.dy[j + k]);
    }
  }
}

template <class V, class Plan>
void rotate_rows(const RotationJob& f) {
  constexpr int kLanes = V::kLanes;
  Strip<kLanes> strip;
  Plan plan;
  const double cx = f.setup.cx;
  const double yc = f.setup.yc;
  const double cos_t = f.setup.cos_t;
  const double sin_t = f.setup.sin_t;
  for (std::int32_t first = 1; first <= f.width; first += kStripColumns) {
    const int columns = f.width - first + 1 < kStripColumns ? f.width - first + 1 : kStripColumns;
    for (int j = 0; j < columns + kLanes; ++j) {
      const double across = static_cast<double>(first + j) - cx;
      strip.across_cos[j] = across * cos_t;
      strip.across_sin[j] = across * sin_t;
    }
    const int whole = columns / kLanes * kLanes;
    for (std::int32_t y = 1; y <= f.height; ++y) {
      const double up = static_cast<double>(y) - yc;
      const typename V::Row row{V::splat(up * sin_t), V::splat(up * cos_t), V::splat(cx), V::splat(yc)};
      for (int j = 0; j < whole; j += kLanes) V::plan(f, strip, j, row, plan, V::all_lanes());
      if (whole < columns) V::plan(f, strip, whole, row, plan, V::first_lanes(columns - whole));
      std::uint8_t* out = f.destination + ((static_cast<std::size_t>(y) - 1) * f.width + (first - 1)) * 4;
      for (int j = 0; j < whole; j += kLanes) V::write(f, plan, j, out + j * 4);
      if (whole < columns) {
        // The last few columns go through a scratch row, so that nothing past
        // the row is read or written.
        const int left = columns - whole;
        alignas(64) std::uint8_t scratch[kLanes * 4] = {};
        std::memcpy(scratch, out + whole * 4, static_cast<std::size_t>(left) * 4);
        V::write(f, plan, whole, scratch);
        std::memcpy(out + whole * 4, scratch, static_cast<std::size_t>(left) * 4);
      }
    }
  }
  V::leave();
}

// The entry of one instruction set: the block checked and read by the
// baseline code, then the rows by V's lanes.
template <class V>
void rotate_by_lanes(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam) {
  run_vectorised(block, msg, wparam, lparam, rotate_rows<V, PixelPlan<V::kLanes>>, rotate_rows<V, CellPlan<V::kLanes>>);
}

}  // namespace virelta::effects::rotate_detail
