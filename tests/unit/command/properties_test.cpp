// The button's properties, their repainting side effects, and storing them
// with the form and reading them back.
#include "button_fixture.h"

namespace virelta::command_test {
namespace {

Font dialog_font() {
  Font f;
  f.name = "ＭＳ Ｐゴシック";
  f.size = 9.75;
  f.weight = 400;
  f.charset = 128;
  return f;
}

std::vector<std::string> names_of(const PropertyBag& bag) {
  std::vector<std::string> names;
  for (const auto& e : bag.entries()) names.push_back(e.name);
  return names;
}

// ---- The bag on its own

TEST(PropertyBagTest, DefaultsAreNotStoredAndNamesIgnoreCase) {
  PropertyBag bag;
  bag.write("Caption", std::string("OK"), std::string("Command1"));
  bag.write("Visible", std::string("1"), std::string("1"));
  bag.write("Font", dialog_font(), Font{});
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Caption"}));

  EXPECT_EQ(bag.read_text("CAPTION", "x"), "OK");
  EXPECT_EQ(bag.read_text("caption", "x"), "OK");
  EXPECT_EQ(bag.read_text("Visible", "1"), "1");
  EXPECT_EQ(bag.read_font("font", dialog_font()), dialog_font());

  // Writing the default again drops a stored entry; another value replaces
  // it in its place.
  bag.write("Enabled", std::string("False"), std::string("True"));
  bag.write("caption", std::string("Command1"), std::string("Command1"));
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Enabled"}));
  bag.write("Caption", std::string("A"), std::string("Command1"));
  bag.write("ENABLED", std::string("0"), std::string("True"));
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Enabled", "Caption"}));
  EXPECT_EQ(bag.read_text("Enabled", "True"), "0");
}

TEST(PropertyBagTest, AnEntryOfTheWrongKindIsATypeMismatch) {
  PropertyBag bag{{"Font", std::string("Arial")}, {"Caption", dialog_font()}};
  try {
    bag.read_font("Font", Font{});
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorNumber::TypeMismatch);
  }
  EXPECT_THROW(bag.read_text("Caption", ""), RuntimeError);
}

TEST(PropertyBagTest, StoredBooleans) {
  EXPECT_TRUE(text_to_boolean("True"));
  EXPECT_TRUE(text_to_boolean(" true "));
  EXPECT_TRUE(text_to_boolean("-1"));
  EXPECT_FALSE(text_to_boolean("FALSE"));
  EXPECT_FALSE(text_to_boolean("0"));
  EXPECT_THROW(text_to_boolean("yes"), RuntimeError);
}

// ---- Reading and writing a button

using ButtonProperties = ButtonFixture;

TEST_F(ButtonProperties, TheDialogsButtonsComeUpEnabledOpaqueBlackInTheirFont) {
  for (const auto& [button, caption] : {std::pair<Command*, std::string>{&Cmd_Set, "設定"}, {&Cmd_Can, "ｷｬﾝｾﾙ"}}) {
    EXPECT_EQ(button->Caption(), caption);
    EXPECT_EQ(button->Font(), dialog_font());
    EXPECT_EQ(button->FirstRun(), 1);
    EXPECT_EQ(button->BackStyle(), 1);
    EXPECT_EQ(button->LblMsg().fore_color, 0u);
    EXPECT_TRUE(button->LblMsg().enabled());
    EXPECT_EQ(look_of(*button), Look::Normal);
    EXPECT_TRUE(button->Enabled());
  }
  const PropertyBag stored = stored_button_properties("Cmd_Set");
  EXPECT_EQ(names_of(stored), (std::vector<std::string>{"caption", "font"}));
  EXPECT_TRUE(stored_button_properties("Cmd_Other").entries().empty());
}

TEST_F(ButtonProperties, AnEmptyBagGivesEveryDefault) {
  Command button(&form, "Command1");
  Font ambient;
  ambient.name = "Tahoma";
  ambient.size = 8;
  button.ambient_font = ambient;
  button.ReadProperties(PropertyBag{});
  EXPECT_EQ(button.Caption(), "Command1");
  EXPECT_EQ(button.Font(), ambient);
  EXPECT_EQ(button.FirstRun(), 1);
  EXPECT_EQ(button.LblMsg().fore_color, 0u);
  EXPECT_EQ(button.BackStyle(), 1);
  EXPECT_EQ(look_of(button), Look::Normal);
  EXPECT_TRUE(button.Enabled());
}

TEST_F(ButtonProperties, OnlyNonDefaultEntriesAreWrittenInTheirOrder) {
  PropertyBag bag;
  Cmd_Set.WriteProperties(bag);
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Caption"}));  // its font is the ambient one

  Font bold = dialog_font();
  bold.weight = 700;
  Cmd_Set.Font(bold);
  Cmd_Set.FontColour(0x0000FF);
  Cmd_Set.Visible(false);
  Cmd_Set.Enabled(false);
  PropertyBag changed;
  Cmd_Set.WriteProperties(changed);
  ASSERT_EQ(names_of(changed), (std::vector<std::string>{"Enabled", "Caption", "Font", "FontColour", "Visible"}));
  EXPECT_EQ(changed.read_text("Enabled", ""), "False");
  EXPECT_EQ(changed.read_text("FontColour", ""), "255");
  EXPECT_EQ(changed.read_text("Visible", ""), "0");

  Command copy(&form, "Copy");
  copy.ReadProperties(changed);
  EXPECT_EQ(copy.Caption(), "設定");
  EXPECT_EQ(copy.Font(), bold);
  EXPECT_EQ(copy.LblMsg().fore_color, 0x0000FFu);
  EXPECT_EQ(copy.BackStyle(), 0);
  EXPECT_FALSE(copy.Enabled());
  EXPECT_EQ(look_of(copy), Look::Disable);
}

TEST_F(ButtonProperties, EveryCaptionSurvivesStoringAndReading) {
  for (std::string caption : {"Command1", "Command", "", "ｷｬﾝｾﾙ", "command1"}) {
    Cmd_Set.Caption(caption);
    PropertyBag bag;
    Cmd_Set.WriteProperties(bag);
    Command copy(&form, "Copy");
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.Caption(), caption);
  }
}

TEST_F(ButtonProperties, ANewControlStoresItsFirstRunAndDesignCaption) {
  Command fresh(&form, "Command1");
  EXPECT_EQ(fresh.FirstRun(), 0);
  PropertyBag bag;
  fresh.WriteProperties(bag);
  EXPECT_EQ(names_of(bag), (std::vector<std::string>{"Enabled", "Caption", "FirstRun"}));
  EXPECT_EQ(bag.read_text("FirstRun", ""), "0");
  EXPECT_EQ(bag.read_text("Caption", ""), "Command");

  // The first reading of Enabled finishes the placing: enabled, normal look.
  EXPECT_TRUE(fresh.Enabled());
  EXPECT_EQ(fresh.FirstRun(), 1);
  EXPECT_EQ(look_of(fresh), Look::Normal);
  PropertyBag after;
  fresh.WriteProperties(after);
  EXPECT_EQ(names_of(after), (std::vector<std::string>{"Caption"}));
}

TEST_F(ButtonProperties, BadStoredValuesAreSkippedAndTheRestIsRead) {
  Command button(&form, "Command1");
  button.ReadProperties(PropertyBag{{"Enabled", std::string("perhaps")},
                                    {"FirstRun", std::string("300")},
                                    {"FontColour", std::string("&HFF")},
                                    {"Visible", std::string("7")},
                                    {"Caption", std::string("Go")}});
  EXPECT_EQ(button.Caption(), "Go");
  EXPECT_EQ(button.FirstRun(), 0);  // 300 does not fit a byte
  EXPECT_EQ(button.LblMsg().fore_color, 0xFFu);
  EXPECT_EQ(button.BackStyle(), 1);
  EXPECT_EQ(look_of(button), Look::Disable);  // Enabled kept its new-control False
}

// ---- Properties at run time

TEST_F(ButtonProperties, EnabledPaintsAtOnceWhateverTheMouseDoes) {
  p->move_mouse(Cmd_Set);
  p->press(Cmd_Set);
  ASSERT_EQ(look_of(Cmd_Set), Look::Pressed);
  Cmd_Set.Enabled(false);
  EXPECT_EQ(look_of(Cmd_Set), Look::Disable);
  EXPECT_FALSE(Cmd_Set.LblMsg().enabled());
  Cmd_Set.Enabled(true);
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
  EXPECT_TRUE(Cmd_Set.LblMsg().enabled());
  EXPECT_EQ(Cmd_Set.ButtonState(), 4);
}

TEST_F(ButtonProperties, ReadingFontColourOrEnabledRepaintsTheNormalLook) {
  p->move_mouse(Cmd_Set);
  ASSERT_EQ(look_of(Cmd_Set), Look::HighLight);
  EXPECT_EQ(Cmd_Set.FontColour(), 0u);
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
  EXPECT_TRUE(face_runs_reversed(Cmd_Set));  // still hovered
  EXPECT_EQ(Cmd_Set.ButtonState(), 2);

  p->focus(Cmd_Set);
  ASSERT_EQ(look_of(Cmd_Set), Look::Pressed);
  EXPECT_TRUE(Cmd_Set.Enabled());
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
}

TEST_F(ButtonProperties, ATransparentButtonReadsVisibleFalseWithoutRepainting) {
  Command button(&form, "Command1");
  button.ReadProperties(PropertyBag{{"Visible", std::string("0")}});
  p->move_mouse(button);
  button.Initialize();
  p->move_mouse(button);
  ASSERT_EQ(look_of(button), Look::HighLight);
  const int before = p->refresh_count(button);
  EXPECT_FALSE(button.Visible());
  EXPECT_EQ(p->refresh_count(button), before);
  EXPECT_EQ(look_of(button), Look::HighLight);

  button.Visible(true);
  EXPECT_EQ(button.BackStyle(), 1);
  EXPECT_EQ(look_of(button), Look::Normal);
  p->move_mouse(form);
  p->advance(100);
  p->move_mouse(button);
  ASSERT_EQ(look_of(button), Look::HighLight);
  EXPECT_TRUE(button.Visible());
  EXPECT_EQ(look_of(button), Look::Normal);
}

TEST_F(ButtonProperties, CaptionChangesOnlyTheText) {
  const int before = p->refresh_count(Cmd_Set);
  const Rect place = Cmd_Set.LblMsg().bounds();
  Cmd_Set.Caption("保存");
  EXPECT_EQ(Cmd_Set.Caption(), "保存");
  EXPECT_EQ(Cmd_Set.LblMsg().caption(), "保存");
  EXPECT_EQ(p->refresh_count(Cmd_Set), before);
  EXPECT_EQ(Cmd_Set.LblMsg().bounds(), place);
}

TEST_F(ButtonProperties, SettersReportTheirPropertyNames) {
  std::vector<std::string> reported;
  Cmd_Set.on_property_changed = [&](std::string_view name) { reported.emplace_back(name); };
  Cmd_Set.Visible(true);
  Cmd_Set.FontColour(0x123456);
  Cmd_Set.Enabled(true);
  Cmd_Set.Caption("x");
  Cmd_Set.Font(dialog_font());
  EXPECT_EQ(reported, (std::vector<std::string>{"Visible", "FontColour", "Enabled", "Caption", "Font"}));
  EXPECT_EQ(Cmd_Set.LblMsg().fore_color, 0x123456u);
}

TEST_F(ButtonProperties, TheDialogFindsItsButtonsAmongItsControls) {
  Label other(&form, "lbl_URL");
  Surface panel(&form, "Pic_Panel");
  Command inner(&panel, "Cmd_Inner");
  EXPECT_EQ(commands_in(form), (std::vector<Command*>{&Cmd_Set, &Cmd_Can, &inner}));
  EXPECT_EQ(as_command(&other), nullptr);
  EXPECT_EQ(as_command(&Cmd_Can), &Cmd_Can);
  EXPECT_EQ(kCommandClassId, "Virelta.Command");
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
