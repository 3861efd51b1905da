// The preview: the host handle read from the command line, the window made a
// child of the host at its size showing the picture, and its lifetime.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "saver/saver_entry.h"
#include "saver/virelta_r.h"
#include "startup/virelta_b.h"

namespace virelta::saver {
namespace {

TEST(PreviewHostHandle, IsTheNumberFromTheFourthCharacterOn) {
  const struct {
    const char* command;
    std::optional<std::uintptr_t> handle;
  } cases[] = {{"/p 1234", 1234}, {"/p:1234", 1234}, {"-P 66090 trailing", 66090}, {"/p   42", 42},
               {"/p 77abc", 77}, {"/p 12.5", 12}, {"/p 13.5", 14}, {"/p 2147483647", 2147483647},
               {"/p", {}}, {"/p ", {}}, {"/p 0", {}}, {"/p abc", {}}, {"/p 2147483648", {}}, {"/p 1e30", {}},
               {"/p -1e400", {}}, {"/p:", {}}};
  for (const auto& c : cases) EXPECT_EQ(preview_host_handle(c.command), c.handle) << c.command;
}

class PreviewTest : public ::testing::Test {
 protected:
  static constexpr std::uintptr_t kHost = 4242;
  void SetUp() override {
    machine->foreign_windows = {{kHost, Rect{0, 0, 200, 150}}, {777, Rect{0, 0, 10, 10}}};
    machine->on_message = [](const RecordedMessage& m) { ADD_FAILURE() << m.text; };
  }
  void TearDown() override { release_windows(); }
  bool start(const std::string& command) {
    machine->command = command;
    ModeWindows windows;
    windows.show_preview = show_preview_window;
    try {
      Main(windows);
    } catch (const ProgramEnded& end) {
      EXPECT_EQ(end.exit_code, 0);
      return false;
    }
    return true;
  }
  ScopedMemoryPlatform machine;
};

TEST_F(PreviewTest, ALargerHostShowsThePictureAtTheTopLeftOnBlackAndAnUnknownOneEndsIt) {
  EXPECT_FALSE(start("/p 999"));
  EXPECT_TRUE(machine->shown_windows.empty());
  ASSERT_TRUE(start("/p 4242"));
  Virelta_R& r = *preview_window();
  EXPECT_EQ(machine->embedded_host, kHost);
  EXPECT_EQ(r.form.bounds(), (Rect{0, 0, 200, 150}));
  EXPECT_EQ(r.form.image().at(199, 149), 0u);
  EXPECT_EQ(r.form.image().at(160, 10), 0u);
  EXPECT_NO_THROW(machine->remove_foreign_window(777));  // another window going leaves it alone
}

}  // namespace
}  // namespace virelta::saver
