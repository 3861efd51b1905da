// Pieces the plain and the vectorised rotation kernels share. Everything here
// is defined out of line in rotate_kernel.cpp, compiled once with the
// baseline instruction set, so that every version evaluates sine and cosine
// and the bilinear rule through the very same code.
#pragma once

#include <cstdint>

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

// Largest side the vectorised versions take on; their Single arithmetic on
// pixel positions is exact below it. Larger pictures go the plain way.
inline constexpr std::int32_t kFastSideLimit = 1 << 22;

// Column strips: the per-column terms of one strip live on the stack.
inline constexpr int kStripColumns = 512;

// One call's work as the vectorised versions take it: the block already read
// and checked by rotate_kernel.cpp, so that the files built for other
// instruction sets use none of the shared inline functions (the linker keeps
// one copy of each, and it must not be an AVX2 one).
struct RotationJob {
  const std::uint8_t* source;
  std::uint8_t* destination;
  std::int32_t width;
  std::int32_t height;
  RotationSetup setup;
};

// The vectorised versions with the kernel's signature. Pictures with a side
// above kFastSideLimit go the plain way.
void rotate_kernel_sse2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                        std::uint32_t lparam);
// Only where avx2_available() says so: AVX2 and FMA, with the operating
// system's support.
void rotate_kernel_avx2(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                        std::uint32_t lparam);
bool avx2_available();

// Their bodies, one per instruction set.
void rotate_nearest_sse2(const RotationJob& job);
void rotate_bilinear_sse2(const RotationJob& job);
void rotate_nearest_avx2(const RotationJob& job);
void rotate_bilinear_avx2(const RotationJob& job);

}  // namespace virelta::effects::rotate_detail
