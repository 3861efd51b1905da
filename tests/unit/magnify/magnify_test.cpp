// The magnify kernel worked out by hand through every table entry, every entry
// against the plain one, and ASM_Magnify on a bound picture box.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <limits>

#include "effects/magnify_kernel.h"
#include "unit/engine_host.h"

namespace virelta::testing {
namespace {

constexpr Bgr kFill{0xC0, 0xB0, 0xA0};  // the colour &H00C0B0A0
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();

// Layer 3 pixel (x, y) is (x, y, 77); the centre row counts from the top, as the host passes it.
Picture numbered(int w, int h) {
  Picture p(w, h);
  for (int y = 1; y <= h; ++y)
    for (int x = 1; x <= w; ++x) p.set(x, y, {std::uint8_t(x), std::uint8_t(y), 77}, 3);
  return p;
}
void zoom(Picture& p, std::int32_t tenths, bool bilinear, float cx, float cy, std::uint32_t colour = 0xC0B0A0) {
  p.block.opcode = bilinear, p.block.colour = colour;
  p.run(effects::magnify_kernels(), std::bit_cast<std::uint32_t>(cx), std::bit_cast<std::uint32_t>(cy),
        static_cast<std::uint32_t>(tenths));
}

TEST(MagnifyKernel, WholePicturesWorkedOutByHand) {
  using Axis = int (*)(int);  // the source column or row of a destination one; 0 for the fill
  const Axis same = [](int v) { return v; }, none = [](int) { return 0; }, three = [](int) { return 3; },
             shrink = [](int v) { return 2 * v - 4 >= 1 && 2 * v - 4 <= 8 ? 2 * v - 4 : 0; };
  const struct {
    int w, h, tenths;
    bool bilinear;
    float cx, cy;
    Axis from_x, from_y;
  } cases[] = {
      {6, 5, 10, false, 3, 2, same, same},
      // Bilinear: round(x - 0.5) loses column 1, row 1 and, of an even size, the last.
      {6, 5, 10, true, 3, 2, [](int x) { return x == 1 || x == 6 ? 0 : x; }, [](int y) { return y == 1 ? 0 : y; }},
      {5, 4, 10, true, 2, 2, [](int x) { return x == 1 ? 0 : x; }, [](int y) { return y == 1 || y == 4 ? 0 : y; }},
      {8, 8, 5, false, 4, 4, shrink, shrink},                                            // source 2v - 4
      {6, 4, -10, false, 3, 2, [](int x) { return 6 - x; }, [](int y) { return 4 - y; }},  // about (3, row 2)
      {7, 5, INT_MAX, false, 3, 2, three, three}, {7, 5, INT_MAX, true, 3, 2, three, three},
      {5, 4, 13, false, kNaN, 2, none, none},  {5, 4, 13, true, 2, kNaN, none, none},
      {5, 4, 13, false, kInf, 2, none, none},  {5, 4, 13, true, 2, -kInf, none, none},
      {5, 4, 13, false, 1e30f, 2, none, none}, {5, 4, 13, true, -3e9f, 2, none, none},
  };
  for (const auto& c : cases) {
    Picture p = numbered(c.w, c.h);
    zoom(p, c.tenths, c.bilinear, c.cx, c.cy);
    for (int y = 1; y <= c.h; ++y)
      for (int x = 1; x <= c.w; ++x) {
        const int sx = c.from_x(x), sy = c.from_y(y);
        EXPECT_EQ(p.get(x, y), (sx && sy ? Bgr{std::uint8_t(sx), std::uint8_t(sy), 77} : kFill))
            << c.w << "x" << c.h << " tenths " << c.tenths << " bilinear " << c.bilinear << " at " << x << "," << y;
      }
  }
}

TEST(MagnifyKernel, PointsWorkedOutByHand) {
  Picture p = numbered(100, 100);
  zoom(p, 20, false, 50, 50);  // (1 - 50) x 0.5 + 50 = 25.5 -> 26; 26.5 -> 26, 27.5 -> 28
  EXPECT_TRUE(p.get(1, 1) == (Bgr{26, 26, 77}) && p.get(3, 5) == (Bgr{26, 28, 77}));
  // Factor 2 about the bottom-left corner: (3, 3) samples (1.5, 1.5).
  Picture weights(4, 4);
  weights.set(1, 1, {11, 10, 0}, 3), weights.set(2, 1, {12, 11, 100}, 3);
  weights.set(1, 2, {11, 10, 50}, 3), weights.set(2, 2, {12, 11, 150}, 3);
  zoom(weights, 20, true, 0, 4);
  EXPECT_EQ(weights.get(3, 3), (Bgr{12, 10, 75}));  // 11.5 -> 12, 10.5 -> 10
  // Zero tenths fills everything, ignoring the colour's top byte, and keeps the fourth byte.
  Picture zero = numbered(5, 3);
  zero.fill({1, 2, 3, 44}), zoom(zero, 0, true, 2, 1, 0xFF123456u);
  EXPECT_TRUE(zero.get(5, 3) == (Bgr{0x12, 0x34, 0x56, 44}) && zero.get(1, 1) == (Bgr{0x12, 0x34, 0x56, 44}));
  // Other opcodes and an empty block change nothing.
  Picture other(5, 4, 5);
  const auto before = other.all();
  for (std::int32_t opcode : {-1, 2, INT_MAX}) other.block.opcode = opcode, other.run(effects::magnify_kernels(), 0, 0, 10);
  effects::magnify_kernel(effects::KernelBlock{}, 0, 0, 10);
  EXPECT_EQ(other.all(), before);
}

TEST(MagnifyFastKernel, MatchesThePlainRule) {
  std::mt19937 random(77);
  // Widths above 256 cross the fast kernel's column blocks.
  const std::pair<int, int> sizes[] = {{1, 1}, {2, 2}, {3, 1}, {1, 5}, {7, 4}, {16, 16}, {33, 21}, {300, 7}, {600, 3}};
  for (auto [w, h] : sizes) {
    const float centres[][2] = {{w / 2.0f, h / 2.0f}, {float(w / 2), float(h / 2)}, {0, 0}, {0.3f, 1.7f},
                                {w + 0.5f, -2.25f}, {-40, h * 3.0f}};
    for (std::int32_t q : {0, 1, 3, 5, 7, 10, 13, 17, 20, 22, 23, 25, 28, 40, 100, -5, -10, -23, INT_MAX, INT_MIN})
      for (const auto& c : centres)
        for (bool bilinear : {false, true}) {
          Picture p(w, h);
          p.randomise(random());
          zoom(p, q, bilinear, c[0], c[1], random());
          if (::testing::Test::HasFailure()) return;
        }
  }
}

// Screen pixel (x, y), both from 0 at the top left: blue = x, green = y.
struct MagnifyHost : EngineHost {
  MagnifyHost(int w, int h) : EngineHost(w, h) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) box.image().at(x, y) = 0x00400000u + 0x100u * y + x;
    rebind();
  }
};

TEST(MagnifyHost, CentresFactorsAndColour) {
  MagnifyHost f(10, 10);
  f.engine.ASM_Magnify(2.0f);  // about (5, 5): (1 - 5) / 2 + 5 = 3
  // Store row 3 is screen row 7; 7.5 -> 8 both ways; layer 3 holds the undo copy.
  EXPECT_TRUE(f.screen(0, 9) == 0x00400702u && f.screen(9, 0) == 0x00400207u && f.layer(3) == f.layer(1));
  f.engine.UndoLast();
  f.engine.ASM_Magnify(2.0f, Variant(0.0), Variant(0.0));  // about the top-left corner
  EXPECT_EQ(f.screen(9, 9), 0x00400404u);  // (10, 1): 5, 5.5 -> 6 from the bottom
  f.engine.ASM_Magnify(1.0f, Variant(), Variant(), true, 0x00112233);
  EXPECT_EQ(f.screen(0, 2) & 0xFFFFFF, 0x332211u);  // bilinear: column 1 loses its left partner
  f.box.set_back_color(0x8000000F);
  f.engine.ASM_Magnify(0.04f);  // no tenths: all BackColor, red &H0F
  EXPECT_EQ(f.screen(4, 6) & 0xFFFFFF, 0x0F0000u);
}

// Tenths are rounded half to even from the factor's single value (2.35f is
// just below 2.35); with AutoDraw off each call magnifies the same layer 3
// about (20, row 20), and column 5 or 1 of row 20 tells the tenths apart.
TEST(MagnifyHost, TenthsRoundHalfToEvenAndBadValuesRaiseAfterTheUndoCopy) {
  MagnifyHost f(40, 40);
  f.engine.AutoDraw(false);
  const struct {
    float factor;
    int column, blue;  // blue: the source column less 1
  } cases[] = {{2.25f, 1, 10}, {2.75f, 5, 14}, {2.35f, 5, 12}, {-1.05f, 5, 34}};
  for (auto c : cases) {
    f.engine.ASM_Magnify(c.factor, Variant(), Variant(), false, 0);
    EXPECT_EQ(f.engine.pixel_store().at(1, c.column, 20, 2), c.blue) << c.factor;
  }
  f.engine.AutoDraw(true);
  f.engine.ASM_Magnify(2.0f);  // with AutoDraw on, from the magnified picture
  const auto magnified = f.layer(2);
  const int before = f.draws();
  for (float factor : {kNaN, kInf, -kInf, 3e8f, -3e8f}) EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(factor); }), 6);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant("left")); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(1.0), Variant("")); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(1e300)); }), 6);
  EXPECT_TRUE(f.draws() == before && f.layer(2) == magnified && f.layer(3) == magnified);
  // Large factors that fit and text numbers run.
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2e8f, Variant(), Variant(), true); }), 0);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Magnify(2.0f, Variant(" 1.5 "), Variant("&H2")); }), 0);
}

}  // namespace
}  // namespace virelta::testing
