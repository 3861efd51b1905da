// What a form shows: its stored picture, child surfaces, and the windowless
// controls drawn over them; refreshes show exactly the area asked for.
#include <gtest/gtest.h>

#include "platforms/win32/tests/layer_test_support.h"

namespace virelta::win32 {
namespace {

constexpr std::uint32_t kFormPixel = 0x112233;
constexpr std::uint32_t kChildPixel = 0x445566;

class SurfacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    form_ = std::make_unique<Window>("TestForm");
    form_->set_caption("Virelta layer test");
    form_->border = BorderStyle::None;
    form_->move(40, 50, 60, 40);
    form_->image().fill(kFormPixel);
    child_ = std::make_unique<Surface>(form_.get(), "Child");
    child_->move(5, 5, 10, 8);
    child_->image().fill(kChildPixel);
  }
  void TearDown() override {
    child_.reset();
    form_.reset();
    testing::pump_for(20);
    testing::take_quit_request();
  }
  // The form's client area as the screen shows it (Wine hands drawing to the
  // X server when the program next waits for messages).
  Image on_screen() {
    testing::pump_for(30);
    Image shot(form_->width(), form_->height(), 0);
    EXPECT_TRUE(testing::test_platform().capture_screen(shot, {40, 50, 60, 40}, 0, 0));
    return shot;
  }
  void show() {
    form_->show();
    form_->make_topmost();
    testing::pump_for(150);
  }
  std::unique_ptr<Window> form_;
  std::unique_ptr<Surface> child_;
};

TEST_F(SurfacesTest, StoredPicturesAndWindowlessControlsReachTheScreen) {
  Shape outline(form_.get(), "Shape1");
  outline.move(30, 2, 10, 6);
  outline.border_color = 0x0000FF;  // red
  Line line(form_.get(), "Line1");
  line.set_points(2, 30, 12, 30);
  line.border_color = 0x00FF00;
  Image mark(3, 2, 0);
  mark.at(0, 0) = 0xABCDEF;
  mark.at(2, 1) = 0x010203;
  Picture picture(form_.get(), "Img");
  picture.move(45, 20, 3, 2);
  picture.set_picture(&mark);
  show();

  Image shot = on_screen();
  EXPECT_EQ(shot.at(0, 0), kFormPixel);
  EXPECT_EQ(shot.at(5, 5), kChildPixel);
  EXPECT_EQ(shot.at(14, 12), kChildPixel);
  EXPECT_EQ(shot.at(15, 12), kFormPixel);
  // The outline is one pixel wide, transparent inside.
  EXPECT_EQ(shot.at(30, 2), 0xFF0000u);
  EXPECT_EQ(shot.at(39, 7), 0xFF0000u);
  EXPECT_EQ(shot.at(35, 4), kFormPixel);
  EXPECT_EQ(shot.at(2, 30), 0x00FF00u);
  EXPECT_EQ(shot.at(11, 30), 0x00FF00u);
  EXPECT_EQ(shot.at(45, 20), 0xABCDEFu);
  EXPECT_EQ(shot.at(47, 21), 0x010203u);
  EXPECT_EQ(shot.at(48, 21), kFormPixel);
}

TEST_F(SurfacesTest, RefreshShowsOnlyTheAreaAskedForAndNotTheChildren) {
  show();
  form_->image().fill(0x00FF00);
  child_->image().fill(0x0000FF);
  form_->refresh({0, 0, 20, 20});
  Image shot = on_screen();
  EXPECT_EQ(shot.at(0, 0), 0x00FF00u);
  EXPECT_EQ(shot.at(19, 19), 0x00FF00u);
  EXPECT_EQ(shot.at(20, 20), kFormPixel) << "outside the refreshed area";
  EXPECT_EQ(shot.at(6, 6), kChildPixel) << "a child window is not the form's to paint";
  child_->refresh();
  EXPECT_EQ(on_screen().at(6, 6), 0x0000FFu);
}

TEST_F(SurfacesTest, HiddenSurfacesCostNothingAndShowTheirPictureWhenShown) {
  child_->set_visible(false);
  show();
  EXPECT_EQ(on_screen().at(6, 6), kFormPixel);
  child_->image().fill(0x0000FF);
  child_->refresh();  // hidden: nothing to show
  EXPECT_EQ(on_screen().at(6, 6), kFormPixel);
  child_->set_visible(true);
  testing::pump_for(100);
  EXPECT_EQ(on_screen().at(6, 6), 0x0000FFu);
}

TEST_F(SurfacesTest, BordersAddToTheClientSizeTheFormAsksFor) {
  form_->border = BorderStyle::FixedSingle;
  form_->min_button = form_->max_button = false;
  form_->set_client_size(120, 70);
  show();
  RECT client, outer;
  HWND window = reinterpret_cast<HWND>(form_->handle());
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  EXPECT_EQ(client.right, 120);
  EXPECT_EQ(client.bottom, 70);
  EXPECT_EQ(form_->outer_bounds, (Rect{outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top}));
  EXPECT_GT(form_->outer_bounds.height, 70);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

}  // namespace
}  // namespace virelta::win32
