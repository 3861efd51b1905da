"""The saver on current Windows, under Wine: the wallpaper on the secure saver
desktop, and the settings when the program folder or file refuses writes."""
import subprocess
import time

from test_settings_dialog import CMD_SET, IMG_ACTION, UNCHECKED, DialogCase
from vtest import Image, SessionTestCase

RED, YELLOW, BLUE, WHITE, GREEN = (255, 0, 0), (255, 255, 0), (0, 0, 255), (255, 255, 255), (0, 128, 0)


def all_tiles(action):
    """A settings file with every tile on (1) or off (0), fixed 300 x 260."""
    return "".join(["[Section]\r\n"] + [f"Action{t}= {action}\r\nHeight{t}= 260\r\nWidth{t}= 300\r\nRandom{t}= 0\r\n"
                                        for t in range(4)]).encode("ascii")


def quadrants_bmp(width, height):
    """A bottom-up 24-bit bitmap file: red, yellow over blue, white (rows padded to 4 bytes)."""
    pixels = b"".join(b"".join(bytes(reversed((RED, YELLOW, BLUE, WHITE)[2 * (y >= height // 2) + (x >= width // 2)]))
                               for x in range(width)) + bytes(-width * 3 % 4) for y in reversed(range(height)))
    return (b"BM" + (54 + len(pixels)).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
            + (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little")
            + (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24) + pixels)


def near(actual, expected):
    return all(abs(a - e) <= 8 for a, e in zip(actual, expected))


class SaverDesktopTest(SessionTestCase):
    """The saver on a desktop named "Screen-saver", as Windows starts it: tiles cut
    from the user's wallpaper, laid out as the desktop lays it out, over the
    background colour (Wine's own desktop only centres or tiles a wallpaper)."""

    session_per_test = True  # ending the prefix's server ends the desktop with the saver

    def start_with_wallpaper(self, width, height, style, action):
        self.session.write_program_file("wall.bmp", quadrants_bmp(width, height))
        self.session.write_program_file("Virelta.ini", all_tiles(action))
        for key, name, value in (("Desktop", "Wallpaper", self.config.program_folder + r"\wall.bmp"),
                                 ("Desktop", "WallpaperStyle", style), ("Desktop", "TileWallpaper", "0"),
                                 ("Colors", "Background", "0 128 0")):
            self.assertExits(self.start(["add", "HKCU\\Control Panel\\" + key, "/v", name, "/t", "REG_SZ", "/d", value,
                                         "/f"], program="reg"), 60)
        screen = self.config.screen_size
        self.start(["/desktop=Screen-saver,%dx%d" % screen, self.session.saver_path, "/s"], program="explorer")
        return screen

    def test_fit_wallpaper_over_the_background_colour(self):
        # A 2:1 picture fitted to a 4:3 screen: full width, background bands above and below.
        width, height = self.start_with_wallpaper(200, 100, "6", 0)
        top, shown = (height - width // 2) // 2, width // 2
        places = [((width // 2, top // 2), GREEN), ((width // 2, height - top // 2), GREEN),
                  ((width // 4, top + shown // 4), RED), ((3 * width // 4, top + shown // 4), YELLOW),
                  ((width // 4, top + 3 * shown // 4), BLUE), ((3 * width // 4, top + 3 * shown // 4), WHITE),
                  # just inside the picture's corners and just outside its edges
                  ((2, top + 2), RED), ((width - 3, top + shown - 3), WHITE),
                  ((2, top - 3), GREEN), ((width - 3, top + shown + 2), GREEN)]
        screen = self.session.wait_for_screen(lambda image: all(near(image.pixel(*p), c) for p, c in places),
                                              timeout=20, what="the fitted wallpaper")
        time.sleep(1.0)
        self.assertEqual(self.session.screenshot(), screen, "every tile is off: nothing may change")

    def test_tiles_turn_pieces_of_the_stretched_wallpaper(self):
        width, height = self.start_with_wallpaper(64, 48, "2", 1)
        colours = [RED, YELLOW, BLUE, WHITE]
        # Turned tiles bring black corners; each stretched quadrant is a quarter of the
        # screen (Wine's desktop would centre the picture at 32 x 24 a quadrant).
        screen = self.session.wait_for_screen(lambda image: image.count((0, 0, 0)) > 1000 and all(
            image.count(c) > 20000 for c in colours), timeout=20, what="turning tiles")
        # What is neither a quadrant colour nor black is an anti-aliased edge.
        self.assertGreater(sum(screen.count(c) for c in colours + [(0, 0, 0)]), width * height * 9 // 10)


def chattr(flag, *paths):
    return subprocess.run(["chattr", flag, *map(str, paths)], capture_output=True).returncode == 0


class SettingsLocationTest(DialogCase):
    """The settings file stays beside the program while that folder takes it; else Set
    saves %APPDATA%\\Virelta\\Virelta.ini, which the next start reads first."""

    session_per_test = True

    def set_with_tile_0_off(self):
        dialog = self.open_dialog()
        self.click(IMG_ACTION[0])
        self.wait_for(IMG_ACTION[0], (12, 12), lambda image: image == UNCHECKED, "tile 1's mark cleared")
        self.press(CMD_SET)
        return dialog

    def test_read_only_program_folder_saves_per_user_and_reads_it_next(self):
        self.session.write_program_file("Virelta.ini", all_tiles(1))
        folder = self.session.program_folder
        if not chattr("+i", folder / "Virelta.ini", folder):
            self.skipTest("chattr +i is not available here (needs root and a file system that has it)")
        try:
            self.assertExits(self.set_with_tile_0_off(), within=10)
            user_file = next((self.session.prefix / "drive_c" / "users").glob("*/AppData/Roaming")) / "Virelta" / \
                "Virelta.ini"
            # The dialog's state came from the program folder's file; tile 0 is now off.
            expected = all_tiles(1).replace(b"Action0= 1", b"Action0= 0") + \
                "回転速度= 10\r\n回転数= 1\r\nｱﾝﾁｴｲﾘｱｽ= 1\r\n".encode("cp932")
            self.assertEqual(user_file.read_bytes(), expected)
            self.assertEqual(self.session.read_program_file("Virelta.ini"), all_tiles(1))
            # The next run reads the per-user file first: every tile off there, the screen stays.
            user_file.write_bytes(all_tiles(0))
            self.session.paint_desktop(Image.test_pattern(*self.config.screen_size))
            before = self.session.screenshot()
            saver = self.start("/s")
            self.session.wait_for_window(self.SAVER_CAPTION)
            for _ in range(5):
                time.sleep(0.3)
                self.assertEqual(self.session.screenshot(), before, "a tile turned: the program folder's file was read")
            self.assertStillRuns(saver)
        finally:
            chattr("-i", folder, folder / "Virelta.ini")

    def test_a_read_only_file_in_a_writable_folder_is_reported_and_the_dialog_stays(self):
        self.session.write_program_file("Virelta.ini", all_tiles(1))
        if not chattr("+i", self.session.program_folder / "Virelta.ini"):
            self.skipTest("chattr +i is not available here")
        try:
            dialog = self.set_with_tile_0_off()
            boxes = self.wait_until(lambda: [w for w in self.session.top_level_windows() if w["class"] == "#32770"
                                             and w["visible"] and w["text"] == self.SETTINGS_CAPTION], "a message box")
            texts = [w["text"] for w in self.session.window_tree(f"#{boxes[0]['hwnd']}")]
            self.assertTrue(any(t.startswith("設定を保存できませんでした。") and "Virelta.ini" in t for t in texts), texts)
            self.assertTrue(self.session.close_window(f"#{boxes[0]['hwnd']}"))
            time.sleep(0.5)
            self.assertStillRuns(dialog)
            self.assertEqual(self.session.read_program_file("Virelta.ini"), all_tiles(1))
            self.assertEqual(list((self.session.prefix / "drive_c" / "users").glob("*/AppData/Roaming/Virelta")), [])
        finally:
            chattr("-i", self.session.program_folder / "Virelta.ini")
