// Mouse and keyboard: which control an event reaches, in which coordinates
// and order; the spin button's arrows; the focus and Tab.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platforms/win32/tests/layer_test_support.h"

namespace virelta::win32 {
namespace {

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    form_ = std::make_unique<Window>("InputForm");
    form_->border = BorderStyle::None;
    form_->move(200, 150, 100, 60);
    panel_ = std::make_unique<Surface>(form_.get(), "Panel");
    panel_->move(10, 10, 80, 40);
    label_ = std::make_unique<Label>(panel_.get(), "Label", "text");
    label_->move(20, 10, 30, 12);
    record(*panel_, "panel");
    record(*label_, "label");
    form_->show();
    testing::pump_for(50);
  }
  void TearDown() override {
    label_.reset();
    panel_.reset();
    form_.reset();
    testing::pump_for(20);
    testing::take_quit_request();
  }
  void record(Control& c, std::string name) {
    c.on_mouse_down = [this, name](const MouseEvent& e) { log(name + " down", e); };
    c.on_mouse_up = [this, name](const MouseEvent& e) { log(name + " up", e); };
    c.on_click = [this, name] { events_.push_back(name + " click"); };
    c.on_dbl_click = [this, name] { events_.push_back(name + " dblclick"); };
  }
  void log(const std::string& what, const MouseEvent& e) {
    events_.push_back(what + " " + std::to_string(e.button) + " " + std::to_string(static_cast<int>(e.x)) + "," +
                      std::to_string(static_cast<int>(e.y)));
  }
  HWND panel_window() const { return reinterpret_cast<HWND>(panel_->peer()->handle()); }
  void send(UINT message, WPARAM wparam, LPARAM lparam) { SendMessageW(panel_window(), message, wparam, lparam); }

  std::unique_ptr<Window> form_;
  std::unique_ptr<Surface> panel_;
  std::unique_ptr<Label> label_;
  std::vector<std::string> events_;
};

TEST_F(InputTest, ALabelWithHandlersTakesItsEventsInItsOwnPixels) {
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(25, 14));
  send(WM_LBUTTONUP, 0, at(25, 14));
  send(WM_RBUTTONDOWN, MK_RBUTTON, at(5, 30));
  send(WM_RBUTTONUP, 0, at(5, 30));
  EXPECT_EQ(events_, (std::vector<std::string>{"label down 1 5,4", "label up 1 5,4", "label click",
                                               "panel down 2 5,30", "panel up 2 5,30", "panel click"}));
}

TEST_F(InputTest, LabelsWithoutHandlersAndHiddenOnesLetTheSurfaceHaveTheMouse) {
  label_->on_mouse_down = nullptr;
  label_->on_mouse_up = nullptr;
  label_->on_click = nullptr;
  label_->on_dbl_click = nullptr;
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(25, 14));
  send(WM_LBUTTONUP, 0, at(25, 14));
  record(*label_, "label");
  label_->set_visible(false);
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(26, 15));
  send(WM_LBUTTONUP, 0, at(26, 15));
  EXPECT_EQ(events_, (std::vector<std::string>{"panel down 1 25,14", "panel up 1 25,14", "panel click",
                                               "panel down 1 26,15", "panel up 1 26,15", "panel click"}));
}

TEST_F(InputTest, ADisabledLabelSwallowsTheMouse) {
  label_->set_enabled(false);
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(25, 14));
  send(WM_LBUTTONUP, 0, at(25, 14));
  EXPECT_TRUE(events_.empty());
}

TEST_F(InputTest, TheSecondPressOfADoubleClickArrivesAsADoubleClick) {
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(25, 14));
  send(WM_LBUTTONUP, 0, at(25, 14));
  send(WM_LBUTTONDBLCLK, MK_LBUTTON, at(25, 14));
  send(WM_LBUTTONUP, 0, at(25, 14));
  EXPECT_EQ(events_, (std::vector<std::string>{"label down 1 5,4", "label up 1 5,4", "label click", "label dblclick",
                                               "label up 1 5,4"}));
}

TEST_F(InputTest, TheReleaseGoesToThePressedControlAndClicksOnlyOverIt) {
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(25, 14));
  send(WM_MOUSEMOVE, MK_LBUTTON, at(70, 35));
  send(WM_LBUTTONUP, 0, at(70, 35));
  EXPECT_EQ(events_, (std::vector<std::string>{"label down 1 5,4", "label up 1 50,25"}));
}

TEST_F(InputTest, APressGivesAFocusableSurfaceTheFocus) {
  std::vector<std::string> focus;
  panel_->on_got_focus = [&] { focus.push_back("got"); };
  panel_->on_lost_focus = [&] { focus.push_back("lost"); };
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
  send(WM_LBUTTONUP, 0, at(5, 5));
  EXPECT_NE(GetFocus(), panel_window()) << "a plain surface keeps out of the focus";
  panel_->focusable = true;
  send(WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
  send(WM_LBUTTONUP, 0, at(5, 5));
  EXPECT_EQ(GetFocus(), panel_window());
  SetFocus(reinterpret_cast<HWND>(form_->handle()));
  EXPECT_EQ(focus, (std::vector<std::string>{"got", "lost"}));
}

TEST_F(InputTest, TabMovesTheFocusInCreationOrderAndWraps) {
  Surface second(form_.get(), "Second");
  second.move(0, 52, 10, 8);
  SpinButton spin(form_.get(), "VS", 1, 10, 5);
  spin.move(90, 0, 10, 20);
  panel_->focusable = true;
  second.focusable = true;
  HWND panel = panel_window(), other = reinterpret_cast<HWND>(second.peer()->handle()),
       arrows = reinterpret_cast<HWND>(spin.peer()->handle());
  SetFocus(panel);
  for (HWND expected : {other, arrows, panel}) {
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    testing::pump_for(30);
    EXPECT_EQ(GetFocus(), expected);
  }
}

TEST_F(InputTest, KeyPreviewGivesTheFormEveryKeyFirst) {
  std::vector<int> keys;
  form_->on_key_down = [&](int key, int) { keys.push_back(key); };
  PostMessageW(panel_window(), WM_KEYDOWN, 'A', 0);
  testing::pump_for(30);
  EXPECT_TRUE(keys.empty()) << "without preview a control's key is its own";
  PostMessageW(reinterpret_cast<HWND>(form_->handle()), WM_KEYDOWN, 'B', 0);
  testing::pump_for(30);
  form_->key_preview = true;
  PostMessageW(panel_window(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(panel_window(), WM_SYSKEYDOWN, VK_F10, 0);
  testing::pump_for(30);
  EXPECT_EQ(keys, (std::vector<int>{'B', VK_ESCAPE, VK_F10}));
}

TEST_F(InputTest, TheUpperArrowRaisesTheSpinValueTheLowerLowersItWithinTheRange) {
  SpinButton spin(panel_.get(), "VS", 256, 512, 511);
  spin.move(60, 0, 20, 21);
  std::vector<int> changes;
  spin.on_change = [&] { changes.push_back(spin.value()); };
  HWND arrows = reinterpret_cast<HWND>(spin.peer()->handle());
  ASSERT_NE(arrows, nullptr);
  auto scroll = [&](int request) { send(WM_VSCROLL, MAKEWPARAM(request, 0), reinterpret_cast<LPARAM>(arrows)); };
  scroll(SB_LINEUP);
  scroll(SB_LINEUP);
  scroll(SB_LINEDOWN);
  EXPECT_EQ(changes, (std::vector<int>{512, 511}));
  spin.set_value(256);
  scroll(SB_LINEDOWN);
  EXPECT_EQ(spin.value(), 256);
  EXPECT_EQ(changes.back(), 256);
  // The bar's own position runs the other way: the top stands for the highest value.
  EXPECT_EQ(GetScrollPos(arrows, SB_CTL), 512 - 256);
}

}  // namespace
}  // namespace virelta::win32
