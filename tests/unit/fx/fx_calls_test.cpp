// The call syntax of virelta-fx, as a person types it on the command line.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "effects/cls_asm_pic.h"
#include "tools/support/fx_calls.h"

using namespace virelta;
using fx::CallError;
using fx::parse_call;

TEST(FxCallSyntax, ArgumentsInOrderWithMissingOnes) {
  auto c = parse_call("ASM_Rotate(45,,False)");
  EXPECT_EQ(c.member, "ASM_Rotate");
  ASSERT_EQ(c.arguments.size(), 3u);
  EXPECT_FALSE(c.arguments[0].missing);
  EXPECT_TRUE(c.arguments[1].missing);
  EXPECT_EQ(c.arguments[2].text, "False");

  auto m = parse_call(" ASM_Magnify( 2.25 , 10, 20 ,True,&HFF) ");
  EXPECT_EQ(m.member, "ASM_Magnify");
  ASSERT_EQ(m.arguments.size(), 5u);
  EXPECT_EQ(m.arguments[4].text, "&HFF");

  auto a = parse_call("AutoDraw=False");
  EXPECT_TRUE(a.assignment);
  EXPECT_EQ(a.arguments[0].text, "False");

  EXPECT_TRUE(parse_call("UndoLast").arguments.empty());
  EXPECT_TRUE(parse_call("DrawNow()").arguments.empty());
  auto q = parse_call("ASM_Rotate(1,,,,\"a, b\",2)");
  ASSERT_EQ(q.arguments.size(), 6u);
  EXPECT_TRUE(q.arguments[4].quoted);
  EXPECT_EQ(q.arguments[4].text, "a, b");
}

TEST(FxCallSyntax, MalformedCallsAreRefused) {
  for (const char* bad : {"ASM_Rotate(90", "(90)", "AutoDraw=", "Bad Name(1)", "ASM_Rotate(\"x)"})
    EXPECT_THROW(parse_call(bad), CallError) << bad;
}

TEST(FxCallSyntax, Numbers) {
  EXPECT_EQ(fx::parse_number("&HFF"), 255);
  EXPECT_EQ(fx::parse_number("&HFFFF"), -1);  // four digits: an Integer
  EXPECT_EQ(fx::parse_number("&HFFFF&"), 65535);
  EXPECT_EQ(fx::parse_number("&HFFFFFF"), 16777215);
  EXPECT_EQ(fx::parse_number("-2.5"), -2.5);
  EXPECT_EQ(fx::parse_number("1e2"), 100);
  EXPECT_FALSE(fx::parse_number("abc"));
  EXPECT_FALSE(fx::parse_number("&HXYZ&"));
}

namespace {
struct Lab {
  ScopedMemoryPlatform machine;
  Window form{"Form1"};
  Surface box{&form, "Picture1"};
  effects::clsASMpic engine;
  Lab() {
    box.move(0, 0, 4, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) box.image().at(x, y) = static_cast<std::uint32_t>(0x101010 * (x + 4 * y));
    engine.PictureBox(box);
  }
  void run(const std::string& text) { fx::run_call(engine, parse_call(text)); }
  int error_of(const std::string& text) {
    try {
      run(text);
    } catch (const RuntimeError& e) {
      return e.number();
    }
    return 0;
  }
};
}  // namespace

TEST(FxCalls, UnknownMembersAndWrongArgumentsAreUsageErrors) {
  Lab lab;
  EXPECT_THROW(lab.run("ASM_Spin(1)"), CallError);
  EXPECT_THROW(lab.run("ASM_Rotate()"), CallError);
  EXPECT_THROW(lab.run("ASM_Rotate(,True)"), CallError);
  EXPECT_THROW(lab.run("ASM_Rotate(1,2,3,4,5,6,7)"), CallError);
  EXPECT_THROW(lab.run("ASM_Rotate(ninety)"), CallError);
  EXPECT_THROW(lab.run("UndoLast(1)"), CallError);
  EXPECT_THROW(lab.run("ResetPic=1"), CallError);
}

TEST(FxCalls, RunTimeErrorsOfTheEngineComeThrough) {
  Lab lab;
  EXPECT_EQ(lab.error_of("ASM_Rotate(32408)"), 6);   // Angle + 360 overflows
  EXPECT_EQ(lab.error_of("ASM_Rotate(40000)"), 6);   // not an Integer
  EXPECT_EQ(lab.error_of("ASM_Rotate(45,,,,1,\"top\")"), 13);
  EXPECT_EQ(lab.error_of("ASM_Rotate(45,,,,1,\" 2 \")"), 0);
}

TEST(FxCalls, AutoDrawOffKeepsTheBoxUntilDrawNow) {
  Lab lab;
  Image before = lab.box.image();
  lab.run("AutoDraw=False");
  lab.run("ASM_Rotate(90,,False,0)");
  EXPECT_EQ(lab.box.image(), before);
  lab.run("DrawNow");
  EXPECT_NE(lab.box.image(), before);
  lab.run("AutoDraw=-1");
  lab.run("UndoLast");
  EXPECT_EQ(lab.box.image(), before);
}
