// The engine as a caller sees it: binding to a picture box, its three layers,
// drawing, undo and reset, rotation's frame and every message it shows.
#include <gtest/gtest.h>

#include "unit/engine_host.h"

using namespace virelta;
using virelta::testing::EngineHost;
using virelta::testing::error_number;

namespace {

// A w x h box whose pixel (x, y) from the top left is 0x0X0YXX07 with X = x + 1.
struct Fixture : EngineHost {
  Fixture(int w = 4, int h = 4) : EngineHost(w, h) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) box.image().at(x, y) = 0x01000000u * (x + 1) + 0x10000u * y + 0x100u * x + 7;
    rebind();
  }
};

std::vector<std::string> texts(const EngineHost& f) {
  std::vector<std::string> out;
  for (auto& m : f.machine->messages) out.push_back(m.title + ": " + m.text);
  return out;
}

const std::string kUnbound = "clsASM: You must assign a picturebox to the class first!";

}  // namespace

TEST(Binding, ReadsThePictureBottomUpIntoAllLayersOrRefusesWithAMessage) {
  Fixture f(3, 2);
  ASSERT_TRUE(f.engine.bound());
  EXPECT_EQ(f.layer(1), (std::vector<std::uint8_t>{7, 0, 1, 1, 7, 1, 1, 2, 7, 2, 1, 3,    // bottom row
                                                   7, 0, 0, 1, 7, 1, 0, 2, 7, 2, 0, 3}));  // top row
  EXPECT_TRUE(f.layer(2) == f.layer(1) && f.layer(3) == f.layer(1));
  EXPECT_EQ(f.draws(), 2);  // once per binding
  f.machine->screen_info.bits_per_pixel = 16, f.rebind();
  EXPECT_TRUE(f.engine.bound());
  f.machine->screen_info.bits_per_pixel = 24, f.rebind(), f.engine.UndoLast();
  EXPECT_EQ(texts(f), (std::vector<std::string>{"clsASM: Not 16 or 24-bit color setting", kUnbound}));
  EXPECT_EQ(f.machine->messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(f.machine->messages[1].icon, MessageIcon::Information);
  EngineHost empty(0, 0);
  EXPECT_FALSE(empty.engine.bound());
  EXPECT_EQ(texts(empty), (std::vector<std::string>{"clsASM: Error in function GETDIBS", "clsASM: Couldn't assign picturebox"}));
}

TEST(Binding, APictureOfAnotherSizeIsPaddedWithZerosOrCutNotWrittenPastTheStore) {
  Fixture f(4, 3);
  // Smaller than the box, bound again at the same size: what the picture leaves
  // uncovered is 0, never the last binding's pixels.
  f.box.image().resize(1, 1);
  f.rebind();
  std::vector<std::uint8_t> corner(48, 0);
  corner[0] = 7, corner[3] = 1;
  EXPECT_EQ(f.layer(1), corner);
  f.box.image().resize(50, 40, 0x00ABCDEF);  // a loaded picture; scan lines come from its bottom
  f.rebind();
  for (int i = 0; i < 12; ++i) EXPECT_EQ(f.layer(1)[i * 4 + 2], 0xAB);
  // 23200 x 23200 x 4 bytes overflow 32 bits: the engine is left unbound, not
  // reading or turning the old 4 x 3 store as 100 x 100.
  Surface big(&f.form, "Picture2");
  big.move(0, 0, 100, 100);
  try {
    big.image().resize(23200, 23200);
  } catch (const std::bad_alloc&) {
    GTEST_SKIP() << "no room for a 2 GB picture";
  }
  f.engine.PictureBox(big), f.engine.ASM_Rotate(90);
  EXPECT_THROW(f.engine.DrawNow(), RuntimeError);
  EXPECT_EQ(texts(f), (std::vector<std::string>{"clsASM: Error in function GETDIBS", "clsASM: Couldn't assign picturebox", kUnbound}));
}

TEST(Unbound, EveryMemberThatChecksShowsTheMessageAndDoesNothing) {
  ScopedMemoryPlatform machine;
  effects::clsASMpic engine;
  engine.UndoLast(), engine.UndoLastDontDraw(), engine.ResetPic(), engine.ASM_Rotate(90);
  engine.ASM_PalEffects(6, 40), engine.ASM_IncrementalPalEffects(10), engine.ASM_Magnify(2.0f);
  engine.ASM_ColorXEffects(9, 0xFFFFFF, 1, 50, 50), engine.ASM_PixelEffects(0, 8);
  engine.dialogShowOpen(), engine.dialogShowSave();
  EXPECT_EQ(engine.dialogChoseColor(), 0);
  ASSERT_EQ(machine->messages.size(), 12u);
  for (auto& m : machine->messages) EXPECT_EQ(m.title + ": " + m.text, kUnbound);
  EXPECT_TRUE(machine->file_dialog_requests.empty());
}

TEST(UndoAndReset, OneLevelOfUndoResetToTheBaseAndAutoDraw) {
  Fixture f;
  const Image original = f.box.image();
  f.engine.ASM_Rotate(90, false, false, 0);  // turns layer 3 (a copy of 2) into 2
  const Image turned = f.box.image();
  f.engine.ASM_Rotate(90, false, false, 0);
  f.engine.UndoLast(), f.engine.UndoLast();  // twice in a row: the same picture
  EXPECT_EQ(f.box.image(), turned);
  int before = f.draws();
  f.engine.UndoLastDontDraw();
  EXPECT_EQ(f.draws(), before);
  f.engine.ResetPic();
  EXPECT_TRUE(f.box.image() == original && f.layer(2) == f.layer(1) && f.layer(3) == f.layer(1));
  f.engine.ASM_Rotate(90, false, false, 0);
  before = f.draws();
  // AutoDraw off saves the current layer on the spot; effects then neither draw nor copy.
  f.engine.AutoDraw(false), f.engine.ASM_Rotate(90, false, false, 0), f.engine.ASM_Rotate(90, false, false, 0);
  EXPECT_TRUE(f.box.image() == turned && f.draws() == before);
  f.engine.AutoDraw(true);
  EXPECT_TRUE(f.box.image() != turned && f.draws() == before + 1);
  f.engine.UndoLast();
  EXPECT_EQ(f.box.image(), turned);
}

TEST(Rotate, TheFrameAroundTheKernel) {
  Fixture f;
  f.box.set_back_color(0x8000000F);  // a system colour: not translated
  f.engine.ASM_Rotate(90, false, true, 0x00112233);  // about (2, 2): (x, y) from the bottom takes (4 - y, x)
  EXPECT_EQ(f.shown(1, 1), 0x01030207u);  // the fourth byte is the destination's own
  EXPECT_EQ(f.shown(3, 2), 0x03010107u);
  EXPECT_EQ(f.shown(2, 4), 0x02332211u);  // the top row takes the fill
  const Image once = f.box.image();
  f.engine.ASM_Rotate(90, false, true, 0x00112233);  // SourcePic: the same picture every time
  EXPECT_EQ(f.box.image(), once);
  f.engine.ASM_Rotate(90);
  EXPECT_EQ(f.screen(0, 0) & 0xFFFFFF, 0x0F0000u);  // the BackColor's low byte is red
  const int before = f.draws();
  f.engine.ASM_Rotate(0, true, false, -1, Variant("not a number"), Variant("x"));  // nothing at all
  EXPECT_EQ(f.draws(), before);
  f.engine.ASM_Rotate(90, false, false, 0);
  const Image turned = f.box.image();
  // Overflow comes after the undo copy and before the kernel.
  EXPECT_THROW(f.engine.ASM_Rotate(32408, false, false, 0), RuntimeError);
  EXPECT_TRUE(f.box.image() == turned && f.layer(3) == f.layer(2));
  EXPECT_EQ(error_number([&] { f.engine.ASM_Rotate(32407), f.engine.ASM_Rotate(-32768); }), 0);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Rotate(45, false, true, 0, Variant(1.0), Variant("middle")); }), 13);
  EXPECT_EQ(error_number([&] { f.engine.ASM_Rotate(45, false, true, 0, Variant(" 1.5 "), Variant("&H2")); }), 0);
}
