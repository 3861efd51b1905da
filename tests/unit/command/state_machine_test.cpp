// What the button shows and when it raises Click as the user works the mouse
// and the focus, step by step.
#include <sstream>
#include <string>

#include "button_fixture.h"

namespace virelta::command_test {
namespace {

// A step: the act, then ButtonState, look, face and Clicks so far ('.' not
// checked). Acts: H hover, C hover the caption, L leave, P/R press/release left,
// p/r on the caption, Q/q press/release right, W/w wait 100 ms (a timer tick)/40
// ms, T tab in, O tab out, D/E disable/enable, z/Z resize/restore, K/k Space
// down/up, N Enter. Looks: N
// normal, H highlight, P pressed, D disable, S selected. Face: v white at the top.
const std::pair<const char*, const char*> kScenarios[] = {
    {"a plain click", "H2H^0 P4P^0 R4H^1 W4H^1 L4H^1 W3Sv1"},
    {"press, leave till the timer sees it, back, release: none", "H2H^0 P4P^0 L4P^0 W3Sv0 H3Sv0 R3Sv0 H4Hv0"},
    {"release within 100 ms of leaving: Click", "H2H^0 P4P^0 L4P^0 w4P^0 R4H^1 W3Sv1"},
    {"right-button click: no pressed look, Click", "H2H^0 Q2H^0 q2H^1 L2H^1 W1Nv1"},
    {"a click on the caption text", "C2H^0 p4P^0 r4H^1 W4H^1"},
    {"focused and under the cursor, then the cursor goes", "T3Sv0 H4Hv0 W4Hv0 L4Hv0 W3Sv0 O1Nv0"},
    {"focus arriving while hovered", "H2H^0 T4P^0 L4P^0 W3Sv0"},
    {"disabled ignores all; enabled", "H2H^0 D2D.0 P2D.0 R2D.0 Q2D.0 q2D.0 T2D.0 L2D.0 W2D.0 H2D.0 z2D.0 E2N^0 L2N^0 W1Nv0"},
    {"a resized enabled button shows normal whatever its state", "H2H^0 z2N.0 Z2N.0 P4P^0"},
    {"Space: pressed while down, Click on release (not alone); Enter clicks", "T3Sv0 k3Sv0 K3Pv0 K3Pv0 k3Sv1 N3Sv2 H4Hv2 K4Pv2 k4Hv3 K4Pv3 O1Nv3 k1Nv3"},
    {"a focused button not under the cursor: a right release is no Click", "T3Sv0 q3Sv0"},
};

class ButtonStates : public ButtonFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ButtonStates, FollowTheUser) {
  const auto [name, steps] = kScenarios[GetParam()];
  ASSERT_EQ(Cmd_Set.ButtonState(), 1);
  std::istringstream in(steps);
  for (std::string s; in >> s;) {
    Control& caption = Cmd_Set.LblMsg();
    switch (s[0]) {
      case 'H': p->move_mouse(Cmd_Set); break;
      case 'C': p->move_mouse(caption); break;
      case 'L': p->move_mouse(form); break;
      case 'P': p->press(Cmd_Set); break;
      case 'R': p->release(Cmd_Set); break;
      case 'p': p->press(caption); break;
      case 'r': p->release(caption); break;
      case 'Q': p->press(Cmd_Set, kRightButton); break;
      case 'q': p->release(Cmd_Set, kRightButton); break;
      case 'W': p->advance(100); break;
      case 'w': p->advance(40); break;
      case 'T': p->focus(Cmd_Set); break;
      case 'O': p->focus(Cmd_Can); break;
      case 'D': Cmd_Set.Enabled(false); break;
      case 'E': Cmd_Set.Enabled(true); break;
      case 'z': Cmd_Set.move_twips(3960, 3060, 1500, 450); break;
      case 'Z': Cmd_Set.move_twips(3960, 3060, 1275, 375); break;
      case 'K': p->key_down(form, kKeySpace); break;
      case 'k': p->key_up(form, kKeySpace); break;
      case 'N': p->type(form, kKeyEnter); break;
    }
    SCOPED_TRACE(std::string(name) + ": " + s);
    EXPECT_EQ(Cmd_Set.ButtonState(), s[1] - '0');
    EXPECT_EQ("NHPDS?"[static_cast<int>(look_of(Cmd_Set))], s[2]);
    EXPECT_TRUE(s[3] == '.' || face_runs_reversed(Cmd_Set) == (s[3] == '^'));
    EXPECT_EQ(clicks, s[4] - '0');
    EXPECT_EQ(Cmd_Set.LblMsg().enabled(), s[2] != 'D');
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ButtonStates, ::testing::Range(0, static_cast<int>(std::size(kScenarios))));

using ButtonRules = ButtonFixture;

TEST_F(ButtonRules, FocusRepaintsAndHandlerErrors) {
  p->focus(Cmd_Can);
  p->move_mouse(Cmd_Set.LblMsg());
  p->press(Cmd_Set.LblMsg(), kRightButton);  // a right press leaves the focus
  EXPECT_EQ(p->focused, &Cmd_Can);
  p->release(Cmd_Set.LblMsg(), kRightButton);
  p->press(Cmd_Set);  // a left press takes it
  EXPECT_EQ(p->focused, &Cmd_Set);
  EXPECT_EQ(look_of(Cmd_Can), Look::Normal);
  Cmd_Set.Click = [] { raise(ErrorNumber::Overflow); };  // skipped, the release still done
  EXPECT_NO_THROW(p->release(Cmd_Set));
  EXPECT_FALSE(Cmd_Set.LeftButtonHeld());
  EXPECT_EQ(clicks, 1);
  // One refresh per change of look, showing the new look; none otherwise.
  int framed = 0;
  p->on_refresh = [&](const Surface& s, const Rect*) { framed += &s == &Cmd_Set && Cmd_Set.image().at(40, 1) == kBorderBlue; };
  const int before = p->refresh_count(Cmd_Set);
  p->move_mouse(form);
  p->advance(99);
  EXPECT_EQ(Cmd_Set.ButtonState(), 4);
  p->advance(1001);
  EXPECT_EQ(p->refresh_count(Cmd_Set) * 10 + framed, (before + 1) * 10 + 1);
}

}  // namespace
}  // namespace virelta::command_test
