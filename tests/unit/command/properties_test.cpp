// The button's properties: storing them with the form, reading them back, and
// what reading or setting one repaints.
#include "button_fixture.h"

namespace virelta::command_test {
namespace {

std::vector<std::string> names_of(const PropertyBag& bag) {
  std::vector<std::string> names;
  for (const auto& e : bag.entries()) names.push_back(e.name);
  return names;
}

TEST(PropertyBagTest, DefaultsAreNotStoredNamesIgnoreCaseAndKindsAreChecked) {
  PropertyBag bag;
  Font font;
  font.name = "Tahoma";
  bag.write("Caption", std::string("OK"), std::string("Command1"));
  bag.write("Visible", std::string("1"), std::string("1"));
  bag.write("Font", font, Font{});
  EXPECT_EQ(bag.read_font("FONT", Font{}), font);
  // Writing the default drops an entry; another value replaces it in its place.
  bag.write("Enabled", std::string("False"), std::string("True"));
  bag.write("caption", std::string("Command1"), std::string("Command1"));
  bag.write("Caption", std::string("A"), std::string("Command1"));
  bag.write("ENABLED", std::string("0"), std::string("True"));
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Font", "Enabled", "Caption"}));
  EXPECT_EQ(bag.read_text("caption", "x") + bag.read_text("Visible", "d"), "Ad");
  EXPECT_THROW(bag.read_font("Caption", Font{}), RuntimeError);
  EXPECT_THROW(bag.read_text("Font", ""), RuntimeError);
  for (const char* yes : {"True", " true ", "-1"}) EXPECT_TRUE(text_to_boolean(yes)) << yes;
  for (const char* no : {"FALSE", "0"}) EXPECT_FALSE(text_to_boolean(no)) << no;
  EXPECT_THROW(text_to_boolean("yes"), RuntimeError);
}

using ButtonProperties = ButtonFixture;

TEST_F(ButtonProperties, StoredValuesAreReadAndBadOnesSkipped) {
  EXPECT_EQ(Cmd_Set.Caption() + Cmd_Can.Caption(), "設定ｷｬﾝｾﾙ");
  EXPECT_EQ(Cmd_Can.Font().name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(Cmd_Can.Font().size, 9.75);
  EXPECT_EQ(Cmd_Can.Font().charset, 128);
  EXPECT_EQ(Cmd_Can.FirstRun(), 1);
  EXPECT_EQ(Cmd_Can.BackStyle(), 1);
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
}

TEST_F(ButtonProperties, OnlyNonDefaultEntriesAreWrittenInTheirOrderAndReadBack) {
  Font bold = Cmd_Set.Font();
  bold.weight = 700;
  Cmd_Set.Font(bold);
  Cmd_Set.FontColour(0x0000FF);
  Cmd_Set.Visible(false);
  Cmd_Set.Enabled(false);
  PropertyBag changed;
  Cmd_Set.WriteProperties(changed);
  ASSERT_EQ(names_of(changed), (std::vector<std::string>{"Enabled", "Caption", "Font", "FontColour", "Visible"}));
  EXPECT_EQ(changed.read_text("Enabled", "") + changed.read_text("FontColour", "") + changed.read_text("Visible", ""),
            "False2550");
  Command copy(&form, "Copy");
  copy.ReadProperties(changed);
  EXPECT_EQ(copy.Font(), bold);
  EXPECT_EQ(copy.LblMsg().fore_color, 0x0000FFu);
  EXPECT_EQ(copy.BackStyle(), 0);
  EXPECT_EQ(look_of(copy), Look::Disable);
  for (std::string caption : {"設定", "Command1", "Command", "", "command1"}) {
    Cmd_Set.Caption(caption);
    PropertyBag bag;
    Cmd_Set.WriteProperties(bag);
    Command again(&form, "Copy");
    again.ReadProperties(bag);
    EXPECT_EQ(again.Caption(), caption);
  }
}

// 1755 x 420 twips, disabled and "Command" until Enabled is first read.
TEST_F(ButtonProperties, ANewControlStoresItsFirstRunAndDesignCaption) {
  Command fresh(&form, "Command1");
  EXPECT_EQ(fresh.width() * 100 + fresh.height(), 11728);
  EXPECT_EQ(look_of(fresh), Look::Disable);
  PropertyBag bag;
  fresh.WriteProperties(bag);
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Enabled", "Caption", "FirstRun"}));
  EXPECT_EQ(bag.read_text("FirstRun", "") + bag.read_text("Caption", ""), "0Command");
  EXPECT_TRUE(fresh.Enabled());
  EXPECT_EQ(look_of(fresh), Look::Normal);
  PropertyBag after;
  fresh.WriteProperties(after);
  EXPECT_EQ(names_of(after), (std::vector<std::string>{"Caption"}));
}

TEST_F(ButtonProperties, ReadingFontColourOrEnabledRepaintsTheNormalLookButNotVisible) {
  std::vector<std::string> reported;
  Cmd_Set.on_property_changed = [&](std::string_view name) { reported.emplace_back(name); };
  p->move_mouse(Cmd_Set);
  EXPECT_EQ(Cmd_Set.FontColour(), 0u);
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
  EXPECT_TRUE(face_runs_reversed(Cmd_Set));  // still hovered
  p->press(Cmd_Set);
  EXPECT_TRUE(Cmd_Set.Enabled());
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
  EXPECT_EQ(Cmd_Set.ButtonState(), 4);
  Cmd_Set.Visible(false);  // transparent
  p->release(Cmd_Set);
  const int before = p->refresh_count(Cmd_Set);
  EXPECT_FALSE(Cmd_Set.Visible());
  Cmd_Set.Caption("保存");  // only the text changes
  EXPECT_EQ(p->refresh_count(Cmd_Set), before);
  EXPECT_EQ(Cmd_Set.LblMsg().caption(), "保存");
  EXPECT_EQ(Cmd_Set.LblMsg().bounds(), (Rect{0, 5, 85, 13}));
  Cmd_Set.FontColour(0x123456);
  Cmd_Set.Enabled(true);
  Cmd_Set.Font(Cmd_Set.Font());
  EXPECT_EQ(reported, (std::vector<std::string>{"Visible", "Caption", "FontColour", "Enabled", "Font"}));
  EXPECT_EQ(Cmd_Set.LblMsg().fore_color, 0x123456u);
}

TEST_F(ButtonProperties, AButtonOutsideAnyWindowIsRefused) {
  Surface loose(nullptr, "loose");
  try {
    Command button(&loose, "Command1");
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorNumber::ObjectNotSet);
  }
}

}  // namespace
}  // namespace virelta::command_test
