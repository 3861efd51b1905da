// The vectorised rotation kernels against the plain one, byte for byte, over
// angles, both samplings, both source layers, sizes and centres.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "rotate_support.h"

namespace virelta::effects::rotate_test {
namespace {

struct Size {
  std::int32_t w;
  std::int32_t h;
};

struct Centre {
  float x;
  float y;
};

// Default (W \ 2, H \ 2), the upper-left corner, a fractional point, points
// outside the picture.
std::vector<Centre> centres(const Size& s) {
  return {{static_cast<float>(s.w / 2), static_cast<float>(s.h / 2)},
          {0.0f, 0.0f},
          {s.w * 0.37f + 0.21f, s.h * 0.61f + 0.123f},
          {-17.25f, s.h + 9.5f},
          {s.w * 2.5f, -0.75f * s.h},
          {1e30f, -3e38f}};
}

// Every whole angle the host can pass around the first turns, and the ends
// of the Integer range that the host lets through.
std::vector<std::int32_t> every_angle() {
  std::vector<std::int32_t> angles;
  for (std::int32_t a = -360; a <= 720; ++a) angles.push_back(a);
  angles.push_back(-32768);
  angles.push_back(32407);
  return angles;
}

// Fewer angles for big pictures: the right angles, their neighbours, and a
// stride through the rest.
std::vector<std::int32_t> some_angles() {
  std::vector<std::int32_t> angles{-32768, 32407, -360, -270, -90, 1, 45, 89, 90, 91, 135, 180, 270, 359, 360, 450, 720};
  for (std::int32_t a = -353; a <= 720; a += 71) angles.push_back(a);
  return angles;
}

// The table's entries but the plain one; the chosen one is one of them.
std::vector<KernelVersion> versions_to_compare() {
  std::vector<KernelVersion> versions = all_versions();
  std::erase_if(versions, [](const KernelVersion& v) { return v.name == "plain" || v.name == "chosen"; });
  return versions;
}

std::string describe_difference(const Picture& expected, const Picture& actual, const std::string& name,
                                const Size& s, int opcode, const Centre& c, std::int32_t angle) {
  const std::uint8_t* want = expected.store.data();
  const std::uint8_t* got = actual.store.data();
  const std::size_t layer = expected.store.layer_bytes();
  for (std::size_t i = 0; i < expected.bytes(); ++i) {
    if (want[i] == got[i]) continue;
    const std::size_t pixel = (i % layer) / 4;
    std::ostringstream text;
    text << name << " " << s.w << "x" << s.h << " opcode " << opcode << " angle " << angle << " centre ("
         << c.x << ", " << c.y << "): layer " << i / layer + 1 << " pixel (" << pixel % s.w + 1 << ", "
         << pixel / s.w + 1 << ") channel " << i % 4 + 1 << " plain " << int(want[i]) << " fast "
         << int(got[i]);
    return text.str();
  }
  return {};
}

void sweep(const std::vector<Size>& sizes, const std::vector<std::int32_t>& angles, bool every_centre) {
  const std::vector<KernelVersion> versions = versions_to_compare();
  int failures = 0;
  for (const Size& s : sizes) {
    const std::vector<Centre> all = centres(s);
    Picture original(s.w, s.h);
    Picture expected(s.w, s.h);
    Picture actual(s.w, s.h);
    for (std::size_t a = 0; a < angles.size(); ++a) {
      for (std::size_t k = 0; k < all.size(); ++k) {
        // Big pictures take one centre per angle, in turn.
        if (!every_centre && k != a % all.size()) continue;
        for (int opcode = 0; opcode <= 3; ++opcode) {
          const auto seed = static_cast<std::uint32_t>(a * 31 + k * 7 + opcode);
          const std::uint32_t colour = 0x00A0B0C0u ^ seed;
          original.randomise(seed);
          std::memcpy(expected.store.data(), original.store.data(), original.bytes());
          expected.run(rotate_kernel_plain, opcode, colour, all[k].x, all[k].y, angles[a]);
          for (const KernelVersion& fast : versions) {
            std::memcpy(actual.store.data(), original.store.data(), original.bytes());
            actual.run(fast.kernel, opcode, colour, all[k].x, all[k].y, angles[a]);
            if (std::memcmp(expected.store.data(), actual.store.data(), expected.bytes()) == 0) continue;
            ADD_FAILURE() << describe_difference(expected, actual, fast.name, s, opcode, all[k], angles[a]);
            if (++failures == 20) return;
          }
        }
      }
    }
  }
}

TEST(RotateFastEqualsPlain, SmallPicturesAtEveryAngle) {
  sweep({{1, 1}, {2, 3}, {4, 4}, {13, 7}}, every_angle(), true);
}

TEST(RotateFastEqualsPlain, BigPicturesAtSomeAngles) {
  sweep({{256, 256}, {257, 255}, {301, 211}}, some_angles(), false);
}

// Wider than one column strip of the vectorised versions.
TEST(RotateFastEqualsPlain, PictureWiderThanOneStrip) {
  sweep({{1100, 3}, {515, 9}}, some_angles(), false);
}

TEST(RotateFastEqualsPlain, MidSizePicturesAtEveryAngle) {
  sweep({{64, 48}, {63, 47}}, every_angle(), false);
}

// Every angle on the big pictures, one centre per angle: a few minutes. Run
// by hand with --gtest_also_run_disabled_tests --gtest_filter='*Disabled*'.
TEST(RotateFastEqualsPlain, DISABLED_BigPicturesAtEveryAngle) {
  sweep({{256, 256}, {257, 255}, {301, 211}}, every_angle(), false);
}

}  // namespace
}  // namespace virelta::effects::rotate_test
