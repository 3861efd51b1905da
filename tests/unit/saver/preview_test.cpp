// The preview: the host handle read from the command line, the window made a
// child of the host at its size showing the picture, and its lifetime.
#include <gtest/gtest.h>

#include "platforms/memory/memory_form_layer.h"
#include "startup/virelta_b.h"
#include "saver/preview_picture.h"
#include "saver/saver_entry.h"
#include "saver/virelta_r.h"

namespace virelta::saver {
namespace {

TEST(PreviewHostHandle, IsTheNumberFromTheFourthCharacterOn) {
  EXPECT_EQ(preview_host_handle("/p 1234"), 1234u);
  EXPECT_EQ(preview_host_handle("/p:1234"), 1234u);
  EXPECT_EQ(preview_host_handle("-P 66090 trailing"), 66090u);
  EXPECT_EQ(preview_host_handle("/p   42"), 42u);     // blanks before the number
  EXPECT_EQ(preview_host_handle("/p 77abc"), 77u);    // leading digits only
  EXPECT_EQ(preview_host_handle("/p 12.5"), 12u);     // made whole, half to even
  EXPECT_EQ(preview_host_handle("/p 13.5"), 14u);
  EXPECT_EQ(preview_host_handle("/p 2147483647"), 2147483647u);
}

TEST(PreviewHostHandle, NothingWithoutAUsableNumber) {
  for (const char* command : {"/p", "/p ", "/p 0", "/p abc", "/p 2147483648", "/p 1e30", "/p -1e400", "/p:"})
    EXPECT_EQ(preview_host_handle(command), std::nullopt) << command;
}

class PreviewTest : public ::testing::Test {
 protected:
  static constexpr std::uintptr_t kHost = 4242;
  void SetUp() override {
    machine->foreign_windows.push_back({kHost, Rect{300, 200, 152, 112}});
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

TEST_F(PreviewTest, BecomesAChildOfTheHostAtItsSizeShowingThePicture) {
  for (const char* command : {"/p 4242", "/p:4242"}) {
    SCOPED_TRACE(command);
    ASSERT_TRUE(start(command));
    Virelta_R& r = *preview_window();
    EXPECT_EQ(machine->embedded_host, kHost);
    EXPECT_EQ(r.form.caption(), "Preview Window");
    EXPECT_EQ(r.form.border, BorderStyle::None);
    EXPECT_EQ(r.form.bounds(), (Rect{0, 0, 152, 112}));
    EXPECT_EQ(r.Img_Prev.bounds(), (Rect{0, 0, 152, 112}));
    EXPECT_EQ(r.Img_Prev.picture(), &preview_picture());
    EXPECT_EQ(machine->shown_windows, std::vector<Window*>{&r.form});
    // The host is watched from the moment the preview shows.
    EXPECT_EQ(machine->calls.back(), "WatchWindow 4242");
    release_windows();
  }
}

TEST_F(PreviewTest, ALargerHostShowsThePictureAtTheTopLeftOnBlack) {
  machine->foreign_windows = {{kHost, Rect{0, 0, 200, 150}}};
  ASSERT_TRUE(start("/p 4242"));
  Virelta_R& r = *preview_window();
  EXPECT_EQ(r.form.bounds(), (Rect{0, 0, 200, 150}));
  EXPECT_EQ(r.form.image().at(199, 149), 0u);
  EXPECT_EQ(r.form.image().at(160, 10), 0u);
}

TEST_F(PreviewTest, AMissingOrUnknownHostExitsAtOnce) {
  for (const char* command : {"/p", "/p 0", "/p 999", "/p:abc", "/p 1e400"}) {
    SCOPED_TRACE(command);
    EXPECT_FALSE(start(command));
    EXPECT_TRUE(machine->shown_windows.empty());
    EXPECT_EQ(machine->embedded_host, 0u);
  }
}

TEST_F(PreviewTest, EndsWhenTheHostWindowGoes) {
  // Destroyed by its owner or gone with its process: either way the window
  // simply stops existing, and the preview ends with it.
  ASSERT_TRUE(start("/p 4242"));
  machine->do_events();
  EXPECT_EQ(machine->exit_code, -1);
  EXPECT_THROW(machine->remove_foreign_window(kHost), ProgramEnded);
  EXPECT_EQ(machine->exit_code, 0);
}

TEST_F(PreviewTest, AnotherWindowGoingLeavesThePreviewAlone) {
  machine->foreign_windows.push_back({777, Rect{0, 0, 10, 10}});
  ASSERT_TRUE(start("/p 4242"));
  EXPECT_NO_THROW(machine->remove_foreign_window(777));
  EXPECT_TRUE(preview_window()->form.loaded());
}

TEST(PreviewPicture, IsTheCompiledIn152By112MiniatureWithBlackCorners) {
  ASSERT_GT(preview_picture_size(), 54u);
  EXPECT_EQ(preview_picture_bytes()[0], 'B');
  EXPECT_EQ(preview_picture_bytes()[1], 'M');
  const Image& picture = preview_picture();
  ASSERT_EQ(picture.width(), 152);
  ASSERT_EQ(picture.height(), 112);
  // Turned tiles leave black corners; the desktop around them is not black.
  int black = 0;
  for (int y = 0; y < 112; ++y)
    for (int x = 0; x < 152; ++x) black += (picture.at(x, y) & 0xFFFFFF) == 0;
  EXPECT_GT(black, 200);
  EXPECT_LT(black, 152 * 112 / 4);
}

}  // namespace
}  // namespace virelta::saver
