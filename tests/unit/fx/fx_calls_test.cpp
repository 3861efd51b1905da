// The call syntax of virelta-fx, as a person types it on the command line.
#include <gtest/gtest.h>

#include "tools/support/fx_calls.h"
#include "unit/engine_host.h"

using namespace virelta;
using fx::CallError;
using fx::parse_call;

TEST(FxCallSyntax, ArgumentsNumbersAndMalformedCalls) {
  const auto c = parse_call(" ASM_Rotate( 1 ,,,,\"a, b\",&HFF) ");
  EXPECT_EQ(c.member, "ASM_Rotate");
  ASSERT_EQ(c.arguments.size(), 6u);
  EXPECT_TRUE(c.arguments[0].text == "1" && !c.arguments[0].missing && c.arguments[1].missing);
  EXPECT_TRUE(c.arguments[4].quoted && c.arguments[4].text == "a, b" && c.arguments[5].text == "&HFF");
  const auto a = parse_call("AutoDraw=False");
  EXPECT_TRUE(a.assignment && a.arguments.at(0).text == "False");
  EXPECT_TRUE(parse_call("UndoLast").arguments.empty() && parse_call("DrawNow()").arguments.empty());
  for (const char* bad : {"ASM_Rotate(90", "(90)", "AutoDraw=", "Bad Name(1)", "ASM_Rotate(\"x)"})
    EXPECT_THROW(parse_call(bad), CallError) << bad;
  const std::pair<const char*, std::optional<double>> numbers[] = {
      {"&HFF", 255}, {"&HFFFF", -1} /* four digits: an Integer */, {"&HFFFF&", 65535}, {"&HFFFFFF", 16777215},
      {"-2.5", -2.5}, {"1e2", 100}, {"abc", std::nullopt}, {"&HXYZ&", std::nullopt}, {"&O17&", 15}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(fx::parse_number(text), value) << text;
}

TEST(FxCalls, UsageErrorsAndRunTimeErrors) {
  virelta::testing::EngineHost lab(4, 4, 0x102030);
  lab.box.image().at(1, 2) = 0x405060;
  lab.rebind();
  auto run = [&](const std::string& text) { fx::run_call(lab.engine, parse_call(text)); };
  run("ASM_IncrementalPalEffects(4,5)");  // blue up by 5
  EXPECT_EQ(lab.screen(0, 0), 0x102035u);
  run("UndoLastDontDraw");  // the picture back, the box not redrawn
  EXPECT_TRUE(lab.screen(0, 0) == 0x102035u && lab.layer(2) == lab.layer(1));
  for (const char* bad : {"ASM_Spin(1)", "ASM_Rotate()", "ASM_Rotate(,True)", "ASM_Rotate(1,2,3,4,5,6,7)",
                          "UndoLast(1)", "UndoLastDontDraw(1)", "ResetPic=1"})
    EXPECT_THROW(run(bad), CallError) << bad;
  auto error = [&](const std::string& text) { return virelta::testing::error_number([&] { run(text); }); };
  EXPECT_EQ(error("ASM_Rotate(32408)"), 6);  // Angle + 360 overflows
  EXPECT_EQ(error("ASM_Rotate(40000)"), 6);  // not an Integer
  EXPECT_EQ(error("ASM_Rotate(45,,,,1,\"top\")"), 13);
  EXPECT_EQ(error("ASM_Rotate(45,,,,1,\" 2 \")"), 0);
  run("AutoDraw=False");
  EXPECT_FALSE(lab.engine.AutoDraw());
  run("AutoDraw=-1");
  EXPECT_TRUE(lab.engine.AutoDraw());
  lab.box.set_back_color(0x8000000F);
  run("ASM_Magnify(0.04)");  // no tenths: all the colour, left out: BackColor (red &H0F)
  EXPECT_EQ(lab.screen(1, 1) & 0xFFFFFF, 0x0F0000u);
}
