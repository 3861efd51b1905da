// The rotation kernel: cases worked out by hand through every table entry,
// and every entry against the plain one over angles, sizes and centres.
#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "effects/rotate_kernel.h"
#include "effects/rotate_kernel_shared.h"
#include "unit/engine_host.h"

namespace virelta::testing {
namespace {

constexpr Bgr kFill{0x11, 0x22, 0x33};  // the colour &H00112233
using Map = std::pair<int, int> (*)(int x, int y);

// Centre in pixels with the row from the top, lParam = Angle + 360, as the host passes them.
bool turn(Picture& p, int opcode, std::uint32_t colour, float cx, float cy, int angle) {
  p.block.opcode = opcode;
  p.block.colour = colour;
  return p.run(effects::rotate_kernels(), std::bit_cast<std::uint32_t>(cx), std::bit_cast<std::uint32_t>(cy),
               static_cast<std::uint32_t>(angle + 360));
}

// Each case from both source layers: 3 (opcodes 0, 1) and 1 (opcodes 2, 3).
TEST(RotateKernel, WholePicturesWorkedOutByHand) {
  const Map fill = [](int, int) { return std::pair{0, 0}; };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    int w, h, bilinear;
    float cx, cy;
    int angle;
    Map from;  // the source pixel of destination (x, y); 0 for the fill
  } cases[] = {
      {4, 4, 0, 2, 2, 90, [](int x, int y) { return y < 4 ? std::pair{4 - y, x} : std::pair{0, 0}; }},
      {5, 3, 0, 2, 1, 360, [](int x, int y) { return std::pair{x, y}; }},
      // Bilinear sampling loses the border of an even picture.
      {6, 4, 1, 3, 2, 360,
       [](int x, int y) { return x == 1 || x == 6 || y == 1 || y == 4 ? std::pair{0, 0} : std::pair{x, y}; }},
      {4, 4, 0, 0, 0, 180, fill},  // about the upper-left corner
      {3, 3, 0, 1000, 1000, 45, fill}, {3, 3, 1, 1000, 1000, 45, fill}, {10, 3, 1, nan, 1, 30, fill},
  };
  std::uint32_t seed = 0;
  for (const auto& c : cases)
    for (int opcode : {c.bilinear, c.bilinear + 2}) {
      SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " opcode " << opcode << " angle " << c.angle);
      Picture p(c.w, c.h, ++seed);
      const Picture before(p);
      turn(p, opcode, 0xFF112233, c.cx, c.cy, c.angle);  // the top byte is not part of the colour
      for (int y = 1; y <= c.h; ++y)
        for (int x = 1; x <= c.w; ++x) {
          auto [sx, sy] = c.from(x, y);
          Bgr want = sx ? before.get(sx, sy, opcode >= 2 ? 1 : 3) : kFill;
          want.unused = before.get(x, y).unused;
          EXPECT_EQ(p.get(x, y), want) << x << "," << y;
        }
    }
  Picture p(9, 5, 18);  // other opcodes leave the store alone
  const auto before = p.all();
  for (int opcode : {4, 5, -1, 1000}) turn(p, opcode, 0x112233, 4, 2, 45);
  EXPECT_EQ(p.all(), before);
}

// A half turn about (2.625, 1.75 from the bottom) maps destination (1, 1) to
// (4.25, 2.5): cell (4, 2) with dx = 0.25 and dy = 0.5.
TEST(RotateKernel, BilinearArithmeticExamples) {
  for (int opcode : {1, 3}) {
    Picture p(6, 4, 16);
    const int layer = opcode == 3 ? 1 : 3;
    // Blue 0, 100, 50, 150 gives 50; green 10, 10, 11, 11 gives 10.5, written
    // as 10; red 11, 11, 12, 12 gives 11.5, written as 12.
    p.set(4, 2, {0, 10, 11}, layer), p.set(5, 2, {100, 10, 11}, layer);
    p.set(4, 3, {50, 11, 12}, layer), p.set(5, 3, {150, 11, 12}, layer);
    p.set(1, 1, {0xEE, 0xEE, 0xEE, 9});
    turn(p, opcode, 0x112233, 2.625f, 4 - 1.75f, 180);
    EXPECT_EQ(p.get(1, 1), (Bgr{50, 10, 12, 9})) << opcode;
  }
  // A quarter turn of 2 x 2 where (1, 1) samples cell (1, 1) with dx =
  // 0x1.0efc44p-1, dy = 0x1.2da7f4p-1: pixels 253, 250, 1, 3 give 104.5 in
  // double arithmetic, written as 104; a fused multiply-add gives 105.
  Picture p(2, 2, 17);
  p.set(1, 1, {253}, 1), p.set(2, 1, {250}, 1), p.set(1, 2, {1}, 1), p.set(2, 2, {3}, 1);
  turn(p, 3, 0x112233, 0x1.f0aa28p-1f, 0x1.c35bc8p-2f, 90);
  EXPECT_EQ(p.get(1, 1).blue, 104);
  // lParam 450 as the x87 fsincos gives it on Windows; the C library's cosine ends in 0x7d7e.
  const auto setup = effects::rotate_detail::rotation_setup({}, 0, 0, 450);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(setup.cos_t), 0x25b07c00u);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(setup.sin_t), 0x3f800000u);
}

TEST(RotateFastEqualsPlain, EveryEntryOverAnglesSizesAndCentres) {
  std::vector<int> every, some{-32768, 32407, -270, -90, 1, 45, 89, 90, 91, 135, 180, 270, 359, 450, 720};
  for (int a = -360; a <= 720; ++a) every.push_back(a);
  for (int a = -353; a <= 720; a += 71) some.push_back(a);
  // Widths past 1024 cross the vectorised versions' column strips.
  const struct {
    int w, h;
    const std::vector<int>& angles;
  } sizes[] = {{1, 1, every},    {2, 3, every},    {4, 4, every},    {13, 7, every}, {64, 48, every}, {63, 47, every},
               {256, 256, some}, {257, 255, some}, {301, 211, some}, {1100, 3, some}, {515, 9, some}};
  int failures = 0;
  for (const auto& s : sizes) {
    const float centres[][2] = {{float(s.w / 2), float(s.h / 2)}, {0, 0}, {s.w * 0.37f + 0.21f, s.h * 0.61f + 0.123f},
                                {-17.25f, s.h + 9.5f}, {s.w * 2.5f, -0.75f * s.h}, {1e30f, -3e38f}};
    for (std::size_t a = 0; a < s.angles.size(); ++a)
      for (std::size_t k = 0; k < 6; ++k) {
        if (s.w * s.h > 100 && k != a % 6) continue;  // larger pictures: one centre per angle, in turn
        for (int opcode = 0; opcode <= 3; ++opcode) {
          const auto seed = static_cast<std::uint32_t>(a * 31 + k * 7 + opcode);
          Picture p(s.w, s.h);
          p.randomise(seed);
          if (turn(p, opcode, 0x00A0B0C0u ^ seed, centres[k][0], centres[k][1], s.angles[a])) continue;
          ADD_FAILURE() << s.w << "x" << s.h << " opcode " << opcode << " angle " << s.angles[a] << " centre "
                        << centres[k][0] << "," << centres[k][1];
          if (++failures == 10) return;
        }
      }
  }
}

}  // namespace
}  // namespace virelta::testing
