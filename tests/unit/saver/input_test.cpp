// Ending the saver: a click or any key, in each mode and platform family,
// with the 9x password check; mouse movement never ends it.
#include <algorithm>

#include "startup/virelta_b.h"
#include "saver_fixture.h"

namespace virelta::saver::testing {
namespace {

class InputTest : public SaverTest {
 protected:
  // Start-up as the system does it, with no settings file (the defaults).
  Virelta_S& start(const std::string& command, std::optional<int> platform_id) {
    machine->command = command;
    machine->platform_id = platform_id;
    machine->folder = "/nonexistent/virelta-saver-test";
    ModeWindows windows;
    windows.load_saver = load_saver_window;
    Main(windows);
    Virelta_S& s = *saver_window();
    s.on_frame = [this](std::optional<int> angle) {
      angles.push_back(angle);
      if (on_frame) on_frame(angle);
    };
    machine->calls.clear();
    return s;
  }
  bool ended_by(const std::function<void()>& input) {
    try {
      input();
    } catch (const ProgramEnded& end) {
      EXPECT_EQ(end.exit_code, 0);
      return true;
    }
    return false;
  }
  const std::vector<std::string>& calls() const { return machine->calls; }
};

const std::vector<std::string> kShutdownSaverMode = {"SystemParametersInfo 97 0", "ShowCursor 1",
                                                     "SystemParametersInfo 17 1"};

TEST_F(InputTest, NtFamilyEndsAtOnceWithoutAPassword) {
  Virelta_S& s = start("/s", 2);
  EXPECT_EQ(machine->cursor_count, -1);
  ASSERT_TRUE(ended_by([&] { machine->key_down(s.form, 65); }));
  EXPECT_EQ(calls(), kShutdownSaverMode);
  EXPECT_EQ(machine->cursor_count, 0);
  // Unloaded, with the engines released.
  EXPECT_FALSE(s.form.loaded());
  EXPECT_TRUE(machine->shown_windows.empty());
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(s.TileEngine(i));
}

TEST_F(InputTest, NineXFamilyAsksForThePasswordAndARefusalKeepsTheSaverRunning) {
  machine->password_answers = {false, true};
  Virelta_S& s = start("/S", 1);
  on_frame = [&](std::optional<int> angle) {
    if (angle == 100) machine->post([&] { machine->click(s.Display); });
  };
  EXPECT_FALSE(ended_by([&] { machine->advance(1); }));
  // The cursor is shown for the dialog and hidden again after the refusal;
  // the cycle went on from where the click came.
  EXPECT_EQ(calls(), (std::vector<std::string>{"ShowCursor 1", "VerifyScreenSavePwd", "ShowCursor 0"}));
  EXPECT_EQ(machine->cursor_count, -1);
  EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
  EXPECT_TRUE(s.form.loaded());

  // The next key asks again; this time the password is right.
  machine->calls.clear();
  ASSERT_TRUE(ended_by([&] { machine->key_down(s.form, 13); }));
  std::vector<std::string> expected = {"ShowCursor 1", "VerifyScreenSavePwd"};
  expected.insert(expected.end(), kShutdownSaverMode.begin(), kShutdownSaverMode.end());
  EXPECT_EQ(calls(), expected);
}

TEST_F(InputTest, NineXFamilyWithoutAPasswordServiceEnds) {
  // No password set answers "may end"; a service that cannot be reached at
  // all (no password.cpl) ends the saver the same way.
  for (bool reachable : {true, false}) {
    SCOPED_TRACE(reachable);
    if (reachable) machine->password_answers = {true};
    Virelta_S& s = start("/s", 1);
    ASSERT_TRUE(ended_by([&] { machine->click(s.Display, kRightButton); }));
    EXPECT_EQ(calls().at(1), "VerifyScreenSavePwd");
    EXPECT_EQ(calls().back(), "SystemParametersInfo 17 1");
  }
}

TEST_F(InputTest, AFailedVersionCallCountsAsThe9xFamily) {
  machine->password_answers = {false};
  Virelta_S& s = start("-s", std::nullopt);
  EXPECT_FALSE(ended_by([&] { machine->key_down(s.form, 27); }));
  EXPECT_TRUE(std::count(calls().begin(), calls().end(), "VerifyScreenSavePwd") == 1);
}

TEST_F(InputTest, TestModeEndsOnTheFirstInputOnEveryPlatform) {
  for (std::optional<int> family : {std::optional<int>(1), std::optional<int>(2), std::optional<int>()}) {
    machine->password_answers = {false};
    Virelta_S& s = start("", family);
    EXPECT_EQ(machine->cursor_count, 0);
    ASSERT_TRUE(ended_by([&] { machine->key_down(s.form, 32, 1); }));
    // No password, no cursor or system-key calls: only screen saving kept on.
    EXPECT_EQ(calls(), std::vector<std::string>{"SystemParametersInfo 17 1"});
  }
}

TEST_F(InputTest, InputRightAfterTheWindowIsShownEndsIt) {
  Virelta_S& s = start("/s", 2);
  EXPECT_TRUE(angles.empty());
  EXPECT_TRUE(ended_by([&] { machine->click(s.Display); }));
}

TEST_F(InputTest, AKeyOrACloseRequestInTheMiddleOfACycleAbandonsIt) {
  // The system's close request (WM_CLOSE, a session's end) shuts down as a key does.
  for (bool close : {false, true}) {
    Virelta_S& s = start("/s", 2);
    angles.clear();
    on_frame = [&](std::optional<int>) {
      if (angles.size() == 5) machine->post([&] { close ? s.form.request_close() : s.form.on_key_down(16, 1); });
    };
    EXPECT_TRUE(ended_by([&] { machine->advance(1); }));
    EXPECT_EQ(angles.size(), 5u);
    EXPECT_EQ(calls(), kShutdownSaverMode);
  }
}

TEST_F(InputTest, MouseMovementAndTheMiddleButtonNeverEndIt) {
  Virelta_S& s = start("/s", 2);
  // The move message a new window gets without any movement, then real ones
  // during a cycle.
  EXPECT_FALSE(ended_by([&] { machine->move_mouse(s.Display); }));
  on_frame = [&](std::optional<int> angle) {
    if (angle && *angle % 50 == 0) machine->post([&] { machine->move_mouse(s.form); });
  };
  EXPECT_FALSE(ended_by([&] { machine->advance(1); }));
  EXPECT_FALSE(ended_by([&] { machine->click(s.Display, kMiddleButton); }));
  EXPECT_TRUE(calls().empty());
  EXPECT_TRUE(s.form.loaded());
  EXPECT_EQ(angles.size(), 38u);
}

}  // namespace
}  // namespace virelta::saver::testing
