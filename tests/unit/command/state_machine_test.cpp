// What the button shows and when it raises Click as the user works the
// mouse and the focus, step by step.
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "button_fixture.h"

namespace virelta::command_test {
namespace {

enum class Act {
  Hover,          // the cursor moves onto the button
  HoverCaption,   // ... onto its caption text
  Leave,          // the cursor moves onto the window beside the button
  PressLeft,
  ReleaseLeft,
  PressLeftOnCaption,
  ReleaseLeftOnCaption,
  PressRight,
  ReleaseRight,
  Wait100,        // long enough for one timer tick
  Wait40,         // too short for a tick (every scenario starts at 0 ms)
  TabIn,
  TabOut,
  SpaceDown,
  SpaceUp,
  Enter,
};

struct Step {
  Act act;
  int state;      // ButtonState afterwards
  Look look;
  bool reversed;  // face lavender at the top
  int clicks;     // Click events so far
};

struct Scenario {
  std::string name;
  std::vector<Step> steps;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

constexpr bool kUp = false;    // white at the top
constexpr bool kDown = true;   // lavender at the top

const std::vector<Scenario> kScenarios = {
    {"a plain click",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::PressLeft, 4, Look::Pressed, kDown, 0},
      {Act::ReleaseLeft, 4, Look::HighLight, kDown, 1},
      {Act::Wait100, 4, Look::HighLight, kDown, 1},
      {Act::Leave, 4, Look::HighLight, kDown, 1},
      {Act::Wait100, 3, Look::Selected, kUp, 1}}},
    {"press, leave until the timer sees it, release: cancelled",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::PressLeft, 4, Look::Pressed, kDown, 0},
      {Act::Leave, 4, Look::Pressed, kDown, 0},
      {Act::Wait100, 3, Look::Selected, kUp, 0},
      {Act::ReleaseLeft, 3, Look::Selected, kUp, 0}}},
    {"press, leave, come back while held, release: still cancelled",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::PressLeft, 4, Look::Pressed, kDown, 0},
      {Act::Leave, 4, Look::Pressed, kDown, 0},
      {Act::Wait100, 3, Look::Selected, kUp, 0},
      {Act::Hover, 3, Look::Selected, kUp, 0},
      {Act::ReleaseLeft, 3, Look::Selected, kUp, 0},
      // Once released, a move hovers the focused button, face as focused.
      {Act::Hover, 4, Look::HighLight, kUp, 0}}},
    {"release within 100 ms of leaving: Click",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::PressLeft, 4, Look::Pressed, kDown, 0},
      {Act::Leave, 4, Look::Pressed, kDown, 0},
      {Act::Wait40, 4, Look::Pressed, kDown, 0},
      {Act::ReleaseLeft, 4, Look::HighLight, kDown, 1},
      {Act::Wait100, 3, Look::Selected, kUp, 1}}},
    {"right-button click on a hovered button: no pressed look, Click",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::PressRight, 2, Look::HighLight, kDown, 0},
      {Act::ReleaseRight, 2, Look::HighLight, kDown, 1},
      {Act::Leave, 2, Look::HighLight, kDown, 1},
      {Act::Wait100, 1, Look::Normal, kUp, 1}}},
    {"a click on the caption text is a click on the button",
     {{Act::HoverCaption, 2, Look::HighLight, kDown, 0},
      {Act::PressLeftOnCaption, 4, Look::Pressed, kDown, 0},
      {Act::ReleaseLeftOnCaption, 4, Look::HighLight, kDown, 1},
      {Act::Wait100, 4, Look::HighLight, kDown, 1}}},
    {"hover and leave",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::Leave, 2, Look::HighLight, kDown, 0},
      {Act::Wait100, 1, Look::Normal, kUp, 0},
      {Act::Wait100, 1, Look::Normal, kUp, 0}}},
    {"tab in and out",
     {{Act::TabIn, 3, Look::Selected, kUp, 0},
      {Act::Wait100, 3, Look::Selected, kUp, 0},
      {Act::TabOut, 1, Look::Normal, kUp, 0}}},
    {"a focused button under the cursor, then the cursor goes",
     {{Act::TabIn, 3, Look::Selected, kUp, 0},
      {Act::Hover, 4, Look::HighLight, kUp, 0},
      {Act::Wait100, 4, Look::HighLight, kUp, 0},
      {Act::Leave, 4, Look::HighLight, kUp, 0},
      {Act::Wait100, 3, Look::Selected, kUp, 0},
      {Act::TabOut, 1, Look::Normal, kUp, 0}}},
    {"focus arriving while hovered",
     {{Act::Hover, 2, Look::HighLight, kDown, 0},
      {Act::TabIn, 4, Look::Pressed, kDown, 0},
      {Act::Leave, 4, Look::Pressed, kDown, 0},
      {Act::Wait100, 3, Look::Selected, kUp, 0}}},
    {"Space shows the pressed look while down and clicks on release; Enter clicks",
     {{Act::TabIn, 3, Look::Selected, kUp, 0},
      {Act::SpaceDown, 3, Look::Pressed, kUp, 0},
      {Act::SpaceDown, 3, Look::Pressed, kUp, 0},  // the key repeats
      {Act::SpaceUp, 3, Look::Selected, kUp, 1},
      {Act::Enter, 3, Look::Selected, kUp, 2},
      {Act::Hover, 4, Look::HighLight, kUp, 2},
      {Act::SpaceDown, 4, Look::Pressed, kUp, 2},
      {Act::SpaceUp, 4, Look::HighLight, kUp, 3},
      {Act::SpaceDown, 4, Look::Pressed, kUp, 3},
      {Act::TabOut, 1, Look::Normal, kUp, 3},
      {Act::SpaceUp, 1, Look::Normal, kUp, 3}}},
    {"a focused button not under the cursor raises no Click",
     {{Act::TabIn, 3, Look::Selected, kUp, 0},
      {Act::ReleaseRight, 3, Look::Selected, kUp, 0}}},
};

class ButtonStates : public ButtonFixture, public ::testing::WithParamInterface<Scenario> {
 protected:
  void act(Act a) {
    switch (a) {
      case Act::Hover: p->move_mouse(Cmd_Set); break;
      case Act::HoverCaption: p->move_mouse(Cmd_Set.LblMsg()); break;
      case Act::Leave: p->move_mouse(form); break;
      case Act::PressLeft: p->press(Cmd_Set, kLeftButton); break;
      case Act::ReleaseLeft: p->release(Cmd_Set, kLeftButton); break;
      case Act::PressLeftOnCaption: p->press(Cmd_Set.LblMsg(), kLeftButton); break;
      case Act::ReleaseLeftOnCaption: p->release(Cmd_Set.LblMsg(), kLeftButton); break;
      case Act::PressRight: p->press(Cmd_Set, kRightButton); break;
      case Act::ReleaseRight: p->release(Cmd_Set, kRightButton); break;
      case Act::Wait100: p->advance(100); break;
      case Act::Wait40: p->advance(40); break;
      case Act::TabIn: p->focus(Cmd_Set); break;
      case Act::TabOut: p->focus(Cmd_Can); break;
      case Act::SpaceDown: p->key_down(form, kKeySpace); break;
      case Act::SpaceUp: p->key_up(form, kKeySpace); break;
      case Act::Enter: p->type(form, kKeyEnter); break;
    }
  }
};

TEST_P(ButtonStates, FollowTheUser) {
  ASSERT_EQ(Cmd_Set.ButtonState(), 1);
  ASSERT_EQ(look_of(Cmd_Set), Look::Normal);
  const auto& steps = GetParam().steps;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    act(s.act);
    SCOPED_TRACE("step " + std::to_string(i + 1));
    EXPECT_EQ(Cmd_Set.ButtonState(), s.state);
    EXPECT_STREQ(look_text(look_of(Cmd_Set)), look_text(s.look));
    EXPECT_EQ(face_runs_reversed(Cmd_Set), s.reversed);
    EXPECT_EQ(clicks, s.clicks);
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ButtonStates, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           std::string name;
                           for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// ---- Disabled, before Initialize, keys, repaint economy

using ButtonRules = ButtonFixture;

TEST_F(ButtonRules, ADisabledButtonIgnoresMouseFocusAndTimer) {
  p->move_mouse(Cmd_Set);
  ASSERT_EQ(Cmd_Set.ButtonState(), 2);
  Cmd_Set.Enabled(false);
  EXPECT_EQ(look_of(Cmd_Set), Look::Disable);
  EXPECT_FALSE(Cmd_Set.LblMsg().enabled());
  EXPECT_EQ(Cmd_Set.ButtonState(), 2);

  p->press(Cmd_Set, kLeftButton);
  p->release(Cmd_Set, kLeftButton);
  p->press(Cmd_Set, kRightButton);
  p->release(Cmd_Set, kRightButton);
  p->focus(Cmd_Set);
  p->type(form, kKeySpace);
  p->type(form, kKeyEnter);
  p->move_mouse(form);
  p->advance(300);
  p->move_mouse(Cmd_Set);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(Cmd_Set.ButtonState(), 2);
  EXPECT_FALSE(Cmd_Set.LeftButtonHeld());
  EXPECT_EQ(look_of(Cmd_Set), Look::Disable);

  Cmd_Set.move_twips(3960, 3060, 1500, 450);
  EXPECT_EQ(Cmd_Set.width(), 100);
  EXPECT_EQ(look_of(Cmd_Set), Look::Disable);

  // Enabled again: the normal look at once, face as the (stale) hover state says.
  Cmd_Set.Enabled(true);
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
  EXPECT_TRUE(Cmd_Set.LblMsg().enabled());
  p->move_mouse(form);
  p->advance(100);
  EXPECT_EQ(Cmd_Set.ButtonState(), 1);
}

TEST_F(ButtonRules, AResizedEnabledButtonShowsNormalWhateverItsState) {
  p->move_mouse(Cmd_Set);
  Cmd_Set.move_twips(3960, 3060, 1500, 450);
  EXPECT_EQ(Cmd_Set.ButtonState(), 2);
  EXPECT_EQ(look_of(Cmd_Set), Look::Normal);
}

TEST_F(ButtonRules, BeforeInitializeMovesDoNothingAndLeavingIsNotNoticed) {
  Command late(&form, "Cmd_Late");
  late.move_twips(240, 240, 1275, 375);
  late.ReadProperties(stored_button_properties("Cmd_Set"));
  int late_clicks = 0;
  late.Click = [&] { ++late_clicks; };
  EXPECT_EQ(late.ButtonState(), 0);
  EXPECT_FALSE(late.TmrMouse().enabled());

  p->move_mouse(late);
  EXPECT_EQ(late.ButtonState(), 0);
  EXPECT_EQ(look_of(late), Look::Normal);

  p->focus(late);
  EXPECT_EQ(late.ButtonState(), 3);
  p->move_mouse(late);
  EXPECT_EQ(late.ButtonState(), 4);
  p->move_mouse(form);
  p->advance(500);
  EXPECT_EQ(late.ButtonState(), 4);

  late.Initialize();
  EXPECT_EQ(late.ButtonState(), 1);
  EXPECT_TRUE(late.TmrMouse().enabled());
  EXPECT_EQ(late.TmrMouse().interval(), 100);
  EXPECT_EQ(look_of(late), Look::HighLight);  // Initialize paints nothing
  EXPECT_EQ(late_clicks, 0);
}

TEST_F(ButtonRules, APressTakesTheFocusFromTheOtherButton) {
  p->focus(Cmd_Can);
  ASSERT_EQ(Cmd_Can.ButtonState(), 3);
  p->move_mouse(Cmd_Set);
  p->press(Cmd_Set);
  EXPECT_EQ(p->focused, &Cmd_Set);
  EXPECT_EQ(Cmd_Can.ButtonState(), 1);
  EXPECT_EQ(look_of(Cmd_Can), Look::Normal);
  EXPECT_TRUE(Cmd_Set.LeftButtonHeld());
  p->release(Cmd_Set);
  EXPECT_FALSE(Cmd_Set.LeftButtonHeld());
}

TEST_F(ButtonRules, ARightPressDoesNotTakeTheFocusButTabStillStops) {
  p->focus(Cmd_Can);
  p->move_mouse(Cmd_Set.LblMsg());
  p->press(Cmd_Set.LblMsg(), kRightButton);
  EXPECT_EQ(p->focused, &Cmd_Can);
  p->release(Cmd_Set.LblMsg(), kRightButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(Cmd_Set.focusable);
  p->press(Cmd_Set.LblMsg(), kLeftButton);
  EXPECT_EQ(p->focused, &Cmd_Set);
}

TEST_F(ButtonRules, OnlyStateChangesRepaint) {
  p->move_mouse(Cmd_Set);
  const int after_hover = p->refresh_count(Cmd_Set);
  p->move_mouse(Cmd_Set);
  p->advance(1000);
  EXPECT_EQ(p->refresh_count(Cmd_Set), after_hover);
  p->move_mouse(form);
  p->advance(100);
  EXPECT_EQ(p->refresh_count(Cmd_Set), after_hover + 1);  // one refresh per repaint
  p->advance(1000);
  EXPECT_EQ(p->refresh_count(Cmd_Set), after_hover + 1);
}

TEST_F(ButtonRules, TheHoverTimerTicksEvery100Milliseconds) {
  p->move_mouse(Cmd_Set);
  p->move_mouse(form);
  p->advance(99);
  EXPECT_EQ(Cmd_Set.ButtonState(), 2);
  p->advance(1);
  EXPECT_EQ(Cmd_Set.ButtonState(), 1);
}

TEST_F(ButtonRules, ClickHandlerErrorsAreSkipped) {
  Cmd_Set.Click = [] { raise(ErrorNumber::Overflow); };
  p->move_mouse(Cmd_Set);
  EXPECT_NO_THROW(p->click(Cmd_Set));
  EXPECT_EQ(Cmd_Set.ButtonState(), 4);
  EXPECT_FALSE(Cmd_Set.LeftButtonHeld());
}

}  // namespace
}  // namespace virelta::command_test
