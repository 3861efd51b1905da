// The button's properties stored with the form and read back, bad ones skipped.
#include "button_fixture.h"

namespace virelta::command_test {
namespace {

using ButtonProperties = ButtonFixture;

TEST_F(ButtonProperties, StoredValuesAreReadBadOnesRefusedAndOnlyNonDefaultOnesWritten) {
  EXPECT_EQ(Cmd_Set.Caption() + Cmd_Can.Caption() + Cmd_Can.Font().name, "設定ｷｬﾝｾﾙＭＳ Ｐゴシック");
  EXPECT_TRUE(Cmd_Can.Font().size == 9.75 && Cmd_Can.Font().charset == 128 && Cmd_Can.FirstRun() == 1);
  EXPECT_TRUE(stored_button_properties("Cmd_Other").entries().empty());
  EXPECT_THROW(PropertyBag({{"Font", std::string("Arial")}}).read_font("font", Font{}), RuntimeError);
  Surface loose(nullptr, "loose");  // a button outside any window is refused
  EXPECT_THROW(Command(&loose, "Command1"), RuntimeError);
  for (const char* yes : {"True", " true ", "-1"}) EXPECT_TRUE(text_to_boolean(yes)) << yes;
  for (const char* no : {"FALSE", "0"}) EXPECT_FALSE(text_to_boolean(no)) << no;
  Command bad(&form, "Command1");
  bad.ReadProperties(PropertyBag{{"Enabled", std::string("perhaps")}, {"FirstRun", std::string("300")},
                                 {"FontColour", std::string("&HFF")}, {"Visible", std::string("7")},
                                 {"Caption", std::string("Go")}});
  // 300 does not fit FirstRun's byte; Enabled keeps a new control's False.
  EXPECT_TRUE(bad.Caption() == "Go" && bad.FirstRun() == 0 && bad.LblMsg().fore_color == 0xFFu && bad.BackStyle() == 1);
  EXPECT_EQ(look_of(bad), Look::Disable);
  Font bold = Cmd_Set.Font();
  bold.weight = 700;
  Cmd_Set.Font(bold);
  Cmd_Set.FontColour(0x0000FF);
  Cmd_Set.Visible(false);
  Cmd_Set.Enabled(false);
  PropertyBag changed;
  Cmd_Set.WriteProperties(changed);
  std::string names;
  for (const auto& e : changed.entries()) names += e.name + " ";
  EXPECT_EQ(names, "Enabled Caption Font FontColour Visible ");  // in this order
  EXPECT_EQ(changed.read_text("Enabled", "") + changed.read_text("FontColour", "") + changed.read_text("Visible", ""),
            "False2550");
  Command copy(&form, "Copy");
  EXPECT_EQ(copy.LblMsg().fore_color, 0u);  // a new button's caption is black
  copy.ReadProperties(changed);
  EXPECT_TRUE(copy.Font() == bold && copy.LblMsg().fore_color == 0x0000FFu && copy.BackStyle() == 0);
  EXPECT_EQ(look_of(copy), Look::Disable);
  for (std::string caption : {"Command1", "Command", "", "command1"}) {
    PropertyBag bag;
    Cmd_Set.Caption(caption);
    Cmd_Set.WriteProperties(bag);
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.Caption(), caption);
  }
}

}  // namespace
}  // namespace virelta::command_test
