// The engine as a caller sees it: binding to a picture box, its three layers,
// drawing, undo and reset, and every message it shows.
#include <gtest/gtest.h>

#include <cstring>

#include "platforms/memory/memory_form_layer.h"
#include "effects/cls_asm_pic.h"

using namespace virelta;
using virelta::effects::clsASMpic;

namespace {

struct Fixture {
  ScopedMemoryPlatform machine;
  Window form{"Form1"};
  Surface box{&form, "Picture1"};

  // A box of w x h pixels whose picture has a distinct colour per pixel.
  Fixture(int w = 3, int h = 2) {
    form.set_caption("Lab");
    form.move(0, 0, 200, 200);
    box.move(0, 0, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) box.image().at(x, y) = 0x01000000u * (x + 1) + 0x10000u * y + 0x100u * x + 7;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (auto& m : machine->messages) out.push_back(m.text);
    return out;
  }
  int draws() { return machine->refresh_count(box); }
};

bool layers_equal(const clsASMpic& e, int a, int b) {
  const auto& s = e.pixel_store();
  return std::memcmp(s.layer(a), s.layer(b), s.layer_bytes()) == 0;
}

}  // namespace

TEST(Binding, ReadsThePictureIntoAllThreeLayersBottomUpAndDrawsLayerThree) {
  Fixture f(3, 2);
  clsASMpic engine;
  engine.PictureBox(f.box);
  ASSERT_TRUE(engine.bound());
  EXPECT_EQ(engine.width(), 3);
  EXPECT_EQ(engine.height(), 2);
  EXPECT_TRUE(f.texts().empty());
  EXPECT_TRUE(layers_equal(engine, 1, 2));
  EXPECT_TRUE(layers_equal(engine, 1, 3));
  // The top-left pixel of the picture is column 1 of row H (rows count up
  // from the bottom); bytes blue, green, red, unused.
  const auto* layer1 = engine.pixel_store().layer(1);
  const std::uint8_t top_left[4] = {7, 0, 0, 1};   // x 0, y 0 (top row)
  const std::uint8_t bottom_right[4] = {7, 2, 1, 3};  // x 2, y 1 (bottom row)
  EXPECT_EQ(std::memcmp(layer1 + (1 * 3 + 0) * 4, top_left, 4), 0);
  EXPECT_EQ(std::memcmp(layer1 + (0 * 3 + 2) * 4, bottom_right, 4), 0);
  EXPECT_EQ(engine.kernel_block().width, 3);
  EXPECT_EQ(engine.kernel_block().height, 2);
  EXPECT_EQ(engine.kernel_block().store, engine.pixel_store().data());
  EXPECT_EQ(f.draws(), 1);
}

TEST(Binding, PureRedReadsAsBlueGreenRedBytes) {
  Fixture f(2, 2);
  f.box.image().fill(0x00FF0000);
  clsASMpic engine;
  engine.PictureBox(f.box);
  const auto* p = engine.pixel_store().layer(1);
  EXPECT_EQ(p[0], 0);
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[2], 255);
}

TEST(Binding, RefusesDisplaysThatAreNeither16Nor32Bits) {
  for (int bits : {24, 8, 15}) {
    Fixture f;
    f.machine->screen_info.bits_per_pixel = bits;
    clsASMpic engine;
    engine.PictureBox(f.box);
    EXPECT_FALSE(engine.bound());
    engine.UndoLast();
    ASSERT_EQ(f.machine->messages.size(), 2u);
    EXPECT_EQ(f.machine->messages[0].title, "clsASM");
    EXPECT_EQ(f.machine->messages[0].text, "Not 16 or 24-bit color setting");
    EXPECT_EQ(f.machine->messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(f.machine->messages[1].text, "You must assign a picturebox to the class first!");
    EXPECT_EQ(f.machine->messages[1].icon, MessageIcon::Information);
  }
  Fixture ok;
  ok.machine->screen_info.bits_per_pixel = 16;
  clsASMpic engine;
  engine.PictureBox(ok.box);
  EXPECT_TRUE(engine.bound());
}

TEST(Binding, AnEmptyBoxCannotBeAssigned) {
  Fixture f(0, 0);
  clsASMpic engine;
  engine.PictureBox(f.box);
  EXPECT_FALSE(engine.bound());
  EXPECT_EQ(f.texts(), (std::vector<std::string>{"Error in function GETDIBS", "Couldn't assign picturebox"}));
}

TEST(Binding, APictureLargerThanTheBoxIsCutNotWrittenPastTheStore) {
  Fixture f(4, 3);
  // The persistent picture is larger than the box (a loaded picture); the
  // store keeps the box's 4 x 3 and drops the rest.
  f.box.image().resize(50, 40, 0x00ABCDEF);
  clsASMpic engine;
  engine.PictureBox(f.box);
  ASSERT_TRUE(engine.bound());
  EXPECT_EQ(engine.pixel_store().layer_bytes(), 4u * 3u * 4u);
  // Scan lines come from the bottom of the bitmap: all of them are the fill.
  const auto* p = engine.pixel_store().layer(1);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(p[i * 4 + 2], 0xAB);
  // 23200 x 23200 x 4 bytes overflow 32 bits: rebinding to that box fails and
  // leaves the engine unbound, not reading or turning the old 4 x 3 store as 100 x 100.
  Surface big(&f.form, "Picture2");
  big.move(0, 0, 100, 100);
  try {
    big.image().resize(23200, 23200);
  } catch (const std::bad_alloc&) {
    GTEST_SKIP() << "no room for a 2 GB picture";
  }
  engine.PictureBox(big);
  engine.ASM_Rotate(90);
  EXPECT_THROW(engine.DrawNow(), RuntimeError);
  EXPECT_EQ(f.texts(), (std::vector<std::string>{"Error in function GETDIBS", "Couldn't assign picturebox",
                                                 "You must assign a picturebox to the class first!"}));
}

TEST(Unbound, EveryMemberThatChecksShowsTheMessageAndDoesNothing) {
  ScopedMemoryPlatform machine;
  clsASMpic engine;
  engine.UndoLast();
  engine.UndoLastDontDraw();
  engine.ResetPic();
  engine.ASM_Rotate(90);
  engine.ASM_PalEffects(6, 40);
  engine.ASM_IncrementalPalEffects(10);
  engine.ASM_Magnify(2.0f);
  engine.ASM_ColorXEffects(9, 0xFFFFFF, 1, 50, 50);
  engine.ASM_PixelEffects(0, 8);
  engine.dialogShowOpen();
  engine.dialogShowSave();
  EXPECT_EQ(engine.dialogChoseColor(), 0);
  ASSERT_EQ(machine->messages.size(), 12u);
  for (auto& m : machine->messages) {
    EXPECT_EQ(m.title, "clsASM");
    EXPECT_EQ(m.text, "You must assign a picturebox to the class first!");
    EXPECT_EQ(m.icon, MessageIcon::Information);
  }
  EXPECT_TRUE(machine->file_dialog_requests.empty());
}

TEST(UndoAndReset, OneLevelOfUndoAndResetToTheBase) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  Image original = f.box.image();
  engine.ASM_Rotate(90, false, false, 0);  // turns layer 3 (a copy of 2) into 2
  Image turned = f.box.image();
  EXPECT_NE(turned, original);
  engine.ASM_Rotate(90, false, false, 0);  // turns again: the undo copy holds `turned`
  engine.UndoLast();
  EXPECT_EQ(f.box.image(), turned);
  engine.UndoLast();  // twice in a row: the same picture
  EXPECT_EQ(f.box.image(), turned);
  engine.ResetPic();
  EXPECT_EQ(f.box.image(), original);
  EXPECT_TRUE(layers_equal(engine, 1, 2));
  EXPECT_TRUE(layers_equal(engine, 1, 3));
  int before = f.draws();
  engine.UndoLast();  // nothing visible changes after a reset
  EXPECT_EQ(f.box.image(), original);
  EXPECT_EQ(f.draws(), before + 1);
}

TEST(UndoAndReset, UndoWithoutDrawingLeavesTheBoxAsItWas) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  Image original = f.box.image();
  engine.ASM_Rotate(90, false, false, 0);
  Image turned = f.box.image();
  int before = f.draws();
  engine.UndoLastDontDraw();
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(f.box.image(), turned);
  EXPECT_TRUE(layers_equal(engine, 2, 3));
  engine.DrawNow();
  EXPECT_EQ(f.box.image(), original);
}

TEST(AutoDrawFlag, OffSavesTheCurrentLayerOnTheSpotAndOnDrawsIt) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  EXPECT_TRUE(engine.AutoDraw());
  engine.ASM_Rotate(90, false, false, 0);
  Image turned = f.box.image();
  int before = f.draws();
  engine.AutoDraw(false);
  EXPECT_FALSE(engine.AutoDraw());
  EXPECT_EQ(f.draws(), before);
  EXPECT_TRUE(layers_equal(engine, 2, 3));
  // Effects from the saved picture do not draw and make no undo copy.
  engine.ASM_Rotate(90, false, false, 0);
  engine.ASM_Rotate(90, false, false, 0);
  EXPECT_EQ(f.box.image(), turned);
  EXPECT_EQ(f.draws(), before);
  engine.AutoDraw(true);
  EXPECT_EQ(f.draws(), before + 1);
  EXPECT_NE(f.box.image(), turned);
  engine.UndoLast();
  EXPECT_EQ(f.box.image(), turned);
}

TEST(Rotate, AngleZeroDoesNothingAtAll) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  engine.ASM_Rotate(90, false, false, 0);
  std::vector<std::uint8_t> layer3(engine.pixel_store().layer(3),
                                   engine.pixel_store().layer(3) + engine.pixel_store().layer_bytes());
  int before = f.draws();
  engine.ASM_Rotate(0, true, false, -1, Variant("not a number"), Variant("x"));
  EXPECT_EQ(f.draws(), before);
  EXPECT_EQ(std::memcmp(layer3.data(), engine.pixel_store().layer(3), layer3.size()), 0);
}

TEST(Rotate, QuarterTurnOfAFourByFourPicture) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  Image original = f.box.image();
  engine.ASM_Rotate(90, false, true, 0x00112233);
  // In the store's bottom-up numbering destination (x, y) takes source
  // (4 - y, x) for rows 1 to 3; the top row (y = 4) takes the fill colour.
  // On screen rows are top-down: store row y is image row 4 - y.
  const Image& out = f.box.image();
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 4; ++x) {
      std::uint32_t got = out.at(x - 1, 4 - y) & 0xFFFFFF;
      if (y == 4) {
        EXPECT_EQ(got, 0x332211u) << x << "," << y;  // bytes B=33 G=22 R=11
      } else {
        int sx = 4 - y, sy = x;
        EXPECT_EQ(got, original.at(sx - 1, 4 - sy) & 0xFFFFFF) << x << "," << y;
      }
    }
  // The fourth byte of every pixel is the one layer 2 held.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(out.at(x, y) >> 24, original.at(x, y) >> 24);
}

TEST(Rotate, NegativeColourTakesTheBoxBackColourAsReported) {
  Fixture f(4, 4);
  f.box.set_back_color(0x8000000F);  // a system colour: not translated
  clsASMpic engine;
  engine.PictureBox(f.box);
  engine.ASM_Rotate(90);
  EXPECT_EQ(engine.kernel_block().colour, 0x8000000Fu);
  EXPECT_EQ(f.box.image().at(0, 0) & 0xFFFFFF, 0x0F0000u);  // R = &H0F, G = 0, B = 0
}

TEST(Rotate, AnglesAbove32407OverflowAfterTheUndoCopyAndBeforeTheKernel) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  engine.ASM_Rotate(90, false, false, 0);
  Image turned = f.box.image();
  int before = f.draws();
  try {
    engine.ASM_Rotate(32408, false, false, 0);
    FAIL() << "no overflow";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), 6);
  }
  EXPECT_EQ(f.draws(), before);
  EXPECT_TRUE(layers_equal(engine, 2, 3));  // the undo copy was made
  EXPECT_EQ(f.box.image(), turned);
  EXPECT_NO_THROW(engine.ASM_Rotate(32407));
  EXPECT_NO_THROW(engine.ASM_Rotate(-32768));
}

TEST(Rotate, ACentreThatIsNotANumberIsATypeMismatch) {
  Fixture f(4, 4);
  clsASMpic engine;
  engine.PictureBox(f.box);
  try {
    engine.ASM_Rotate(45, false, true, 0, Variant(1.0), Variant("middle"));
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), 13);
  }
  EXPECT_NO_THROW(engine.ASM_Rotate(45, false, true, 0, Variant(" 1.5 "), Variant("&H2")));
}

TEST(Rotate, SourcePictureTrueTurnsTheSamePictureEveryTime) {
  Fixture f(5, 5);
  clsASMpic engine;
  engine.PictureBox(f.box);
  engine.ASM_Rotate(90);
  Image once = f.box.image();
  engine.ASM_Rotate(90);
  EXPECT_EQ(f.box.image(), once);
  EXPECT_TRUE(layers_equal(engine, 1, 3));
}
