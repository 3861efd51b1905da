// The button's properties stored with the form and read back, bad ones skipped.
#include "button_fixture.h"

namespace virelta::command_test {
namespace {

std::string names_of(const PropertyBag& bag) {
  std::string names;
  for (const auto& e : bag.entries()) names += e.name + " ";
  return names;  // in their order
}

using ButtonProperties = ButtonFixture;

TEST_F(ButtonProperties, StoredValuesAreReadBadOnesSkippedAndOnlyNonDefaultOnesWritten) {
  EXPECT_EQ(Cmd_Set.Caption() + Cmd_Can.Caption() + Cmd_Can.Font().name, "設定ｷｬﾝｾﾙＭＳ Ｐゴシック");
  EXPECT_TRUE(Cmd_Can.Font().size == 9.75 && Cmd_Can.Font().charset == 128 && Cmd_Can.FirstRun() == 1);
  EXPECT_TRUE(stored_button_properties("Cmd_Other").entries().empty());
  Command bad(&form, "Command1");
  bad.ReadProperties(PropertyBag{{"Enabled", std::string("perhaps")}, {"FirstRun", std::string("300")},
                                 {"FontColour", std::string("&HFF")}, {"Visible", std::string("7")},
                                 {"Caption", std::string("Go")}});
  EXPECT_EQ(bad.Caption(), "Go");
  EXPECT_EQ(bad.FirstRun(), 0);  // 300 does not fit a byte
  EXPECT_EQ(bad.LblMsg().fore_color, 0xFFu);
  EXPECT_EQ(bad.BackStyle(), 1);
  EXPECT_EQ(look_of(bad), Look::Disable);  // Enabled kept its new-control False
  Font bold = Cmd_Set.Font();
  bold.weight = 700;
  Cmd_Set.Font(bold);
  Cmd_Set.FontColour(0x0000FF);
  Cmd_Set.Visible(false);
  Cmd_Set.Enabled(false);
  PropertyBag changed;
  Cmd_Set.WriteProperties(changed);
  EXPECT_EQ(names_of(changed), "Enabled Caption Font FontColour Visible ");
  EXPECT_EQ(changed.read_text("Enabled", "") + changed.read_text("FontColour", "") + changed.read_text("Visible", ""),
            "False2550");
  Command copy(&form, "Copy");
  copy.ReadProperties(changed);
  EXPECT_TRUE(copy.Font() == bold && copy.LblMsg().fore_color == 0x0000FFu && copy.BackStyle() == 0);
  EXPECT_EQ(look_of(copy), Look::Disable);
  for (std::string caption : {"Command1", "Command", "", "command1"}) {
    Cmd_Set.Caption(caption);
    PropertyBag bag;
    Cmd_Set.WriteProperties(bag);
    Command again(&form, "Copy");
    again.ReadProperties(bag);
    EXPECT_EQ(again.Caption(), caption);
  }
}

TEST_F(ButtonProperties, ABoolIsReadInEveryWayItIsStoredAndALooseButtonIsRefused) {
  for (const char* yes : {"True", " true ", "-1"}) EXPECT_TRUE(text_to_boolean(yes)) << yes;
  for (const char* no : {"FALSE", "0"}) EXPECT_FALSE(text_to_boolean(no)) << no;
  EXPECT_THROW(PropertyBag({{"Font", std::string("Arial")}}).read_font("font", Font{}), RuntimeError);
  Surface loose(nullptr, "loose");
  EXPECT_THROW(Command(&loose, "Command1"), RuntimeError);
}

}  // namespace
}  // namespace virelta::command_test
