// Windows and what they show and take: timers, the mouse on windowless labels,
// windowless controls on the screen, captions that fit in both languages at several DPIs.
#include <string>
#include <vector>

#include "platforms/win32/handles.h"
#include "platforms/win32/tests/layer_test_support.h"
#include "platforms/win32/text.h"
#include "settings_dialog/virelta_p.h"

namespace virelta::win32 {
namespace {

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<Window>("LifeForm");
    form_->border = BorderStyle::None;
    form_->move(200, 150, 100, 60);
    form_->image().fill(0x112233);
  }
  void TearDown() override {
    form_.reset();
    testing::settle();
  }
  std::unique_ptr<Window> form_;
};

TEST_F(WindowsTest, TimersRunWhileShownAndAreNotEnteredAgainWhileTheirHandlerPumps) {
  Timer timer(*form_, 10);
  int fired = 0, depth = 0, deepest = 0;
  timer.on_timer = [&] {
    ++fired;
    deepest = std::max(deepest, ++depth);
    testing::pump_for(30);
    --depth;
  };
  testing::pump_for(60);
  EXPECT_EQ(fired, 0) << "not shown yet";
  form_->show();
  EXPECT_TRUE(testing::pump_until([&] { return fired >= 3; }));
  EXPECT_EQ(deepest, 1);
}

TEST_F(WindowsTest, LabelsTakeTheMouseInTheirOwnPixelsUnlessHiddenOrWithoutHandlers) {
  Surface panel(form_.get(), "Panel");
  panel.move(10, 10, 80, 40);
  Label label(&panel, "Label", "text");
  label.move(20, 10, 30, 12);
  std::vector<std::string> events;
  auto record = [&](Control& c, const std::string& name) {
    auto log = [&events, name](std::string what) {
      return [&events, name, what](const MouseEvent& e) {
        events.push_back(name + what + std::to_string(e.button) + " " + std::to_string(int(e.x)) + "," +
                         std::to_string(int(e.y)));
      };
    };
    c.on_mouse_down = log(" down "), c.on_mouse_up = log(" up ");
    c.on_click = [&events, name] { events.push_back(name + " click"); };
    c.on_dbl_click = [&events, name] { events.push_back(name + " dblclick"); };
  };
  record(panel, "panel");
  record(label, "label");
  form_->show();
  HWND window = reinterpret_cast<HWND>(panel.peer()->handle());
  auto send = [&](UINT message, int x, int y) { SendMessageW(window, message, 0, MAKELPARAM(x, y)); };
  send(WM_LBUTTONDOWN, 25, 14), send(WM_LBUTTONUP, 25, 14);        // on the label
  send(WM_LBUTTONDBLCLK, 25, 14), send(WM_LBUTTONUP, 25, 14);      // the second press of a double click
  send(WM_RBUTTONDOWN, 5, 30), send(WM_RBUTTONUP, 5, 30);          // beside it
  send(WM_LBUTTONDOWN, 25, 14), send(WM_MOUSEMOVE, 70, 35), send(WM_LBUTTONUP, 70, 35);  // released outside
  label.set_enabled(false);
  send(WM_LBUTTONDOWN, 25, 14), send(WM_LBUTTONUP, 25, 14);  // swallowed
  label.set_enabled(true);
  label.set_visible(false);
  send(WM_LBUTTONDOWN, 26, 15), send(WM_LBUTTONUP, 26, 15);
  EXPECT_EQ(events, (std::vector<std::string>{
                        "label down 1 5,4", "label up 1 5,4", "label click", "label dblclick", "label up 1 5,4",
                        "panel down 2 5,30", "panel up 2 5,30", "panel click", "label down 1 5,4", "label up 1 50,25",
                        "panel down 1 26,15", "panel up 1 26,15", "panel click"}));
}

TEST_F(WindowsTest, StoredPicturesAndWindowlessControlsReachTheScreen) {
  Surface child(form_.get(), "Child");
  child.move(5, 5, 10, 8);
  child.image().fill(0x445566);
  Shape outline(form_.get(), "Shape1");
  outline.move(30, 2, 10, 6);
  outline.border_color = 0x0000FF;  // red, as 0x00BBGGRR
  Line line(form_.get(), "Line1");
  line.set_points(2, 30, 12, 30);
  line.border_color = 0x00FF00;
  Image mark(3, 2, 0);
  mark.at(0, 0) = 0xABCDEF;
  mark.at(2, 1) = 0x010203;
  Picture picture(form_.get(), "Img");
  picture.move(45, 20, 3, 2);
  picture.set_picture(&mark);
  form_->show();
  form_->make_topmost();
  testing::pump_for(150);
  Image shot(100, 60, 0);
  ASSERT_TRUE(testing::test_platform().capture_screen(shot, {200, 150, 100, 60}, 0, 0));
  const struct {
    int x, y;
    std::uint32_t colour;
  } expected[] = {{0, 0, 0x112233},  {5, 5, 0x445566},  {14, 12, 0x445566}, {15, 12, 0x112233},
                  {30, 2, 0xFF0000}, {39, 7, 0xFF0000}, {35, 4, 0x112233},  // a one-pixel outline
                  {2, 30, 0x00FF00}, {11, 30, 0x00FF00}, {45, 20, 0xABCDEF}, {47, 21, 0x010203}, {48, 21, 0x112233}};
  for (const auto& e : expected) EXPECT_EQ(shot.at(e.x, e.y), e.colour) << e.x << "," << e.y;
}

TEST_F(WindowsTest, EverySettingsCaptionHoldsItsTextInBothLanguagesAtSeveralDpis) {
  // Every text the dialog draws (labels, the marks' and the link's, the panel
  // titles, the buttons' captions), measured with its own font as drawn at 100,
  // 150 and 200 %: it fits its box, and the box lies inside its container's
  // client area, which clips it. The Japanese layout keeps its laid-out corners.
  using settings_dialog::DialogTexts;
  Win32Platform& platform = testing::test_platform();
  for (const DialogTexts* texts : {&settings_dialog::japanese_texts(), &settings_dialog::english_texts()}) {
    for (int dpi : {96, 144, 192}) {
      platform.set_dpi(dpi, dpi);
      settings_dialog::Virelta_P dialog(*texts);
      dialog.show();
      int captions = 0;
      auto check = [&](const Surface& surface, auto& inner) -> void {
        for (Control* c : surface.children()) {
          if (auto* panel = dynamic_cast<Surface*>(c)) inner(*panel, inner);
          if (c->kind() != Control::Kind::Label) continue;
          const Label& label = static_cast<const Label&>(*c);
          const Rect b = label.bounds();
          window_dc screen(nullptr);
          selection font(screen.get(), platform.font(label.font));
          RECT r{0, 0, b.width, 0};
          DrawTextW(screen.get(), widen(label.caption()).c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
          EXPECT_TRUE(r.right <= b.width && r.bottom <= b.height && b.left >= 0 && b.top >= 0 &&
                      b.right() <= surface.width() && b.bottom() <= surface.height())
              << dpi << " dpi \"" << label.caption() << "\" " << r.right << "x" << r.bottom << " in " << b.left << "," << b.top << " " << b.width << "x"
              << b.height << " of " << surface.width() << "x" << surface.height();
          ++captions;
        }
      };
      check(dialog, check);
      EXPECT_EQ(captions, 36);
      if (texts != &settings_dialog::japanese_texts()) continue;
      EXPECT_EQ(dialog.lbl_Action[0]->left(), 780 * dpi / 1440);
      EXPECT_EQ(dialog.lbl_Width[0]->bounds().right(), 3030 * dpi / 1440);
    }
  }
  platform.set_dpi(primary_monitor_dpi(true), primary_monitor_dpi(false));
}

}  // namespace
}  // namespace virelta::win32
