// The rotation rule written out step by step, the reference for every other
// entry, and the pieces that all entries share (compiled for the baseline).
#include "effects/rotate_kernel.h"

#include <cmath>
#include <cstring>

#include "runtime/runtime.h"
#include "effects/rotate_kernel_shared.h"

namespace virelta::effects {

namespace rotate_detail {

namespace {

// The turn's sine and cosine as the x87 unit gives them on Windows: theta =
// (pi / 180) * lParam at 53-bit precision control, one fsincos, each result
// rounded once from extended precision to Single. The C library's sin and
// cos differ from fsincos in the last bits near multiples of 90 degrees, and
// with a centre ending in .5 that moves whole pixels, so every build (the
// Linux one too) takes this path where the processor has an x87 unit.
void sine_cosine(std::int32_t lparam, float& sine, float& cosine) {
  // pi / 180 first, then times lParam: the angle carries the extra turn.
  static constexpr double radians_per_degree = 3.14159265358979323846 / 180.0;
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  std::uint16_t saved;
  __asm__ volatile("fnstcw %0" : "=m"(saved));
  const std::uint16_t double_precision = static_cast<std::uint16_t>((saved & ~0x0300) | 0x0200);
  __asm__ volatile(
      "fldcw %[pc53]\n\t"
      "fildl %[angle]\n\t"
      "fmull %[step]\n\t"
      "fsincos\n\t"
      "fstps %[cos]\n\t"
      "fstps %[sin]\n\t"
      "fldcw %[saved]"
      : [cos] "=m"(cosine), [sin] "=m"(sine)
      : [pc53] "m"(double_precision), [saved] "m"(saved), [angle] "m"(lparam), [step] "m"(radians_per_degree)
      : "st", "st(1)");
#else
  const double theta = radians_per_degree * static_cast<double>(lparam);
  cosine = static_cast<float>(std::cos(theta));
  sine = static_cast<float>(std::sin(theta));
#endif
}

}  // namespace

RotationSetup rotation_setup(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                             std::uint32_t lparam) {
  RotationSetup setup;
  float center_x;
  float center_y;
  std::memcpy(&center_x, &msg, sizeof center_x);
  std::memcpy(&center_y, &wparam, sizeof center_y);
  sine_cosine(static_cast<std::int32_t>(lparam), setup.sin_t, setup.cos_t);
  setup.cx = center_x;
  setup.yc = static_cast<float>(static_cast<double>(block.height) - static_cast<double>(center_y));
  setup.fill = colour_pixel(block.colour);
  return setup;
}

int bilinear_value(int p00, int p10, int p01, int p11, float dx, float dy) {
  const double top = p00 + (p10 - p00) * static_cast<double>(dx);
  const double bottom = p01 + (p11 - p01) * static_cast<double>(dx);
  const double value = round_half_even(top + (bottom - top) * static_cast<double>(dy));
  if (value > 255) return 255;
  if (value < 0) return 0;
  return static_cast<int>(value);
}

std::uint32_t bilinear_pixel(const std::uint8_t* source, std::int32_t width, std::int32_t ix,
                             std::int32_t iy, float dx, float dy) {
  const std::uint8_t* p00 =
      source + ((static_cast<std::size_t>(iy) - 1) * static_cast<std::size_t>(width) + (ix - 1)) * 4;
  const std::uint8_t* p10 = p00 + 4;
  const std::uint8_t* p01 = p00 + static_cast<std::size_t>(width) * 4;
  const std::uint8_t* p11 = p01 + 4;
  std::uint32_t pixel = 0;
  for (int channel = 0; channel < 3; ++channel) {
    const int value = bilinear_value(p00[channel], p10[channel], p01[channel], p11[channel], dx, dy);
    pixel |= static_cast<std::uint32_t>(value) << (8 * channel);
  }
  return pixel;
}

void run_vectorised(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam, std::uint32_t lparam,
                    void (*nearest)(const RotationJob&), void (*bilinear)(const RotationJob&)) {
  const std::int32_t opcode = block.opcode;
  if (opcode < 0 || opcode > 3) return;
  if (block.width <= 0 || block.height <= 0) return;
  if (block.width > kFastSideLimit || block.height > kFastSideLimit) {
    rotate_kernel_plain(block, msg, wparam, lparam);
    return;
  }
  const RotationJob job{block.layer(opcode >= 2 ? 1 : 3), block.layer(2), block.width, block.height,
                        rotation_setup(block, msg, wparam, lparam)};
  if (opcode == 0 || opcode == 2) {
    nearest(job);
  } else {
    bilinear(job);
  }
}

}  // namespace rotate_detail

namespace {

using rotate_detail::RotationSetup;

// Pixel (x, y) of a layer; x from the left, y from the bottom, both from 1.
std::uint8_t* pixel_at(std::uint8_t* layer, std::int32_t width, std::int32_t x, std::int32_t y) {
  return layer + ((static_cast<std::size_t>(y) - 1) * static_cast<std::size_t>(width) + (x - 1)) * 4;
}

// The turn in double, as the rule computes it.
struct Turn {
  explicit Turn(const RotationSetup& setup) : cx(setup.cx), yc(setup.yc), cos_t(setup.cos_t), sin_t(setup.sin_t) {}
  // The source position of the pixel `across` columns right of the centre
  // and `up` rows above it, unrounded.
  double source_x(double across, double up) const { return across * cos_t - up * sin_t + cx; }
  double source_y(double across, double up) const { return up * cos_t + across * sin_t + yc; }
  double cx, yc, cos_t, sin_t;
};

// Visits every destination pixel, the last row and column first as the rule
// does, and writes blue, green and red of sample(x - cx, y - yc), a pixel
// word B | G << 8 | R << 16.
template <class Sample>
void turn_pixels(const KernelBlock& block, const Turn& turn, std::uint8_t* destination, Sample sample) {
  for (std::int32_t y = block.height; y >= 1; --y) {
    for (std::int32_t x = block.width; x >= 1; --x) {
      const std::uint32_t pixel = sample(x - turn.cx, y - turn.yc);
      std::uint8_t* out = pixel_at(destination, block.width, x, y);
      out[0] = pixel & 0xFF;
      out[1] = (pixel >> 8) & 0xFF;
      out[2] = (pixel >> 16) & 0xFF;
    }
  }
}

void rotate_nearest(const KernelBlock& block, const RotationSetup& setup, std::uint8_t* source,
                    std::uint8_t* destination) {
  const Turn turn(setup);
  turn_pixels(block, turn, destination, [&](double across, double up) {
    const double sx = round_half_even(turn.source_x(across, up));
    // Written as "inside" so that a centre that is not a number also fills.
    if (!(sx >= 1 && sx <= block.width)) return setup.fill;
    const double sy = round_half_even(turn.source_y(across, up));
    if (!(sy >= 1 && sy <= block.height)) return setup.fill;
    const std::uint8_t* in = pixel_at(source, block.width, static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy));
    return in[0] | static_cast<std::uint32_t>(in[1]) << 8 | static_cast<std::uint32_t>(in[2]) << 16;
  });
}

void rotate_bilinear(const KernelBlock& block, const RotationSetup& setup, std::uint8_t* source,
                     std::uint8_t* destination) {
  const Turn turn(setup);
  const double half = 0.5f;
  turn_pixels(block, turn, destination, [&](double across, double up) {
    const float fx = static_cast<float>(turn.source_x(across, up));
    const float fy = static_cast<float>(turn.source_y(across, up));
    const double ix = round_half_even(fx - half);
    const double iy = round_half_even(fy - half);
    // Column W and row H serve only as right and upper neighbours.
    if (!(ix >= 1 && ix < block.width && iy >= 1 && iy < block.height)) return setup.fill;
    const float dx = static_cast<float>(fx - ix);
    const float dy = static_cast<float>(fy - iy);
    return rotate_detail::bilinear_pixel(source, block.width, static_cast<std::int32_t>(ix),
                                         static_cast<std::int32_t>(iy), dx, dy);
  });
}

}  // namespace

void rotate_kernel_plain(const KernelBlock& block, std::uint32_t msg, std::uint32_t wparam,
                         std::uint32_t lparam) {
  const RotationSetup setup = rotate_detail::rotation_setup(block, msg, wparam, lparam);
  const std::int32_t opcode = block.opcode;
  if (opcode < 0 || opcode > 3) return;
  // Opcodes 2 and 3 read the base layer, 0 and 1 the previous one.
  std::uint8_t* source = block.layer(opcode >= 2 ? 1 : 3);
  std::uint8_t* destination = block.layer(2);
  if (opcode == 0 || opcode == 2) {
    rotate_nearest(block, setup, source, destination);
  } else {
    rotate_bilinear(block, setup, source, destination);
  }
}

}  // namespace virelta::effects
