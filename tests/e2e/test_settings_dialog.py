"""The settings dialog under Wine: what it paints, what its controls and buttons
do, and the file Set writes.  Places come from the dialog's layout: twips
relative to a panel, 15 twips to the pixel at 96 dpi."""
import json
import math
import time

from vtest import Image, SessionTestCase

INI = "Virelta.ini"
CLIENT_SIZE = (452, 244)
PANELS = {None: (0, 0), 0: (240, 240), 1: (4440, 240)}
ANTI_ALIAS_KEY = "ｱﾝﾁｴｲﾘｱｽ".encode("cp932")


def point(panel, left, top):
    """Client pixel of a layout place (twips within `panel`; None: the window)."""
    return (PANELS[panel][0] + left) // 15, (PANELS[panel][1] + top) // 15


def row(tile):
    return 900 + 420 * tile


IMG_ACTION = [point(0, 540, row(t)) for t in range(4)]
IMG_RDM = [point(0, 3240, row(t)) for t in range(4)]
IMG_ANTI = [point(1, 420, 2220), point(1, 1200, 2220)]  # 無効, 有効
LABEL_SIZE = (26, 13)
CMD_SET, CMD_CAN, BUTTON_SIZE = point(None, 3960, 3060), point(None, 5280, 3060), (85, 25)


def sheen(y, height):
    """The background of a surface `height` pixels high at row y."""
    c = round(abs(math.sin(y / (height / 3.142))) * 220)
    return c, c, c + 30


def mark(border, ring, inside):
    """A 12 x 12 mark picture: its border, the ring inside that, the middle."""
    return Image(12, 12, b"".join(bytes((border, ring, inside)[min(x, y, 11 - x, 11 - y, 2)])
                                  for y in range(12) for x in range(12)))


CHECKED = mark((0x10, 0x30, 0x90), (0x50, 0x82, 0xF0), (0x28, 0x5A, 0xD8))
UNCHECKED = mark((0x80, 0x80, 0x80), (0xF4, 0xF4, 0xF4), (0xF4, 0xF4, 0xF4))


def saved_file(actions="1111", heights=(256,) * 4, randoms="1111", speed=10, anti_alias=1):
    """The bytes Set writes into a missing file: nineteen keys, a blank after '=', CRLF."""
    lines = ["[Section]"]
    for t in range(4):
        lines += [f"Action{t}= {actions[t]}", f"Height{t}= {heights[t]}", f"Width{t}= 256", f"Random{t}= {randoms[t]}"]
    lines += [f"回転速度= {speed}", "回転数= 1", f"ｱﾝﾁｴｲﾘｱｽ= {anti_alias}"]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def glyph_mask(image):
    """The dark (text) pixels as rows of '#' and '.'."""
    return ["".join("#" if max(image.pixel(x, y)) < 80 else "." for x in range(image.width))
            for y in range(image.height)]


class DialogCase(SessionTestCase):
    """Opens the dialog and works it by its layout; no tests of its own."""

    def setUp(self):
        super().setUp()
        self.session.remove_program_file(INI)

    def tearDown(self):
        super().tearDown()
        self.session.remove_program_file(INI)

    def open_dialog(self, command="/c", caption=None):
        """Starts /c and waits until the dialog is painted where its load handler put it."""
        self.session.move_mouse(1, 1)  # no button starts hovered
        caption = caption or self.SETTINGS_CAPTION
        dialog = self.start(command)
        self.session.wait_for_window(caption)

        def painted():
            self.top = self.session.window_tree(caption)[0]
            self.origin = tuple(self.top["client_origin"])
            try:
                return all(self.client(self.session.screenshot(), (5, y), 1, 1).pixel(0, 0)
                           == sheen(y, self.top["client_size"][1])
                           for y in (0, 60, 122))
            except IndexError:
                return False

        self.wait_until(painted, "the dialog painted", timeout=20)
        return dialog

    def client(self, screen, place, width, height):
        return screen.crop(self.origin[0] + place[0], self.origin[1] + place[1], width, height)

    def click(self, place, dx=6, dy=6):
        self.session.click(self.origin[0] + place[0] + dx, self.origin[1] + place[1] + dy)

    def wait_for(self, place, size, condition, what):
        self.session.wait_for_screen(lambda screen: condition(self.client(screen, place, *size)), timeout=5, what=what)

    def press(self, button):
        self.click(button, BUTTON_SIZE[0] // 2, BUTTON_SIZE[1] // 2)


class SettingsDialogTest(DialogCase):
    def test_paints_the_background_the_marks_and_the_japanese_labels(self):
        # Tile 2 off, tile 3 not random, anti-aliasing off.
        ini = b"[Section]\r\nAction1=0\r\nRandom2=0\r\n" + ANTI_ALIAS_KEY + b"=0\r\n"
        self.session.write_program_file(INI, ini)
        dialog = self.open_dialog()
        self.assertEqual((self.top["text"], self.top["client_size"]), ("Vireltaの設定", list(CLIENT_SIZE)))
        client = self.client(self.session.screenshot(), (0, 0), *CLIENT_SIZE)
        # The sheen, row by row, where nothing else lies: the window (244 rows) and each panel (177).
        for panel, column, rows in ((None, 5, 244), (0, 4, 177), (1, 4, 177)):
            x, y0 = point(panel, 0, 0)
            self.assertEqual([client.pixel(x + column, y0 + y) for y in range(rows)],
                             [sheen(y, rows) for y in range(rows)])
        self.assertEqual([client.pixel(5, y) for y in (0, 60, 122)], [(0, 0, 30), (154, 154, 184), (220, 220, 250)])
        for t in range(4):
            self.assertEqual(client.crop(*IMG_ACTION[t], 12, 12), UNCHECKED if t == 1 else CHECKED, f"tile {t}")
            self.assertEqual(client.crop(*IMG_RDM[t], 12, 12), UNCHECKED if t == 2 else CHECKED, f"tile {t}")
        self.assertEqual([client.crop(*p, 12, 12) for p in IMG_ANTI], [CHECKED, UNCHECKED], "anti-aliasing off: 無効")

        # Japanese texts drawn as glyphs, not boxes: "無効" and "有効" differ, each has
        # ink inside its outline, and "有効" looks the same in the tile row and the pair.
        masks = {name: glyph_mask(client.crop(*place, *LABEL_SIZE)) for name, place in (
            ("無効", point(1, 660, 2220)), ("有効", point(1, 1440, 2220)),
            ("tile 有効", point(0, 780, row(0))), ("tile 無効", point(0, 780, row(1))))}
        shown = "\n".join(a + "  " + b for a, b in zip(masks["無効"], masks["有効"]))
        self.assertNotEqual(masks["無効"], masks["有効"], shown)
        for name in ("無効", "有効"):
            ink = [(x, y) for y, line in enumerate(masks[name]) for x, c in enumerate(line) if c == "#"]
            self.assertGreater(len(ink), 20, f"{name} is (almost) empty:\n{shown}")
            xs, ys = [p[0] for p in ink], [p[1] for p in ink]
            self.assertTrue(any(min(xs) < x < max(xs) and min(ys) < y < max(ys) for x, y in ink), f"{name} is a box")
            self.assertGreater(len(set(masks[name])), 6, f"{name} has too few different rows:\n{shown}")
            self.assertEqual(masks["tile " + name], masks[name])
        self.press(CMD_CAN)
        self.assertExits(dialog, within=10)
        self.assertEqual(self.session.read_program_file(INI), ini, "Cancel changed the file")

    def test_marks_labels_spin_arrow_and_set_write_the_file(self):
        dialog = self.open_dialog()
        # A tile's mark, another tile's label, the checked anti-alias mark.
        for place, dx, shows in ((IMG_ACTION[1], 6, IMG_ACTION[1]), (point(0, 3480, row(2)), 4, IMG_RDM[2]),
                                 (IMG_ANTI[1], 6, IMG_ANTI[1])):
            self.click(place, dx)
            self.wait_for(shows, (12, 12), lambda image: image == UNCHECKED, f"the mark at {shows} cleared")
        self.wait_for(IMG_ANTI[0], (12, 12), lambda image: image == CHECKED, "無効 checked")
        # The upper arrows raise tile 4's height and the speed one step; their labels follow.
        for spin, label in (((0, 1380, 840 + 420 * 3), point(0, 1800, row(3))), ((1, 1140, 540), point(1, 1560, 600))):
            before = self.client(self.session.screenshot(), label, 22, 13)
            x, y = point(*spin)
            self.click((x, y), 12, 5)
            self.wait_for(label, (22, 13), lambda image: image != before, "the spin button's label following it")
        self.assertStillRuns(dialog)
        self.press(CMD_SET)
        self.assertExits(dialog, within=10)
        self.assertEqual(self.session.read_program_file(INI),
                         saved_file("1011", (256, 256, 256, 257), "1101", speed=11, anti_alias=0))

    def test_buttons_show_hover_and_pressed_looks_and_a_release_outside_does_not_click(self):
        dialog = self.open_dialog()

        def looks(what, face_down, border):
            """The face runs white to lavender (down) or back; the dark blue border lies `border` pixels in."""
            def shows(b):
                blue = [x for x in range(6) if b.pixel(x, 12) == (0, 0x3C, 0x74)]
                face = sum(b.pixel(6, 4)) > sum(b.pixel(6, 20))
                return blue[:1] == [border] and face_down in (None, face)
            self.wait_for(CMD_SET, BUTTON_SIZE, shows, what)

        looks("the normal face", True, 1)
        self.session.move_mouse(self.origin[0] + CMD_SET[0] + BUTTON_SIZE[0] - 12, self.origin[1] + CMD_SET[1] + 12)
        looks("the hover face", False, 1)
        self.session.xdotool("mousedown", 1)
        try:
            looks("the pressed border", False, 2)
            self.session.move_mouse(self.origin[0] + 5, self.origin[1] + 5)
            looks("the raised border after leaving", None, 1)
        finally:
            self.session.xdotool("mouseup", 1)
        time.sleep(0.5)
        self.assertStillRuns(dialog)
        self.assertIsNone(self.session.read_program_file(INI), "a release outside the button saved")

    def test_keys_alone_toggle_a_mark_step_a_spin_button_and_set(self):
        dialog = self.open_dialog()
        self.session.focus(self.SETTINGS_CAPTION)
        # The focus opens on tile 1's Action mark: Tab to its Random mark, Space;
        # Tab to tile 2's height, one up; Enter is 設定. Esc elsewhere is ｷｬﾝｾﾙ (unit tests).
        self.session.key("Tab", "Tab", "Tab", "space", "Tab", "Tab", "Up", "Return")
        self.assertExits(dialog, within=10)
        self.assertEqual(self.session.read_program_file(INI), saved_file(heights=(256, 257, 256, 256), randoms="0111"))

    def heard(self, caption):
        code, output = self.session.helper("access", caption)
        self.assertEqual(code, 0, output)
        return [json.loads(line) for line in output.splitlines() if line.startswith("{")]

    def test_a_screen_reader_hears_each_control_s_name_role_and_state(self):
        self.open_dialog()
        expected = []
        for tile in range(1, 5):
            expected += [(f"ｱｸｼｮﾝ {tile}", "check box", True, None), (f"高さ {tile}", "spin button", False, "256"),
                         (f"幅 {tile}", "spin button", False, "256"), (f"ﾗﾝﾀﾞﾑ {tile}", "check box", True, None)]
        expected += [("回転速度", "spin button", False, "10"), ("回転数", "spin button", False, "1"),
                     ("ｱﾝﾁｴｲﾘｱｽ 無効", "check box", False, None), ("ｱﾝﾁｴｲﾘｱｽ 有効", "check box", True, None),
                     ("設定", "push button", False, None), ("ｷｬﾝｾﾙ", "push button", False, None)]
        children = self.heard(self.SETTINGS_CAPTION)
        heard = [(c["name"], c["role"], c["checked"], c["value"]) for c in children]
        self.assertEqual(heard[:-1], expected)
        self.assertEqual((heard[-1][1], heard[-1][0]), ("link", heard[-1][3]))  # the link is called by its address
        self.assertTrue(children[0]["focused"])
        self.session.focus(self.SETTINGS_CAPTION)
        self.session.key("space", "Tab", "Up")
        self.wait_until(lambda: self.heard(self.SETTINGS_CAPTION)[0]["checked"] is False, "the mark heard as cleared")
        second = self.heard(self.SETTINGS_CAPTION)[1]
        self.assertEqual((second["value"], second["focused"]), ("257", True))

    def test_in_english_at_96_and_144_dpi_owned_by_the_window_named_after_c_and_centred_on_it(self):
        host, handle = self.session.start_host(600, 420)
        japanese = self.session.env
        try:
            for dpi in (144, 96):  # the screen's resolution as the prefix's registry gives it
                self.session.set_dpi(dpi)
                self.session.env = dict(japanese, LC_ALL="C.UTF-8")  # a display language other than Japanese
                dialog = self.open_dialog(f"/c:{handle}", "Virelta Settings")
                self.session.env = japanese
                # Kept for a look: no text may be cut by its box, a panel's edge or a button's.
                x0, y0, x1, y1 = self.top["rect"]
                shot = self.session.path(f"english-{dpi}dpi", ".png")
                self.session.screenshot().crop(x0, y0, x1 - x0, y1 - y0).save(shot)
                self.assertEqual((self.top["owner"], self.top["client_size"]),
                                 (handle, [n * dpi // 96 for n in CLIENT_SIZE]))
                host_rect = self.session.window_tree("vtest-host")[0]["rect"]
                for axis in (0, 1):  # centre over centre, within rounding
                    self.assertLessEqual(abs(self.top["rect"][axis] + self.top["rect"][axis + 2]
                                             - host_rect[axis] - host_rect[axis + 2]), 2, (self.top["rect"], host_rect))
                left, top = self.top["client_origin"]  # every window inside the client area
                right, bottom = left + self.top["client_size"][0], top + self.top["client_size"][1]
                for w in self.session.window_tree("Virelta Settings")[1:]:
                    self.assertTrue(left <= w["rect"][0] < w["rect"][2] <= right
                                    and top <= w["rect"][1] < w["rect"][3] <= bottom, (dpi, w))
                names = [c["name"] for c in self.heard("Virelta Settings")]
                self.assertEqual(names[:4] + names[16:22], ["Show tile 1", "Height 1", "Width 1", "Random size 1",
                                                            "Speed", "Turns", "Anti-aliasing off", "Anti-aliasing on",
                                                            "Set", "Cancel"])
                self.assertTrue(all(name.isascii() for name in names), names)
                self.session.focus("Virelta Settings")
                self.session.key("Escape")
                self.assertExits(dialog, within=10)
        finally:
            self.session.env = japanese
            self.session.set_dpi(96)
