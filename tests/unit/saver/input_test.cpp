// Ending the saver: a click or any key, in each mode and platform family,
// with the 9x password check.
#include "saver_fixture.h"
#include "startup/virelta_b.h"

namespace virelta::saver::testing {
namespace {

class InputTest : public SaverTest {
 protected:
  // As the system starts it, with no settings file (the defaults).
  Virelta_S& start(const std::string& command, std::optional<int> platform_id) {
    machine->command = command;
    machine->platform_id = platform_id;
    machine->folder = "/nonexistent/virelta-saver-test";
    machine->cursor_count = 0;  // a new process
    ModeWindows windows;
    windows.load_saver = load_saver_window;
    Main(windows);
    machine->calls.clear();
    return watch(*saver_window());
  }
  bool ended_by(const std::function<void()>& input) {
    try { input(); } catch (const ProgramEnded& end) { return end.exit_code == 0; }
    return false;
  }
  const std::vector<std::string>& calls() const { return machine->calls; }
};

const std::vector<std::string> kShutdown = {"SystemParametersInfo 97 0", "ShowCursor 1", "SystemParametersInfo 17 1"};

TEST_F(InputTest, NineXFamilyAsksForThePasswordAndARefusalKeepsTheSaverRunning) {
  // A failed version call counts as the 9x family too.
  for (std::optional<int> family : {std::optional<int>(1), std::optional<int>()}) {
    machine->password_answers = {false, true};
    angles.clear();
    Virelta_S& s = start("/S", family);
    on_frame = [&](std::optional<int> angle) {
      if (angle == 100) machine->post([&] { machine->click(s.Display); });
    };
    EXPECT_FALSE(ended_by([&] { run_cycle(); }));
    // The cursor shows for the dialog and hides again; the cycle goes on.
    EXPECT_EQ(calls(), (std::vector<std::string>{"ShowCursor 1", "VerifyScreenSavePwd", "ShowCursor 0"}));
    EXPECT_EQ(angles, steps_then_reset(0, 360, 10));
    machine->calls.clear();
    ASSERT_TRUE(ended_by([&] { machine->key_down(s.form, 13); }));
    EXPECT_EQ(calls(), (std::vector<std::string>{"ShowCursor 1", "VerifyScreenSavePwd", kShutdown[0], kShutdown[1],
                                                  kShutdown[2]}));
  }
  // No password service at all (no password.cpl) ends it, with the engines released.
  Virelta_S& s = start("/s", 1);
  ASSERT_TRUE(ended_by([&] { machine->click(s.Display, kRightButton); }));
  EXPECT_EQ(calls().back(), "SystemParametersInfo 17 1");
  EXPECT_TRUE(!s.form.loaded() && machine->shown_windows.empty());
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(s.TileEngine(i));
}

TEST_F(InputTest, TestModeEndsOnTheFirstInputOnEveryPlatform) {
  for (std::optional<int> family : {std::optional<int>(1), std::optional<int>(2), std::optional<int>()}) {
    machine->password_answers = {false};
    Virelta_S& s = start("", family);
    EXPECT_TRUE(machine->cursor_count == 0 && ended_by([&] { machine->key_down(s.form, 32, 1); }));
    EXPECT_EQ(calls(), std::vector<std::string>{"SystemParametersInfo 17 1"});  // no password, cursor or keys
  }
  Virelta_S& nt = start("/S", 2);  // the NT family: the system itself guards the password
  EXPECT_TRUE(ended_by([&] { machine->key_down(nt.form, 32, 1); }) && calls() == kShutdown);
}

}  // namespace
}  // namespace virelta::saver::testing
