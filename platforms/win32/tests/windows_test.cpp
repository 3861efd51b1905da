// Window life: timers, unloading and the end of the program, showing again,
// embedding in a foreign window, watching one, finding captions, labels that
// size themselves (the settings dialog's at several DPIs).
#include <gtest/gtest.h>

#include "platforms/win32/peers.h"
#include "platforms/win32/tests/layer_test_support.h"
#include "platforms/win32/text.h"
#include "settings_dialog/virelta_p.h"

namespace virelta::win32 {
namespace {

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    form_ = std::make_unique<Window>("LifeForm");
    form_->border = BorderStyle::None;
    form_->move(300, 300, 50, 40);
  }
  void TearDown() override {
    form_.reset();
    testing::pump_for(20);
    testing::take_quit_request();
  }
  HWND window() const { return reinterpret_cast<HWND>(form_->handle()); }
  std::unique_ptr<Window> form_;
};

TEST_F(WindowsTest, TimersRunWhileTheirWindowIsShownAndStopWhenSwitchedOff) {
  Timer timer(*form_, 20);
  int fired = 0;
  timer.on_timer = [&] { ++fired; };
  testing::pump_for(100);
  EXPECT_EQ(fired, 0) << "not shown yet";
  form_->show();
  EXPECT_TRUE(testing::pump_until([&] { return fired >= 3; }, 2000));
  timer.set_enabled(false);
  testing::pump_for(20);
  int stopped_at = fired;
  testing::pump_for(150);
  EXPECT_EQ(fired, stopped_at);
  timer.set_enabled(true);
  timer.set_interval(10);
  EXPECT_TRUE(testing::pump_until([&] { return fired >= stopped_at + 3; }, 2000));
}

TEST_F(WindowsTest, ATimerIsNotEnteredAgainWhileItsHandlerPumps) {
  Timer timer(*form_, 10);
  int depth = 0, deepest = 0, fired = 0;
  timer.on_timer = [&] {
    ++fired;
    deepest = std::max(deepest, ++depth);
    testing::pump_for(60);
    --depth;
  };
  form_->show();
  EXPECT_TRUE(testing::pump_until([&] { return fired >= 2; }, 3000));
  EXPECT_EQ(deepest, 1);
}

TEST_F(WindowsTest, UnloadingTheLastWindowEndsTheProgramsLoop) {
  int unloads = 0;
  form_->on_unload = [&] { ++unloads; };
  form_->show();
  HWND shown = window();
  ASSERT_TRUE(IsWindow(shown));
  EXPECT_EQ(testing::test_platform().forms().size(), 1u);
  SendMessageW(shown, WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_EQ(form_->handle(), 0u);
  EXPECT_TRUE(testing::test_platform().forms().empty());
  testing::pump_for(30);
  EXPECT_TRUE(testing::take_quit_request());
}

TEST_F(WindowsTest, AWindowShownAgainAfterItsUnloadGetsNewWindowsForItsControls) {
  Surface child(form_.get(), "Child");
  child.move(1, 1, 10, 10);
  form_->show();
  form_->unload();
  EXPECT_EQ(child.peer()->handle(), 0u);
  testing::pump_for(20);
  testing::take_quit_request();
  form_->show();
  ASSERT_TRUE(IsWindow(window()));
  HWND inner = reinterpret_cast<HWND>(child.peer()->handle());
  ASSERT_TRUE(IsWindow(inner));
  EXPECT_EQ(GetParent(inner), window());
}

TEST_F(WindowsTest, AnEmbeddedWindowFillsItsHostAndGoesWithIt) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 10, 20, 152, 112, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(host);
  int unloads = 0;
  form_->on_unload = [&] { ++unloads; };
  form_->load();
  testing::test_platform().embed_in(*form_, reinterpret_cast<std::uintptr_t>(host));
  form_->show();
  EXPECT_EQ(GetParent(window()), host);
  EXPECT_TRUE(GetWindowLongW(window(), GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(form_->bounds(), (Rect{0, 0, 152, 112}));
  RECT client;
  GetClientRect(window(), &client);
  EXPECT_EQ(client.right, 152);
  EXPECT_EQ(client.bottom, 112);
  DestroyWindow(host);
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(form_->loaded());
}

TEST_F(WindowsTest, AWatchedForeignWindowIsReportedGone) {
  HWND foreign = CreateWindowExW(0, L"STATIC", L"foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(foreign);
  int gone = 0;
  testing::test_platform().watch_window(reinterpret_cast<std::uintptr_t>(foreign), [&] { ++gone; });
  testing::pump_for(120);
  EXPECT_EQ(gone, 0);
  DestroyWindow(foreign);
  EXPECT_TRUE(testing::pump_until([&] { return gone > 0; }, 2000));
  testing::pump_for(120);
  EXPECT_EQ(gone, 1);
}

TEST_F(WindowsTest, CaptionsAreFoundExactlyAsWide) {
  form_->set_caption("Vireltaのテスト窓");
  EXPECT_TRUE(testing::test_platform().find_window("Vireltaのテスト窓"));
  EXPECT_FALSE(testing::test_platform().find_window("Vireltaのテスト"));
  wchar_t text[64] = L"";
  GetWindowTextW(window(), text, 64);
  EXPECT_STREQ(text, L"Virelta\u306e\u30c6\u30b9\u30c8\u7a93");
}

TEST_F(WindowsTest, AutoSizingLabelsFitTheirText) {
  Label fixed(form_.get(), "Fixed", "設定設定設定設定");
  fixed.move(0, 0, 5, 5);
  fixed.changed();
  EXPECT_EQ(fixed.bounds(), (Rect{0, 0, 5, 5}));
  // Every label of the settings dialog holds its whole text as it is drawn,
  // measured with the label's own font, at 100, 150 and 200 %, and keeps its
  // laid-out corner: the left edge of "有効", the right edge of a width.
  Win32Platform& platform = testing::test_platform();
  for (int dpi : {96, 144, 192}) {
    platform.set_dpi(dpi, dpi);
    settings_dialog::Virelta_P dialog;
    dialog.show();
    int labels = 0;
    for (Surface* surface : {static_cast<Surface*>(&dialog), dialog.Pic_C[0], dialog.Pic_C[1]}) {
      for (Control* c : surface->children()) {
        if (c->kind() != Control::Kind::Label) continue;
        const Label& label = static_cast<const Label&>(*c);
        window_dc screen(nullptr);
        selection font(screen.get(), platform.font(label.font));
        RECT r{0, 0, label.width(), 0};
        DrawTextW(screen.get(), widen(label.caption()).c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        EXPECT_TRUE(r.right <= label.width() && r.bottom <= label.height())
            << dpi << " dpi " << label.caption() << ": " << r.right << "x" << r.bottom << " in " << label.width() << "x"
            << label.height();
        ++labels;
      }
    }
    EXPECT_EQ(labels, 34);
    EXPECT_EQ(dialog.lbl_Action[0]->left(), 780 * dpi / 1440);
    EXPECT_EQ(dialog.lbl_Width[0]->bounds().right(), 3030 * dpi / 1440);
  }
  platform.set_dpi(primary_monitor_dpi(true), primary_monitor_dpi(false));
}

TEST_F(WindowsTest, TopmostAndTheWindowRectangle) {
  form_->show();
  form_->make_topmost();
  EXPECT_TRUE(GetWindowLongW(window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  auto rect = testing::test_platform().window_rect(form_->handle());
  ASSERT_TRUE(rect);
  EXPECT_EQ(*rect, (Rect{300, 300, 50, 40}));
  EXPECT_FALSE(testing::test_platform().window_rect(0));
  EXPECT_TRUE(testing::test_platform().is_window(form_->handle()));
}

}  // namespace
}  // namespace virelta::win32
