// The saver window's controls and its set-up: the desktop captured once, the
// tiles sized, placed, filled and bound, the window shown over everything.
#include "saver/virelta_s.h"

#include <string>

#include "settings/settings.h"
#include "startup/virelta_b.h"
#include "saver/tile_limits.h"

namespace virelta::saver {

namespace {
constexpr int kTimerIntervalMs = 1;
// The size a tile surface has before it is first sized (1500 x 1380 twips).
constexpr double kInitialTileWidthTwips = 1500;
constexpr double kInitialTileHeightTwips = 1380;
}  // namespace

Virelta_S::Virelta_S()
    : form("Virelta_S"),
      Pic_Orgn(&form, "Pic_Orgn"),
      Display(&form, "Display"),
      Frame1(&form, "Frame1"),
      Timer1(form, kTimerIntervalMs) {
  form.set_caption(kSaverCaption);
  form.border = BorderStyle::None;
  form.control_box = false;
  form.min_button = false;
  form.max_button = false;
  form.show_in_taskbar = false;
  // Every key reaches the window's own handler, whichever control has focus.
  form.key_preview = true;
  form.set_back_color(0);
  Pic_Orgn.set_visible(false);
  Frame1.set_visible(false);
  for (int i = 0; i < 4; ++i) {
    tiles[i].slot = i;
    tiles[i].surface = std::make_unique<Surface>(&Frame1, "Master(" + std::to_string(i) + ")");
    tiles[i].surface->move_twips(0, 0, kInitialTileWidthTwips, kInitialTileHeightTwips);
  }

  form.on_load = [this] { Form_Load(); };
  form.on_unload = [this] { Form_Unload(); };
  // The system asks a saver to end with a close request (WM_CLOSE, a session
  // that ends): the same shut-down as a key, never a bare unload, which
  // would leave the cycle running with unbound engines and system keys off.
  form.on_close_request = [this] { EndSaver(); };
  form.on_key_down = [this](int key_code, int shift) { Form_KeyDown(key_code, shift); };
  // A click is a press and release of the left or the right button; there is
  // deliberately no mouse-move handling (moving never ends the saver).
  Display.on_mouse_up = [this](const MouseEvent& event) {
    if (event.button == kLeftButton || event.button == kRightButton) Display_Click();
  };
  Timer1.on_timer = [this] { Timer1_Timer(); };
}

Virelta_S::~Virelta_S() = default;

void Virelta_S::size_tile(Tile& t) {
  auto side = [&](Integer setting) {
    if (t.random_size()) return static_cast<Single>(int_floor(platform().random().rnd() * 257.0f + 256.0f));
    std::optional<int> checked = settings_tile_side(setting);
    if (!checked) raise(ErrorNumber::InvalidPropertyValue);
    return static_cast<Single>(*checked);
  };
  on_error_resume_next([&] { set_tile_side(t, side(TileWidth[t.slot]), true); });
  on_error_resume_next([&] { set_tile_side(t, side(TileHeight[t.slot]), false); });
}

void Virelta_S::set_tile_side(Tile& t, Single side_pixels, bool width) {
  Surface& tile = *t.surface;
  // The container measures in twips: pixels times the screen's twips per
  // pixel, in single precision.
  const ScreenInfo screen = platform().screen();
  if (width) {
    Single twips = side_pixels * static_cast<Single>(screen.twips_per_pixel_x);
    tile.move(tile.left(), tile.top(), pixels_from_twips_x(twips), tile.height());
  } else {
    Single twips = side_pixels * static_cast<Single>(screen.twips_per_pixel_y);
    tile.move(tile.left(), tile.top(), tile.width(), pixels_from_twips_y(twips));
  }
}

void Virelta_S::draw_tile_place(Tile& t) {
  RandomGenerator& random = platform().random();
  on_error_resume_next([&] {
    Single room = static_cast<Single>(form.width() - t.surface->width());
    t.x = to_integer(int_floor(room * random.rnd()));
  });
  on_error_resume_next([&] {
    Single room = static_cast<Single>(form.height() - t.surface->height());
    t.y = to_integer(int_floor(room * random.rnd()));
  });
}

void Virelta_S::fill_tile(Tile& t) {
  Image& tile = t.surface->image();
  const Rect place = t.place();
  if (intersect(place, Pic_Orgn.image().bounds()) != place) tile.fill(0);
  tile.copy_from(Pic_Orgn.image(), place.left, place.top, place.width, place.height, 0, 0);
}

void Virelta_S::bind_tile(Tile& t) {
  if (!t.engine) t.engine = std::make_unique<effects::clsASMpic>();
  t.engine->PictureBox(*t.surface);
}

void Virelta_S::Form_Load() {
  Platform& p = platform();
  const ScreenInfo screen = p.screen();

  // Cover the screen.
  on_error_resume_next([&] { form.move(screen.left, screen.top, screen.width, screen.height); });

  // The visible picture and the desktop store, screen-sized.
  on_error_resume_next([&] { Display.move(0, 0, form.width(), form.height()); });
  on_error_resume_next([&] { Pic_Orgn.move(Pic_Orgn.left(), Pic_Orgn.top(), form.width(), form.height()); });

  // A fresh random sequence for the sizes and places.
  on_error_resume_next([&] { p.random().randomize_from_clock(); });

  for (Tile& t : tiles) size_tile(t);

  // The one desktop capture (the platform takes and releases the
  // desktop's drawing context around it).
  on_error_resume_next([&] {
    p.capture_screen(Pic_Orgn.image(), {screen.left, screen.top, Pic_Orgn.width(), Pic_Orgn.height()}, 0, 0);
  });

  // Every tile, active or not: place, pixels, engine.
  for (Tile& t : tiles) {
    draw_tile_place(t);
    on_error_resume_next([&] { fill_tile(t); });
    on_error_resume_next([&] { bind_tile(t); });
  }

  // Display shows the desktop, so nothing visibly changes when the window
  // comes up. It is taken from the capture rather than from the screen a
  // second time: then Display and Pic_Orgn agree to the pixel.
  on_error_resume_next([&] {
    Display.image().copy_from(Pic_Orgn.image(), 0, 0, Display.width(), Display.height(), 0, 0);
  });

  // Shown, and topmost without taking the activation.
  on_error_resume_next([&] { form.show(); });
  on_error_resume_next([&] { form.make_topmost(); });
}

void Virelta_S::Form_Unload() {
  // The window object itself stays with its owner until the program ends
  // (this handler runs inside it); the engines go now.
  for (Tile& t : tiles) t.engine.reset();
}

}  // namespace virelta::saver
