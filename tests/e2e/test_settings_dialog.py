"""The settings dialog under Wine: its window, what it paints, what its
controls and buttons do, and the file the next saver run reads.

Places come from the dialog's layout table (settings_dialog/settings_layout.cpp):
twips relative to the panel, 15 twips to the pixel at 96 dpi.
"""
import math
import subprocess
import time

from vtest import Image, SessionTestCase

WINDOW_WAIT = 20
TWIPS_PER_PIXEL = 15
CLIENT_SIZE = (452, 244)
PANELS = {None: (0, 0), 0: (240, 240), 1: (4440, 240)}

INI = "Virelta.ini"
SPEED_KEY = b"\x89\xf1\x93\x5d\x91\xac\x93\x78"  # 回転速度
TURNS_KEY = b"\x89\xf1\x93\x5d\x90\x94"  # 回転数
ANTI_ALIAS_KEY = b"\xb1\xdd\xc1\xb4\xb2\xd8\xb1\xbd"  # ｱﾝﾁｴｲﾘｱｽ

# The two mark pictures, 12 x 12: border, inner ring, inside.
CHECKED = ((0x10, 0x30, 0x90), (0x50, 0x82, 0xF0), (0x28, 0x5A, 0xD8))
UNCHECKED = ((0x80, 0x80, 0x80), (0xF4, 0xF4, 0xF4), (0xF4, 0xF4, 0xF4))

BORDER_BLUE = (0x00, 0x3C, 0x74)
WHITE = (255, 255, 255)
LAVENDER = (198, 197, 215)
SELECTED_TOP_ACCENT = (0xCE, 0xE7, 0xFF)
HIGHLIGHT_TOP_ACCENT = (0xFF, 0xF0, 0xCF)


def near(colour, expected, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def client_point(panel, left, top):
    """Client pixel of a layout position (twips, relative to `panel`; None: the window)."""
    panel_left, panel_top = PANELS[panel]
    return (panel_left + left) // TWIPS_PER_PIXEL, (panel_top + top) // TWIPS_PER_PIXEL


def tile_row_top(tile):
    return 900 + 420 * tile


def img_action(tile):
    return client_point(0, 540, tile_row_top(tile))


def lbl_action(tile):
    return client_point(0, 780, tile_row_top(tile))


def img_rdm(tile):
    return client_point(0, 3240, tile_row_top(tile))


def lbl_rdm(tile):
    return client_point(0, 3480, tile_row_top(tile))


IMG_ANTI = {0: client_point(1, 420, 2220), 1: client_point(1, 1200, 2220)}
LBL_ANTI_OFF = client_point(1, 660, 2220)  # lbl_Anti(1), "無効", beside Img_Anti(0)
LBL_ANTI_ON = client_point(1, 1440, 2220)  # lbl_Anti(0), "有効", beside Img_Anti(1)
LABEL_SIZE = (390 // TWIPS_PER_PIXEL, 195 // TWIPS_PER_PIXEL)
CMD_SET = client_point(None, 3960, 3060)
CMD_CAN = client_point(None, 5280, 3060)
BUTTON_SIZE = (1275 // TWIPS_PER_PIXEL, 375 // TWIPS_PER_PIXEL)


def spin_arrow(panel, left, top, upper=True):
    """The middle of a spin button's upper or lower arrow (375 x 315 twips)."""
    x, y = client_point(panel, left, top)
    height = 315 // TWIPS_PER_PIXEL
    return x + 375 // TWIPS_PER_PIXEL // 2, y + (height // 4 if upper else height - 1 - height // 4)


def background_colour(y, height):
    """The painted background of a surface `height` pixels high, at row y."""
    c = round(abs(math.sin(y / (height / 3.142))) * 220)
    return c, c, c + 30


def mark_picture(colours):
    border, ring, inside = colours
    rows = []
    for y in range(12):
        for x in range(12):
            edge = min(x, y, 11 - x, 11 - y)
            rows.append(bytes(border if edge == 0 else ring if edge == 1 else inside))
    return Image(12, 12, b"".join(rows))


CHECKED_MARK = mark_picture(CHECKED)
UNCHECKED_MARK = mark_picture(UNCHECKED)


def saved_file(actions="1111", heights=(256,) * 4, widths=(256,) * 4, randoms="1111", speed=10, turns=1,
               anti_alias=1):
    """The bytes `設定` writes into a missing file: nineteen keys, a leading blank, CRLF."""
    lines = [b"[Section]"]
    for tile in range(4):
        lines += [b"Action%d= %s" % (tile, actions[tile].encode()), b"Height%d= %d" % (tile, heights[tile]),
                  b"Width%d= %d" % (tile, widths[tile]), b"Random%d= %s" % (tile, randoms[tile].encode())]
    lines += [SPEED_KEY + b"= %d" % speed, TURNS_KEY + b"= %d" % turns, ANTI_ALIAS_KEY + b"= %d" % anti_alias]
    return b"\r\n".join(lines) + b"\r\n"


def xdotool(session, *args):
    # The session's own xdotool calls are private; presses that stay down
    # (mousedown / mouseup) need it directly.
    subprocess.run(["xdotool", *map(str, args)], env=session.env, check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)


def dark_mask(image, limit=80):
    """Rows of the text pixels (every channel below `limit`) as strings of '#' and '.'."""
    return ["".join("#" if max(image.pixel(x, y)) < limit else "." for x in range(image.width))
            for y in range(image.height)]


def is_hollow_box(mask):
    """True when the dark pixels only outline their bounding box (a missing-glyph box)."""
    points = [(x, y) for y, row in enumerate(mask) for x, c in enumerate(row) if c == "#"]
    if not points:
        return True
    left, right = min(p[0] for p in points), max(p[0] for p in points)
    top, bottom = min(p[1] for p in points), max(p[1] for p in points)
    inner = [(x, y) for x, y in points if left < x < right and top < y < bottom]
    return not inner


class SettingsDialogTest(SessionTestCase):
    def setUp(self):
        super().setUp()
        self.session.remove_program_file(INI)

    def tearDown(self):
        super().tearDown()
        if self.session is not None:
            self.session.remove_program_file(INI)

    # --- the dialog on the screen ---------------------------------------------

    def open_dialog(self):
        """Starts /c and waits until the dialog stands at its place, painted.

        The window exists a moment before its load handler has moved it, so
        its position is read until the screen shows the background there."""
        # The pointer away from where the dialog opens: no button starts hovered.
        self.session.move_mouse(1, 1)
        dialog = self.start("/c")
        self.session.wait_for_window(self.SETTINGS_CAPTION, timeout=WINDOW_WAIT)
        deadline = time.monotonic() + self.config.seconds(WINDOW_WAIT)
        while True:
            self.top = self.session.window_tree(self.SETTINGS_CAPTION)[0]
            self.origin = tuple(self.top["client_origin"])
            screen = self.session.screenshot()
            if self.background_shown(screen):
                return dialog
            self.assertStillRuns(dialog)
            if time.monotonic() > deadline:
                self.session.save_diagnostics("dialog-not-painted")
                self.fail(f"the dialog was not painted at {self.origin} within {WINDOW_WAIT} s")
            time.sleep(0.2)

    def wait_until_visible(self, caption, timeout=WINDOW_WAIT):
        deadline = time.monotonic() + self.config.seconds(timeout)
        while not self.session.window_tree(caption)[0]["visible"]:
            self.assertLess(time.monotonic(), deadline, f'"{caption}" stays hidden')
            time.sleep(0.1)

    def background_shown(self, screen):
        try:
            return all(self.client_pixel(screen, 5, y) == background_colour(y, CLIENT_SIZE[1]) for y in (0, 60, 122))
        except IndexError:
            return False

    def screen_point(self, point, dx=0, dy=0):
        return self.origin[0] + point[0] + dx, self.origin[1] + point[1] + dy

    def client_pixel(self, screen, x, y):
        return screen.pixel(self.origin[0] + x, self.origin[1] + y)

    def client_crop(self, screen, point, width, height):
        x, y = self.screen_point(point)
        return screen.crop(x, y, width, height)

    def client_image(self):
        return self.client_crop(self.session.screenshot(), (0, 0), *CLIENT_SIZE)

    def click(self, point, dx=6, dy=6, button=1):
        self.session.click(*self.screen_point(point, dx, dy), button=button)

    def mark_shows(self, point, picture):
        return lambda screen: self.client_crop(screen, point, 12, 12) == picture

    def wait_for_mark(self, point, picture, what):
        self.session.wait_for_screen(self.mark_shows(point, picture), timeout=5, what=what)

    def click_mark(self, point, becomes, what, dx=6, dy=6):
        self.click(point, dx, dy)
        self.wait_for_mark(point, becomes, what)

    def wait_for_change(self, point, size, what):
        before = self.client_crop(self.session.screenshot(), point, *size)
        return lambda: self.session.wait_for_screen(
            lambda screen: self.client_crop(screen, point, *size) != before, timeout=5, what=what)

    def press_set(self):
        self.click(CMD_SET, dx=BUTTON_SIZE[0] // 2, dy=BUTTON_SIZE[1] // 2)

    def press_cancel(self):
        self.click(CMD_CAN, dx=BUTTON_SIZE[0] // 2, dy=BUTTON_SIZE[1] // 2)

    # --- 1. the window --------------------------------------------------------

    def test_c_shows_the_window_by_its_caption_at_its_size(self):
        dialog = self.open_dialog()
        self.assertEqual(self.top["text"], "Vireltaの設定")
        self.assertEqual(self.top["client_size"], list(CLIENT_SIZE))
        self.assertTrue(self.top["visible"])
        # Centred across the screen, a third of the free height above it.
        left, top, right, bottom = self.top["rect"]
        width, height = self.config.screen_size
        self.assertLessEqual(abs(left - (width - (right - left)) // 2), 1, self.top["rect"])
        self.assertLessEqual(abs(top - (height - (bottom - top)) // 3), 1, self.top["rect"])
        # Ten spin buttons (the system's scroll bars) where the layout puts them.
        spins = sorted((w["rect"][0] - self.origin[0], w["rect"][1] - self.origin[1], w["client_size"][0],
                        w["client_size"][1])
                       for w in self.session.window_tree(self.SETTINGS_CAPTION) if w["class"] == "ScrollBar")
        expected = [(*client_point(0, left, 840 + 420 * tile), 25, 21) for tile in range(4) for left in (1380, 2280)]
        expected += [(*client_point(1, 1140, top), 25, 21) for top in (540, 1380)]
        self.assertEqual(spins, sorted(expected))
        self.session.close_window(self.SETTINGS_CAPTION)
        self.assertExits(dialog, within=10)

    # --- 2. what it paints ----------------------------------------------------

    def test_paints_the_background_the_marks_and_the_japanese_labels(self):
        # Tile 2 off, tile 3 not random, anti-aliasing off.
        self.session.write_program_file(INI, b"[Section]\r\nAction1=0\r\nRandom2=0\r\n" + ANTI_ALIAS_KEY + b"=0\r\n")
        dialog = self.open_dialog()
        client = self.client_image()

        # The sheen, row by row, in columns where nothing else lies: the
        # window (244 rows) and both panels (177 rows) each with their own.
        for panel, column, height in ((None, 5, 244), (0, 4, 177), (1, 4, 177)):
            x, y0 = client_point(panel, 0, 0)
            with self.subTest(panel=panel):
                rows = [client.pixel(x + column, y0 + y) for y in range(height)]
                self.assertEqual(rows, [background_colour(y, height) for y in range(height)])
        self.assertEqual(client.pixel(5, 0), (0, 0, 30))
        self.assertEqual(client.pixel(5, 60), (154, 154, 184))
        for y in (121, 122, 123):
            self.assertEqual(client.pixel(5, y), (220, 220, 250))

        # The marks at their places, checked or not as the file says.
        for tile in range(4):
            with self.subTest(tile=tile):
                self.assertEqual(client.crop(*img_action(tile), 12, 12),
                                 UNCHECKED_MARK if tile == 1 else CHECKED_MARK)
                self.assertEqual(client.crop(*img_rdm(tile), 12, 12), UNCHECKED_MARK if tile == 2 else CHECKED_MARK)
        self.assertEqual(client.crop(*IMG_ANTI[0], 12, 12), CHECKED_MARK, "anti-aliasing off checks 無効")
        self.assertEqual(client.crop(*IMG_ANTI[1], 12, 12), UNCHECKED_MARK)

        # The labels' Japanese texts are drawn as glyphs, not as boxes:
        # "無効" and "有効" on the same row differ, neither is a hollow box,
        # and "有効" looks the same wherever it stands.
        off = dark_mask(client.crop(*LBL_ANTI_OFF, *LABEL_SIZE))
        on = dark_mask(client.crop(*LBL_ANTI_ON, *LABEL_SIZE))
        tile_off = dark_mask(client.crop(*lbl_action(1), *LABEL_SIZE))
        tile_on = dark_mask(client.crop(*lbl_action(0), *LABEL_SIZE))
        shown = "\n".join(a + "  " + b for a, b in zip(off, on))
        self.assertNotEqual(off, on, "無効 and 有効 look the same:\n" + shown)
        for name, mask in (("無効", off), ("有効", on)):
            self.assertGreater(sum(row.count("#") for row in mask), 20, f"{name} is (almost) empty:\n{shown}")
            self.assertFalse(is_hollow_box(mask), f"{name} is a box:\n{shown}")
            self.assertGreater(len(set(mask)), 6, f"{name} has too few different rows:\n{shown}")
        self.assertEqual(tile_on, on, "有効 differs between the tile row and the anti-alias pair")
        self.assertEqual(tile_off, off, "無効 differs between the tile row and the anti-alias pair")

        self.press_cancel()
        self.assertExits(dialog, within=10)

    # --- 3. the controls and 設定 --------------------------------------------

    def test_marks_labels_spin_arrow_and_set_write_the_file(self):
        dialog = self.open_dialog()
        # A tile's mark, another tile's label, the checked anti-alias mark.
        self.click_mark(img_action(1), UNCHECKED_MARK, "tile 2's Action mark cleared")
        self.click(lbl_rdm(2), dx=4, dy=6)
        self.wait_for_mark(img_rdm(2), UNCHECKED_MARK, "tile 3's Random mark cleared by its label")
        self.click_mark(IMG_ANTI[1], UNCHECKED_MARK, "the 有効 anti-alias mark cleared")
        self.wait_for_mark(IMG_ANTI[0], CHECKED_MARK, "the 無効 anti-alias mark checked")
        # The upper arrows raise: tile 4's height and the speed, one step each.
        for spin, label in (((0, 1380, 840 + 420 * 3), client_point(0, 1800, tile_row_top(3))),
                            ((1, 1140, 540), client_point(1, 1560, 600))):
            label_changed = self.wait_for_change(label, (22, 13), "the spin button's label following it")
            self.session.click(*self.screen_point(spin_arrow(*spin, upper=True)))
            label_changed()
        self.assertStillRuns(dialog)
        self.press_set()
        self.assertExits(dialog, within=10)
        self.assertEqual(self.session.read_program_file(INI),
                         saved_file(actions="1011", heights=(256, 256, 256, 257), randoms="1101", speed=11,
                                    anti_alias=0))
        self.assertTrue(self.session.wait_until_gone(self.SETTINGS_CAPTION))

    # --- 4. the buttons' looks ---------------------------------------------------

    def button_image(self, screen=None):
        return self.client_crop(screen or self.session.screenshot(), CMD_SET, *BUTTON_SIZE)

    @staticmethod
    def face_runs_downwards_to_lavender(button):
        # Column 6 lies in the face, left of the caption; rows 4 to 20 are face.
        top, bottom = button.pixel(6, 4), button.pixel(6, 20)
        return sum(top) > sum(bottom)

    @staticmethod
    def border_offset(button):
        """How far in from the left and the top the dark blue border runs."""
        middle_row = [button.pixel(x, 12) for x in range(6)]
        left_column = [button.pixel(8, y) for y in range(6)]
        if BORDER_BLUE not in middle_row or BORDER_BLUE not in left_column:
            return None
        return middle_row.index(BORDER_BLUE), left_column.index(BORDER_BLUE)

    def wait_for_button(self, condition, what):
        return self.button_image(self.session.wait_for_screen(
            lambda screen: condition(self.button_image(screen)), timeout=5, what=what))

    def test_buttons_show_hover_and_pressed_looks_and_a_release_outside_does_not_click(self):
        dialog = self.open_dialog()
        normal = self.button_image()
        self.assertTrue(self.face_runs_downwards_to_lavender(normal), "normal face: white at the top")
        self.assertGreater(min(normal.pixel(6, 4)), 240)
        self.assertEqual(self.border_offset(normal), (1, 1))

        # Hover: the face runs the other way, lavender at the top.
        over = self.screen_point(CMD_SET, BUTTON_SIZE[0] - 12, BUTTON_SIZE[1] // 2)
        self.session.move_mouse(*over)
        hover = self.wait_for_button(lambda b: not self.face_runs_downwards_to_lavender(b), "the hover face")
        self.assertNotEqual(hover, normal)
        self.assertEqual(self.border_offset(hover), (1, 1))
        self.assertLess(sum(hover.pixel(6, 4)), sum(LAVENDER) + 30)
        self.assertGreater(min(hover.pixel(6, 20)), 240)
        self.assertTrue(near(hover.pixel(20, 2), HIGHLIGHT_TOP_ACCENT), hover.pixel(20, 2))

        # Pressed: the border sinks one pixel right and down.
        xdotool(self.session, "mousedown", 1)
        try:
            pressed = self.wait_for_button(lambda b: self.border_offset(b) == (2, 2), "the pressed border")
            self.assertNotEqual(pressed, hover)
            # Off the button with the button held: once the timer has seen it
            # leave (the focused look, blue accent) a release there is no click.
            self.session.move_mouse(*self.screen_point((5, 5)))
            self.wait_for_button(lambda b: self.border_offset(b) == (1, 1)
                                 and near(b.pixel(20, 2), SELECTED_TOP_ACCENT),
                                 "the focused look after leaving")
        finally:
            xdotool(self.session, "mouseup", 1)
        time.sleep(0.5)
        self.assertStillRuns(dialog)
        self.assertIsNone(self.session.read_program_file(INI), "a release outside the button saved")

        # The other button is still plain and a real click still works.
        self.press_cancel()
        self.assertExits(dialog, within=10)
        self.assertIsNone(self.session.read_program_file(INI))

    # --- 5. the next saver run --------------------------------------------------

    def test_the_next_saver_run_uses_the_saved_settings(self):
        dialog = self.open_dialog()
        for tile in range(4):
            self.click_mark(img_action(tile), UNCHECKED_MARK, f"tile {tile + 1}'s Action mark cleared")
        self.press_set()
        self.assertExits(dialog, within=10)
        self.assertEqual(self.session.read_program_file(INI), saved_file(actions="0000"))

        width, height = self.config.screen_size
        desktop = Image.test_pattern(width, height)
        self.session.paint_desktop(desktop)
        self.session.move_mouse(width - 1, height - 1)
        saver = self.start("/s")
        self.session.wait_for_window(self.SAVER_CAPTION, timeout=WINDOW_WAIT)
        self.wait_until_visible(self.SAVER_CAPTION)
        # The desktop is copied by now (the window shows once loaded). Behind
        # the saver the root turns black: what shows is the saver's copy.
        subprocess.run(["xsetroot", "-display", self.session.display, "-solid", "black"], check=True,
                       stdin=subprocess.DEVNULL, timeout=30)
        # The saver's full-screen copy appears; from then on every look is the desktop.
        self.session.wait_for_screen(lambda screen: screen == desktop, timeout=10, what="the saver's desktop copy")
        deadline = time.monotonic() + 2
        looks = 0
        while time.monotonic() < deadline:
            screen = self.session.screenshot()
            looks += 1
            if screen != desktop:
                screen.save(self.session.dir / "saver-changed.png")
                self.fail(f"the screen left the desktop with every tile off ({len(screen.differing_pixels(desktop))} pixels)")
        self.assertGreaterEqual(looks, 2)
        self.assertStillRuns(saver)
        self.press_key_in(self.SAVER_CAPTION, "a")
        self.assertExits(saver, within=5)
