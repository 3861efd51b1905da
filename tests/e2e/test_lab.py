"""The Effects Lab, VireltaLab.exe: the engine's picture-file and colour dialogs
driven through the real common dialogs under Wine."""
import shutil
import time
from pathlib import Path

from vtest import Image, SessionTestCase

LAB, OPEN_TITLE, SAVE_TITLE = "Virelta Effects Lab", "Load a Picture file", "Save Picture file"
BOX = (320, 200)  # the box holds the starting picture's size
FACE = (0xF0, 0xF0, 0xF0)  # what the box shows beyond a smaller picture


def blocks(width, height, size=16):
    """Flat blocks of a few colours: exact through GIF, nearly so through JPEG."""
    palette = [(200, 30, 40), (20, 160, 60), (30, 60, 200), (240, 220, 40), (250, 250, 250), (10, 10, 10)]
    return Image(width, height, b"".join(bytes(palette[(x // size + 2 * (y // size)) % 6])
                                         for y in range(height) for x in range(width)))


def in_box(picture):
    """The box showing a smaller picture: it keeps its size, the rest shows its face."""
    return Image(*BOX, b"".join(picture.row(y) + bytes(FACE) * (BOX[0] - picture.width) if y < picture.height
                                else bytes(FACE) * BOX[0] for y in range(BOX[1])))


def difference(a, b):
    return max(abs(p - q) for p, q in zip(a.rgb, b.rgb))


class LabTest(SessionTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        built = sorted(Path(cls.config.saver).parents[2].glob("**/VireltaLab.exe"), key=lambda p: -p.stat().st_mtime)
        shutil.copy2(built[0] if built else Path(cls.config.saver).parent / "VireltaLab.exe",
                     cls.session.program_folder / "VireltaLab.exe")

    def path(self, name):
        return self.config.program_folder + "\\" + name

    def write_picture(self, name, image, format_prefix=""):
        image.save(f"{format_prefix}{self.session.program_folder / name}")

    def start_lab(self, picture="start.bmp", shows=None):
        self.start_picture = Image.test_pattern(*BOX)
        self.write_picture("start.bmp", self.start_picture)
        lab = self.start([self.path(picture)], program=self.path("VireltaLab.exe"), name="lab")
        self.session.wait_for_window(LAB, timeout=30)
        self.handle = next(w["hwnd"] for w in self.session.top_level_windows()
                           if w["text"] == LAB and w["class"] == "VireltaForm")
        self.wait_for_box(shows or self.start_picture)
        return lab

    def box(self):
        origin = self.session.window_tree(f"#{self.handle}")[0]["client_origin"]
        return self.session.screenshot().crop(*origin, *BOX)

    def wait_for_box(self, expected, tolerance=0):
        self.wait_until(lambda: difference(self.box(), expected) <= tolerance, "the box showing the picture", 10, 0.3)

    def dialogs(self, lab_titled):
        """Visible dialog boxes titled (or not titled) with the lab's caption."""
        return [w["hwnd"] for w in self.session.top_level_windows()
                if w["class"] == "#32770" and w["visible"] and (w["text"] == LAB) == lab_titled]

    def open_file_dialog(self, shortcut, title):
        self.session.focus(LAB)
        self.session.key(shortcut)
        self.session.wait_for_window(title, timeout=15)
        time.sleep(0.5)
        self.session.focus(title)

    def use_file_dialog(self, shortcut, title, typed):
        self.open_file_dialog(shortcut, title)
        self.session.xdotool("type", "--clearmodifiers", typed)
        self.session.key("Return")
        self.assertTrue(self.session.wait_until_gone(title), f'"{title}" stayed open')

    def test_bmp_gif_jpeg_and_japanese_names_open_and_a_bad_file_is_reported(self):
        self.write_picture("絵.gif", blocks(*BOX))
        lab = self.start_lab("絵.gif", blocks(*BOX))  # from the command line
        small, icon = blocks(200, 120), blocks(32, 32, 8)
        self.write_picture("small.bmp", small, "BMP3:")
        self.write_picture("blocks.jpg", blocks(*BOX))
        self.write_picture("icon.ico", icon)
        ico = (self.session.program_folder / "icon.ico").read_bytes()  # a cursor: type 2, hot spot (3, 5)
        self.session.write_program_file("icon.cur", ico[:2] + b"\2\0" + ico[4:10] + b"\3\0\5\0" + ico[14:])
        for name, picture in (("small.bmp", small), ("icon.ico", icon), ("icon.cur", icon)):
            self.use_file_dialog("ctrl+o", OPEN_TITLE, self.path(name))
            self.wait_for_box(in_box(picture))
        self.use_file_dialog("ctrl+o", OPEN_TITLE, self.path("blocks.jpg"))
        self.wait_for_box(blocks(*BOX), tolerance=24)  # lossy; flat blocks come back within a few steps
        # Picked from the list of a folder holding only a Japanese name.
        (self.session.program_folder / "jp").mkdir()
        self.write_picture("jp/写真.bmp", self.start_picture, "BMP3:")
        self.open_file_dialog("ctrl+o", OPEN_TITLE)
        self.session.xdotool("type", "--clearmodifiers", self.path("jp"))
        self.session.key("Return")
        time.sleep(1)
        self.session.key("shift+Tab", "Home", "Return")
        self.assertTrue(self.session.wait_until_gone(OPEN_TITLE))
        self.wait_for_box(self.start_picture)
        self.assertEqual(self.dialogs(lab_titled=True), [])
        # Not a picture: a message, and the picture stays.
        self.session.write_program_file("notes.bmp", b"these are notes, not a picture\r\n" * 20)
        self.use_file_dialog("ctrl+o", OPEN_TITLE, self.path("notes.bmp"))
        boxes = self.wait_until(lambda: self.dialogs(lab_titled=True), "a message box")
        self.assertEqual(len(boxes), 1)
        self.assertIn("Error loading picture file", [w["text"] for w in self.session.window_tree(f"#{boxes[0]}")])
        self.assertTrue(self.session.close_window(f"#{boxes[0]}"))
        time.sleep(0.5)
        self.assertEqual(self.box(), self.start_picture)
        self.assertStillRuns(lab)

    def test_saved_names_get_bmp_unless_they_end_in_it_and_the_file_holds_the_box(self):
        self.start_lab()
        # One folder per name: Wine's file names ignore case.
        for folder, typed, written in (("one", "pic", "pic.bmp"), ("two", "PIC.BMP", "PIC.BMP"),
                                       ("three", "a.bmp.txt", "a.bmp.txt.bmp")):
            (self.session.program_folder / folder).mkdir()
            self.use_file_dialog("ctrl+s", SAVE_TITLE, self.path(folder + "\\" + typed))
            file = self.session.program_folder / folder / written
            self.wait_until(file.exists, f"{written} written")
            self.assertEqual([p.name for p in file.parent.iterdir()], [written])
            self.assertEqual(file.read_bytes()[:2], b"BM")
            self.assertEqual(Image.load(file), self.start_picture)
        self.assertEqual(self.dialogs(lab_titled=True), [])

    def test_the_chosen_colour_and_custom_colours_are_kept_and_cancel_gives_minus_one(self):
        self.start_lab()

        def colour_dialog(*clicks_then_button):
            """Opens the colour dialog (its title is the system's), clicks controls by id, returns the status."""
            self.session.focus(LAB)
            self.session.key("ctrl+k")
            dialog = self.wait_until(lambda: self.dialogs(lab_titled=False), "the colour dialog", 15, 0.3)[0]
            time.sleep(0.5)
            for control_id, dx, dy in clicks_then_button:
                rect = next(w["rect"] for w in self.session.window_tree(f"#{dialog}") if w["id"] == control_id)
                self.session.click(rect[0] + dx, rect[1] + dy)
                time.sleep(0.3)
            self.wait_until(lambda: not self.dialogs(lab_titled=False), "the colour dialog closing")
            status = self.wait_until(lambda: next((w["text"] for w in self.session.window_tree(f"#{self.handle}")
                                                   if w["class"].lower() == "static"
                                                   and w["text"].startswith("dialogChoseColor = ")), None),
                                     "the chosen colour in the status line")
            return int(status.split("=")[1].split()[0])

        # The first basic colour (grid 720), "Define Custom Colors >>" (719), "Add to Custom Colors" (712), OK.
        first = colour_dialog((720, 6, 5), (719, 5, 5), (712, 5, 5), (1, 5, 5))
        self.assertNotIn(first, (0, -1))
        self.assertEqual(colour_dialog((2, 5, 5)), -1)  # Cancel
        self.assertEqual(colour_dialog((721, 6, 5), (1, 5, 5)), first)  # the custom colour kept from before
