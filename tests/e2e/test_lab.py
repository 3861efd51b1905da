"""The Effects Lab, VireltaLab.exe: the engine's picture-file and colour
dialogs driven through the real common dialogs under Wine."""
import shutil
import time
from pathlib import Path

from vtest import Image, SessionTestCase, WindowNotFound

LAB = "Virelta Effects Lab"
OPEN_TITLE = "Load a Picture file"
SAVE_TITLE = "Save Picture file"
BOX = (320, 200)  # the box holds the starting picture's size
FACE = (0xF0, 0xF0, 0xF0)  # what the box shows beyond a smaller picture


def lab_program(config) -> Path:
    built = Path(config.saver).parent / "VireltaLab.exe"
    if not built.exists():
        # The saver's build folder: .../build/<preset>/platforms/win32/Virelta.scr.
        found = sorted(Path(config.saver).parents[2].glob("**/VireltaLab.exe"))
        built = found[0] if found else built
    return built


def blocks(width, height, size=16):
    """Flat blocks of a few colours: survives GIF exactly and JPEG nearly."""
    palette = [(200, 30, 40), (20, 160, 60), (30, 60, 200), (240, 220, 40), (250, 250, 250), (10, 10, 10)]
    rows = []
    for y in range(height):
        rows.append(b"".join(bytes(palette[(x // size + 2 * (y // size)) % len(palette)]) for x in range(width)))
    return Image(width, height, b"".join(rows))


def max_difference(a: Image, b: Image) -> int:
    return max(abs(p - q) for p, q in zip(a.rgb, b.rgb))


class LabTestCase(SessionTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        program = lab_program(cls.config)
        if not program.exists():
            raise FileNotFoundError(f"the lab is not built: {program}")
        shutil.copy2(program, cls.session.program_folder / "VireltaLab.exe")

    def setUp(self):
        super().setUp()
        self.start_picture = Image.test_pattern(*BOX)
        self.write_picture("start.bmp", self.start_picture)

    # --- helpers ------------------------------------------------------------------

    def windows_path(self, name):
        return self.config.program_folder + "\\" + name

    def write_picture(self, name, image, format_prefix=""):
        image.save(f"{format_prefix}{self.session.program_file(name)}")

    def start_lab(self):
        lab = self.start([self.windows_path("start.bmp")], program=self.windows_path("VireltaLab.exe"), name="lab")
        self.session.wait_for_window(LAB, timeout=30)
        self.wait_for_box(self.start_picture)
        return lab

    def box(self) -> Image:
        return self.session.capture_window(self.lab_window_caption()).crop(0, 0, *BOX)

    def lab_window_caption(self):
        return f"#{self.lab_handle()}"

    def lab_handle(self):
        for window in self.session.top_level_windows():
            if window["text"] == LAB and window["class"] == "VireltaForm":
                return window["hwnd"]
        raise WindowNotFound("no lab window")

    def wait_for_box(self, expected: Image, tolerance=0, timeout=10):
        deadline = time.monotonic() + self.config.seconds(timeout)
        while True:
            shown = self.box()
            if max_difference(shown, expected) <= tolerance:
                return shown
            if time.monotonic() > deadline:
                self.session.save_diagnostics("box")
                shown.save(self.session.dir / "box-shown.png")
                expected.save(self.session.dir / "box-expected.png")
                self.fail(f"the box does not show the expected picture (max difference "
                          f"{max_difference(shown, expected)})")
            time.sleep(0.3)

    def status(self) -> str:
        for window in self.session.window_tree(self.lab_window_caption()):
            if window["class"].lower() == "static":
                return window["text"]
        return ""

    def focus_lab(self):
        windows = self.session.x_windows(LAB)
        self.assertTrue(windows, "the lab has no visible window")
        self.session._x("windowfocus", "--sync", windows[0])

    def use_file_dialog(self, shortcut, title, typed):
        self.focus_lab()
        self.session.key(shortcut)
        self.session.wait_for_window(title, timeout=15)
        time.sleep(0.5)
        self.session.focus(title)
        if typed is None:
            self.session.key("Escape")
        else:
            self.session.type_text(typed)
            self.session.key("Return")
        self.assertTrue(self.session.wait_until_gone(title), f'"{title}" stayed open')

    def message_boxes(self):
        """(handle, texts) of the message boxes titled with the lab's caption."""
        found = []
        for window in self.session.top_level_windows():
            if window["text"] == LAB and window["class"] == "#32770" and window["visible"]:
                texts = [w["text"] for w in self.session.window_tree(f"#{window['hwnd']}")[1:]]
                found.append((window["hwnd"], texts))
        return found

    def wait_for_message_box(self, timeout=10):
        deadline = time.monotonic() + self.config.seconds(timeout)
        while time.monotonic() < deadline:
            boxes = self.message_boxes()
            if boxes:
                return boxes
            time.sleep(0.3)
        self.fail("no message box appeared")


class OpenDialogTest(LabTestCase):
    def test_bmp_gif_and_jpeg_open_through_the_dialog(self):
        self.start_lab()
        small = blocks(200, 120)
        self.write_picture("small.bmp", small, "BMP3:")
        self.write_picture("blocks.gif", blocks(*BOX))
        self.write_picture("blocks.jpg", blocks(*BOX))
        # A smaller picture keeps the box's size: the rest shows the box's face.
        expected = Image(BOX[0], BOX[1], b"".join(
            small.row(y) + bytes(FACE) * (BOX[0] - 200) if y < 120 else bytes(FACE) * BOX[0]
            for y in range(BOX[1])))
        self.use_file_dialog("ctrl+o", OPEN_TITLE, self.windows_path("small.bmp"))
        self.wait_for_box(expected)
        self.use_file_dialog("ctrl+o", OPEN_TITLE, self.windows_path("blocks.gif"))
        self.wait_for_box(blocks(*BOX))
        self.use_file_dialog("ctrl+o", OPEN_TITLE, self.windows_path("blocks.jpg"))
        # JPEG is lossy; flat blocks come back within a few steps.
        self.wait_for_box(blocks(*BOX), tolerance=24)
        self.assertEqual(self.message_boxes(), [])

    def test_a_file_that_is_not_a_picture_is_reported_and_leaves_the_picture(self):
        lab = self.start_lab()
        self.session.write_program_file("notes.bmp", b"these are notes, not a picture\r\n" * 20)
        self.use_file_dialog("ctrl+o", OPEN_TITLE, self.windows_path("notes.bmp"))
        boxes = self.wait_for_message_box()
        self.assertEqual(len(boxes), 1)
        handle, texts = boxes[0]
        self.assertIn("Error loading picture file", texts)
        self.assertTrue(self.session.close_window(f"#{handle}"))
        time.sleep(0.5)
        self.assertEqual(self.box(), self.start_picture)
        self.assertStillRuns(lab)

    def test_a_file_with_a_japanese_name_opens_from_the_command_line_and_the_dialog(self):
        self.write_picture("絵.gif", blocks(*BOX))
        self.start([self.windows_path("絵.gif")], program=self.windows_path("VireltaLab.exe"), name="lab-jp")
        self.session.wait_for_window(LAB, timeout=30)
        self.wait_for_box(blocks(*BOX))
        self.assertEqual(self.message_boxes(), [])
        # The dialog: go to a folder holding only that file, pick it from the list.
        (self.session.program_folder / "jp").mkdir()
        self.write_picture("jp/写真.bmp", self.start_picture, "BMP3:")
        self.focus_lab()
        self.session.key("ctrl+o")
        self.session.wait_for_window(OPEN_TITLE, timeout=15)
        time.sleep(0.5)
        self.session.focus(OPEN_TITLE)
        self.session.type_text(self.windows_path("jp"))
        self.session.key("Return")
        time.sleep(1)
        self.session.key("shift+Tab")
        self.session.key("Home")
        self.session.key("Return")
        self.assertTrue(self.session.wait_until_gone(OPEN_TITLE), "the dialog stayed open")
        self.wait_for_box(self.start_picture)


class SaveDialogTest(LabTestCase):
    def test_names_get_bmp_unless_they_end_in_it_and_the_file_holds_the_box(self):
        self.start_lab()
        shown = self.box()
        # One folder per name: Wine's file names ignore case, so PIC.BMP and
        # pic.bmp would be one file.
        cases = (("one", "pic", "pic.bmp"), ("two", "PIC.BMP", "PIC.BMP"), ("three", "a.bmp.txt", "a.bmp.txt.bmp"))
        for folder, typed, written in cases:
            with self.subTest(typed=typed):
                (self.session.program_folder / folder).mkdir()
                self.use_file_dialog("ctrl+s", SAVE_TITLE, self.windows_path(folder + "\\" + typed))
                path = self.session.program_folder / folder / written
                deadline = time.monotonic() + self.config.seconds(10)
                while not path.exists() and time.monotonic() < deadline:
                    time.sleep(0.2)
                self.assertEqual([p.name for p in path.parent.iterdir()], [written])
                self.assertEqual(path.read_bytes()[:2], b"BM")
                self.assertEqual(Image.load(path), shown)
        self.assertEqual(self.message_boxes(), [])


class ColourDialogTest(LabTestCase):
    def colour_dialogs(self):
        # Its title is the system's (and in the system's language).
        return [w["hwnd"] for w in self.session.top_level_windows()
                if w["class"] == "#32770" and w["visible"] and w["text"] != LAB]

    def open_colour_dialog(self):
        self.focus_lab()
        self.session.key("ctrl+k")
        deadline = time.monotonic() + self.config.seconds(15)
        while time.monotonic() < deadline:
            found = self.colour_dialogs()
            if found:
                time.sleep(0.5)
                return found[0]
            time.sleep(0.3)
        self.fail("the colour dialog did not open")

    def wait_until_closed(self):
        deadline = time.monotonic() + self.config.seconds(10)
        while self.colour_dialogs():
            self.assertLess(time.monotonic(), deadline, "the colour dialog stayed open")
            time.sleep(0.3)

    def control(self, dialog, control_id):
        for window in self.session.window_tree(f"#{dialog}"):
            if window["id"] == control_id:
                return window
        raise WindowNotFound(f"no control {control_id} in the colour dialog")

    def click_in(self, window, dx, dy):
        left, top = window["rect"][0], window["rect"][1]
        self.session.click(left + dx, top + dy)

    def chosen(self):
        deadline = time.monotonic() + self.config.seconds(10)
        while time.monotonic() < deadline:
            text = self.status()
            if text.startswith("dialogChoseColor = "):
                return int(text.split("=")[1].split()[0])
            time.sleep(0.2)
        self.fail(f"the status line shows no colour: {self.status()!r}")

    def finish(self, dialog, button_id):
        button = self.control(dialog, button_id)
        self.click_in(button, 5, 5)
        self.wait_until_closed()

    def test_the_chosen_colour_and_custom_colours_are_kept_and_cancel_gives_minus_one(self):
        self.start_lab()
        # First call: the first basic colour, added to the custom colours.
        dialog = self.open_colour_dialog()
        basic = self.control(dialog, 720)  # the basic colour grid
        self.click_in(basic, 6, 5)
        self.click_in(self.control(dialog, 719), 5, 5)  # "Define Custom Colors >>"
        time.sleep(0.5)
        self.click_in(self.control(dialog, 712), 5, 5)  # "Add to Custom Colors"
        self.finish(dialog, 1)
        first = self.chosen()
        self.assertNotIn(first, (0, -1))
        self.assertEqual(first & 0xFF000000, 0)

        # Cancel: -1.
        dialog = self.open_colour_dialog()
        self.finish(dialog, 2)
        self.assertEqual(self.chosen(), -1)

        # Next call: the first custom colour is the one added before.
        dialog = self.open_colour_dialog()
        self.click_in(self.control(dialog, 721), 6, 5)  # the custom colour grid
        self.finish(dialog, 1)
        self.assertEqual(self.chosen(), first)
