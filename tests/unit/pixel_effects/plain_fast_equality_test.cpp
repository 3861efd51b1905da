// The fast kernel must write exactly the bytes of the plain one, for every
// effect, on pictures of odd and even sizes, random and low-contrast.
#include <gtest/gtest.h>

#include <random>

#include "effects/pixel_effects_kernel.h"
#include "unit/pixel_effects/kernel_picture.h"

namespace virelta::effects {
namespace {

using testing::KernelPicture;

struct Case {
  int opcode;
  int amount;
};

const Case kCases[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {1, 1}, {2, 1}, {3, 0}, {3, 3}, {3, 10},
                       {3, -7}, {4, 1}, {5, 1}, {5, 2}, {5, 3}, {5, 4}};
const int kSizes[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 3}, {3, 8}, {7, 9}, {16, 16},
                         {17, 13}, {33, 8}, {8, 33}, {64, 47}, {101, 2}};

// Random bytes, or values close to one another so that emboss and edge land
// inside their limits as well as outside.
void fill(KernelPicture& p, std::uint32_t seed, bool low_contrast) {
  p.randomize(seed);
  if (!low_contrast) return;
  std::mt19937 engine(seed);
  for (int layer = 1; layer <= 3; ++layer)
    for (int y = 1; y <= p.height(); ++y)
      for (int x = 1; x <= p.width(); ++x)
        for (int c = 0; c < 4; ++c) p.pixel(layer, x, y)[c] = static_cast<std::uint8_t>(20 + engine() % 40);
}

void run(Kernel kernel, KernelPicture& p, int amount) {
  if (p.block.opcode == 3) {
    auto table = build_wave_table(amount, p.width(), p.height());
    WaveTableWords words = wave_table_words(table.data());
    kernel(p.block, kPixelEffectsMsg, words.wparam, words.lparam);
  } else {
    kernel(p.block, kPixelEffectsMsg, kPixelEffectsWParam, kPixelEffectsLParam);
  }
}

// Every entry of the table but the plain one, by name.
const std::vector<KernelEntry>& fast_entries() {
  static const std::vector<KernelEntry> entries = [] {
    auto all = entries_run_here("pixel effects", pixel_effects_kernels());
    all.erase(all.begin());
    return all;
  }();
  return entries;
}

TEST(PixelEffectsPlainAndFast, WriteTheSameBytes) {
  std::uint32_t seed = 1;
  for (const Case& c : kCases)
    for (const auto& size : kSizes)
      for (bool low_contrast : {false, true})
        for (std::uint32_t colour : {0x000000u, 0x3C7F10u, 0xFFFFFFu}) {
          KernelPicture plain(size[0], size[1]);
          fill(plain, ++seed, low_contrast);
          plain.block.opcode = c.opcode;
          plain.block.amount = c.amount;
          plain.block.colour = colour;
          const KernelPicture start(plain);
          run(pixel_effects_kernel_plain, plain, c.amount);
          for (const KernelEntry& entry : fast_entries()) {
            KernelPicture fast(start);
            run(entry.run, fast, c.amount);
            ASSERT_EQ(plain.all_bytes(), fast.all_bytes())
              << entry.name << " opcode " << c.opcode << " amount " << c.amount << " size " << size[0] << "x" << size[1]
              << " colour " << colour << (low_contrast ? " low contrast" : "");
          }
        }
}

TEST(PixelEffectsPlainAndFast, AgreeOnALargerPicture) {
  for (const Case& c : kCases) {
    KernelPicture plain(203, 150);
    fill(plain, 77, false);
    plain.block.opcode = c.opcode;
    plain.block.amount = c.amount;
    plain.block.colour = 0x804020;
    const KernelPicture start(plain);
    run(pixel_effects_kernel_plain, plain, c.amount);
    for (const KernelEntry& entry : fast_entries()) {
      KernelPicture fast(start);
      run(entry.run, fast, c.amount);
      ASSERT_EQ(plain.all_bytes(), fast.all_bytes()) << entry.name << " opcode " << c.opcode << " amount " << c.amount;
    }
  }
}

}  // namespace
}  // namespace virelta::effects
