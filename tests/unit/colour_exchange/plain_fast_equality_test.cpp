// The fast kernel must write exactly the bytes of the plain one. The pictures
// mix the colour, values one step from it (which blends turn into the colour,
// so matches travel) and random pixels.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "effects/colour_exchange_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

void fill_near_colour(KernelPicture& p, std::uint32_t colour, std::uint32_t seed) {
  std::mt19937 engine(seed);
  const int channel[3] = {colour_blue(colour), colour_green(colour), colour_red(colour)};
  for (int y = 1; y <= p.height(); ++y)
    for (int x = 1; x <= p.width(); ++x) {
      std::uint8_t* px = p.pixel(2, x, y);
      int kind = engine() % 4;
      for (int c = 0; c < 3; ++c) {
        int v = kind == 0 ? channel[c] : kind == 1 ? channel[c] + static_cast<int>(engine() % 3) - 1
                                                   : static_cast<int>(engine() % 256);
        px[c] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
      }
      px[3] = static_cast<std::uint8_t>(engine());
    }
}

struct Call {
  int opcode;
  int amount;
  float x;
  float y;
};

void compare(const Call& call, int w, int h, std::uint32_t colour, std::uint32_t seed) {
  KernelPicture plain(w, h);
  plain.randomize(seed);
  fill_near_colour(plain, colour, seed);
  plain.block.opcode = call.opcode;
  plain.block.amount = call.amount;
  plain.block.colour = colour;
  const KernelPicture start(plain);
  auto msg = std::bit_cast<std::uint32_t>(call.x), wparam = std::bit_cast<std::uint32_t>(call.y);
  colour_exchange_kernel_plain(plain.block, msg, wparam, 0);
  static const std::vector<KernelEntry> entries = entries_run_here("colour exchange", colour_exchange_kernels());
  for (const KernelEntry& entry : entries) {
    KernelPicture fast(start);
    entry.run(fast.block, msg, wparam, 0);
    ASSERT_EQ(plain.all_bytes(), fast.all_bytes()) << entry.name
      << " opcode " << call.opcode << " amount " << call.amount << " X " << call.x << " Y " << call.y << " size "
      << w << "x" << h << " colour " << colour;
  }
}

TEST(ColourExchangePlainAndFast, WriteTheSameBytes) {
  const int sizes[][2] = {{1, 1}, {2, 3}, {5, 5}, {7, 4}, {9, 9}, {16, 15}, {31, 20}, {64, 33}};
  const std::uint32_t colours[] = {0x000000, 0x7F8081, 0xFFFFFF, 0x12AB34, 0x01000000};
  std::vector<Call> calls;
  for (float x : {0.0f, 0.25f, 0.5f, 0.999f})
    for (float y : {0.0f, 0.3f, 0.999f}) calls.push_back({0, 1, x, y});
  for (int opcode = 1; opcode <= 3; ++opcode)
    for (int amount : {1, 2, 3, 7}) calls.push_back({opcode, amount, 2.0f, 3.0f});
  for (int opcode = 4; opcode <= 8; ++opcode)
    for (int amount : {0, 1, 2, 3, 8, 10, 12}) calls.push_back({opcode, amount, kStartingWeight, kWeightStep});
  for (int amount : {-1, 0, 1, 2})
    for (float c : {0.0f, 3.0f, 8.0f, 20.5f, -4.0f}) calls.push_back({9, amount, c, c + 1.0f});
  std::uint32_t seed = 0;
  for (const Call& call : calls)
    for (const auto& size : sizes)
      for (std::uint32_t colour : colours) compare(call, size[0], size[1], colour, ++seed);
}

TEST(ColourExchangePlainAndFast, AgreeBeyondTheBlendTablesAndWithOtherWeights) {
  std::uint32_t seed = 1000;
  for (int opcode = 4; opcode <= 8; ++opcode) {
    compare({opcode, 34, kStartingWeight, kWeightStep}, 80, 40, 0x406080, ++seed);  // reach 18
    compare({opcode, 3, 1.3f, 0.25f}, 23, 17, 0x406080, ++seed);  // weights above 1 and below 0
    compare({opcode, 40, 1.3f, 0.25f}, 50, 45, 0x406080, ++seed);
  }
  compare({9, 3, 40.0f, 20.0f}, 80, 40, 0x406080, ++seed);
  compare({9, 1, 1e6f, 20.0f}, 80, 40, 0x406080, ++seed);
}

}  // namespace
}  // namespace virelta::effects
