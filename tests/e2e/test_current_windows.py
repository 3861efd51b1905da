"""The saver on current Windows, under Wine: the wallpaper on the secure
saver desktop, and settings that survive a program folder that cannot be
written."""
import os
import shutil
import subprocess
import time
import unittest
from pathlib import Path

from vtest import Image, SessionTestCase

WINDOW_WAIT = 20

def all_tiles(action: int) -> bytes:
    """A settings file with every tile on (1) or off (0), fixed 300 x 260."""
    lines = ["[Section]"]
    for slot in range(4):
        lines += [f"Action{slot}= {action}", f"Height{slot}= 260", f"Width{slot}= 300", f"Random{slot}= 0"]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def bmp_24(image: Image) -> bytes:
    """A bottom-up 24-bit Windows bitmap file of the picture."""
    row_size = (image.width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(image.height)):
        row = bytearray()
        for x in range(image.width):
            r, g, b = image.pixel(x, y)
            row += bytes((b, g, r))
        pixels += row + bytes(row_size - len(row))
    header_size = 14 + 40
    file_header = b"BM" + (header_size + len(pixels)).to_bytes(4, "little") + bytes(4) + \
        header_size.to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + image.width.to_bytes(4, "little", signed=True) + \
        image.height.to_bytes(4, "little", signed=True) + (1).to_bytes(2, "little") + \
        (24).to_bytes(2, "little") + bytes(4) + len(pixels).to_bytes(4, "little") + bytes(16)
    return file_header + info + bytes(pixels)


def quadrants(width: int, height: int, colours) -> Image:
    """Top left, top right, bottom left, bottom right in the four colours."""
    rgb = bytearray()
    for y in range(height):
        for x in range(width):
            rgb += bytes(colours[(2 if y >= height // 2 else 0) + (1 if x >= width // 2 else 0)])
    return Image(width, height, bytes(rgb))


def near(actual, expected, tolerance=8) -> bool:
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class SaverDesktopTest(SessionTestCase):
    """The saver on a desktop named "Screen-saver", as Windows starts it on
    its secure desktop: the tiles are cut from the user's wallpaper, laid out
    as the desktop lays it out, over the background colour."""

    session_per_test = True  # ending the prefix's server ends the desktop with the saver
    RED, YELLOW, BLUE, WHITE = (255, 0, 0), (255, 255, 0), (0, 0, 255), (255, 255, 255)
    BACKGROUND = (0, 128, 0)

    def set_user_value(self, key: str, name: str, value: str):
        with open(self.session.dir / "reg.log", "ab") as log:
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f"],
                           env=self.session.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                           check=True, timeout=self.config.seconds(60))

    def start_on_saver_desktop(self, width: int, height: int):
        return self.start(["/desktop=Screen-saver,%dx%d" % (width, height), self.session.saver_path, "/s"],
                          program="explorer", name="saver-desktop")

    def test_fit_wallpaper_over_the_background_colour(self):
        width, height = self.config.screen_size
        # A 2:1 picture fitted to a 4:3 screen: full width, bands of the
        # background colour above and below (Wine's own desktop only centres
        # or tiles a wallpaper, so this layout can only come from the saver).
        picture = quadrants(200, 100, (self.RED, self.YELLOW, self.BLUE, self.WHITE))
        self.session.write_program_file("wall.bmp", bmp_24(picture))
        self.session.write_program_file("Virelta.ini", all_tiles(0))
        desktop_key = r"HKCU\Control Panel\Desktop"
        self.set_user_value(desktop_key, "Wallpaper", self.config.program_folder + "\\wall.bmp")
        self.set_user_value(desktop_key, "WallpaperStyle", "6")
        self.set_user_value(desktop_key, "TileWallpaper", "0")
        self.set_user_value(r"HKCU\Control Panel\Colors", "Background", "%d %d %d" % self.BACKGROUND)

        self.start_on_saver_desktop(width, height)
        shown = width, width // 2  # the picture's size on the screen (1024 x 512 at 1024 x 768)
        top = (height - shown[1]) // 2
        places = [
            ((width // 2, top // 2), self.BACKGROUND),
            ((width // 2, height - top // 2), self.BACKGROUND),
            ((width // 4, top + shown[1] // 4), self.RED),
            ((3 * width // 4, top + shown[1] // 4), self.YELLOW),
            ((width // 4, top + 3 * shown[1] // 4), self.BLUE),
            ((3 * width // 4, top + 3 * shown[1] // 4), self.WHITE),
            # Just inside the picture's corners and just outside its edges.
            ((2, top + 2), self.RED),
            ((width - 3, top + shown[1] - 3), self.WHITE),
            ((2, top - 3), self.BACKGROUND),
            ((width - 3, top + shown[1] + 2), self.BACKGROUND),
        ]

        def shows_wallpaper(image):
            return all(near(image.pixel(x, y), colour) for (x, y), colour in places)

        screen = self.session.wait_for_screen(shows_wallpaper, timeout=WINDOW_WAIT, what="the fitted wallpaper")
        # Every tile is off: the picture stays as it came up.
        time.sleep(1.0)
        self.assertEqual(self.session.screenshot(), screen)

    def test_tiles_turn_pieces_of_the_wallpaper(self):
        width, height = self.config.screen_size
        picture = quadrants(64, 48, (self.RED, self.YELLOW, self.BLUE, self.WHITE))
        self.session.write_program_file("wall.bmp", bmp_24(picture))
        self.session.write_program_file("Virelta.ini", all_tiles(1))
        desktop_key = r"HKCU\Control Panel\Desktop"
        self.set_user_value(desktop_key, "Wallpaper", self.config.program_folder + "\\wall.bmp")
        self.set_user_value(desktop_key, "WallpaperStyle", "2")  # stretched over the screen
        self.set_user_value(desktop_key, "TileWallpaper", "0")
        self.start_on_saver_desktop(width, height)
        allowed = [self.RED, self.YELLOW, self.BLUE, self.WHITE, (0, 0, 0)]

        def turning(image):
            # Rotated tiles bring black corners; the stretched quadrants are a
            # quarter of the screen each, partly under tiles (Wine's own
            # desktop would show the picture centred, 32 x 24 pixels each).
            return image.count((0, 0, 0)) > 1000 and all(image.count(c) > 20000 for c in allowed[:4])

        screen = self.session.wait_for_screen(turning, timeout=WINDOW_WAIT, what="turning tiles")
        plain = sum(screen.count(colour) for colour in allowed)
        # What is not a quadrant colour or black is an anti-aliased edge.
        self.assertGreater(plain, width * height * 9 // 10)

def chattr(flag: str, *paths: Path) -> bool:
    try:
        return subprocess.run(["chattr", flag, *map(str, paths)], stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


class SettingsLocationTest(SessionTestCase):
    """The settings file stays beside the program while that folder can be
    written; otherwise Set saves %APPDATA%\\Virelta\\Virelta.ini, which the
    next start reads first."""

    session_per_test = True

    def user_settings_file(self) -> Path:
        users = self.session.prefix / "drive_c" / "users"
        found = sorted(users.glob("*/AppData/Roaming"))
        self.assertTrue(found, "no roaming application data folder in the prefix")
        return found[0] / "Virelta" / "Virelta.ini"

    def save_with_tile_0_off(self):
        """Opens the dialog, turns tile 0 off and presses Set."""
        self.session.move_mouse(1, 1)  # no button starts hovered
        dialog = self.start("/c")
        self.session.wait_for_window(self.SETTINGS_CAPTION, timeout=WINDOW_WAIT)
        # Client origin on the screen, then Img_Action(0): Pic_C(0) at
        # 240, 240 twips plus 540, 900 inside it, 195 twips wide (13 pixels).
        mark = (16 + 36, 16 + 60)
        deadline = time.monotonic() + self.config.seconds(WINDOW_WAIT)
        last = None
        while True:
            # The window exists a moment before its load handler has placed
            # it: its place is taken once it is shown and stays put.
            form = self.session.window_tree(self.SETTINGS_CAPTION)[0]
            if form["visible"] and form["client_origin"] == last:
                break
            last = form["client_origin"]
            self.assertLess(time.monotonic(), deadline, "the settings dialog did not show")
            time.sleep(0.3)
        x0, y0 = last
        time.sleep(0.5)  # the opening zoom and the first painting

        def mark_now():
            return self.session.screenshot().crop(x0 + mark[0], y0 + mark[1], 12, 12)

        before = mark_now()
        for _attempt in range(3):
            self.session.click(x0 + mark[0] + 6, y0 + mark[1] + 6)
            try:
                self.session.wait_for_screen(
                    lambda screen: screen.crop(x0 + mark[0], y0 + mark[1], 12, 12) != before, timeout=3,
                    what="tile 1's mark cleared")
                break
            except AssertionError:
                continue
        else:
            self.fail("tile 1's mark did not change")
        # Cmd_Set at 3960, 3060 twips, 1275 x 375 (85 x 25 pixels).
        self.session.click(x0 + 264 + 42, y0 + 204 + 12)
        self.assertExits(dialog, within=10)

    def test_read_only_program_folder_saves_per_user_and_reads_it_next(self):
        # The documented file is there, every tile on and fixed.
        self.session.write_program_file("Virelta.ini", all_tiles(1))
        folder = self.session.program_folder
        if not chattr("+i", folder / "Virelta.ini", folder):
            self.skipTest("chattr +i is not available here (needs root and a file system that has it)")
        try:
            self.save_with_tile_0_off()
            user_file = self.user_settings_file()
            self.assertTrue(user_file.exists(), "Set did not write the per-user file")
            # The file is made from the dialog's state, which came from the
            # program folder's file; tile 0 is off, the rest as the dialog
            # writes them. The same bytes as a file beside the program.
            expected = (b"[Section]\r\n"
                        + b"".join(b"Action%d= %d\r\nHeight%d= 260\r\nWidth%d= 300\r\nRandom%d= 0\r\n"
                                   % (i, 0 if i == 0 else 1, i, i, i) for i in range(4))
                        + "回転速度= 10\r\n回転数= 1\r\nｱﾝﾁｴｲﾘｱｽ= 1\r\n".encode("cp932"))
            self.assertEqual(user_file.read_bytes(), expected)
            self.assertEqual(self.session.read_program_file("Virelta.ini"), all_tiles(1))

            # The next run reads the per-user file first: with every tile off
            # there, the saver leaves the screen as it was, although the file
            # beside the program turns four tiles.
            user_file.write_bytes(all_tiles(0))
            self.session.paint_desktop(Image.test_pattern(*self.config.screen_size))
            before = self.session.screenshot()
            saver = self.start("/s")
            self.session.wait_for_window(self.SAVER_CAPTION, timeout=WINDOW_WAIT)
            for _ in range(5):
                time.sleep(0.3)
                self.assertEqual(self.session.screenshot(), before, "a tile turned: the program folder's file was read")
            self.assertStillRuns(saver)
        finally:
            chattr("-i", folder, folder / "Virelta.ini")


if __name__ == "__main__":
    unittest.main()
