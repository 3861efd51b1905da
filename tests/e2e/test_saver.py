"""The saver under Wine: the screen it shows, the input that ends it, and the
preview inside a host window."""
import os
import subprocess
import sys
import time
import unittest

from vtest import Image, SessionTestCase

WINDOW_WAIT = 20
# Input ends the saver at once; the allowance covers a busy machine.
INPUT_END = 3


def tiles_ini(*tiles):
    """A settings file: `tiles` are (width, height) of the active tiles from
    tile 0 on, fixed sizes; the other tiles are off. The rest: defaults."""
    lines = ["[Section]"]
    for slot in range(4):
        active = slot < len(tiles)
        width, height = tiles[slot] if active else (256, 256)
        lines += [f"Action{slot}= {1 if active else 0}", f"Height{slot}= {height}",
                  f"Width{slot}= {width}", f"Random{slot}= 0"]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def changed_box(image, reference):
    """The bounding box (left, top, right, bottom) of the pixels that differ, or None."""
    points = list(image.differing_pixels(reference))
    if not points:
        return None
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


class SaverScreenTest(SessionTestCase):
    """A known picture on the X root window is the desktop the saver captures."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        width, height = cls.config.screen_size
        cls.picture = cls.session.dir / "desktop.png"
        subprocess.run(["convert", "-size", f"{width}x{height}", "xc:",
                        "-sparse-color", "Bilinear",
                        f"0,0 red {width - 1},0 yellow 0,{height - 1} blue {width - 1},{height - 1} green",
                        "(", "-size", f"{width}x{height}", "pattern:checkerboard", ")",
                        "-compose", "Multiply", "-composite", "-depth", "8", str(cls.picture)],
                       check=True, stdin=subprocess.DEVNULL, timeout=60)
        cls.show_on_root(cls.picture)
        cls.desktop = cls.session.screenshot()
        if cls.desktop != Image.load(cls.picture):
            raise AssertionError("the root window does not show the test picture")

    @classmethod
    def show_on_root(cls, picture):
        # ImageMagick's display sets the root window's picture and exits with
        # 1 all the same: the screenshot tells whether it worked.
        subprocess.run(["display", "-display", cls.session.display, "-window", "root", str(picture)],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)

    def tearDown(self):
        self.session.remove_program_file("Virelta.ini")
        super().tearDown()

    def start_saver(self, command="/s"):
        saver = self.start(command)
        self.session.wait_for_window(self.SAVER_CAPTION, timeout=WINDOW_WAIT)
        return saver

    def test_covers_the_screen_and_shows_the_desktop_unchanged(self):
        # With every tile off the screen must stay exactly the desktop.
        self.session.write_program_file("Virelta.ini", tiles_ini())
        saver = self.start_saver()
        top = self.session.window_tree(self.SAVER_CAPTION)[0]
        width, height = self.config.screen_size
        self.assertEqual(top["rect"], [0, 0, width, height])
        self.assertTrue(top["visible"])
        # The root window turns black behind the saver: what shows is the
        # saver's own picture of the desktop.
        subprocess.run(["xsetroot", "-display", self.session.display, "-solid", "black"],
                       check=True, stdin=subprocess.DEVNULL, timeout=30)
        try:
            time.sleep(0.5)
            for _ in range(3):
                self.assertEqual(changed_box(self.session.screenshot(), self.desktop), None)
                time.sleep(0.2)
            self.assertStillRuns(saver)
        finally:
            self.show_on_root(self.picture)

    def test_frames_differ_from_the_desktop_only_inside_a_tile(self):
        self.session.write_program_file("Virelta.ini", tiles_ini((200, 150)))
        saver = self.start_saver()
        seen_a_change = False
        for _ in range(6):
            time.sleep(0.15)
            box = self.changed_box_now()
            if box is None:
                continue
            seen_a_change = True
            left, top, right, bottom = box
            self.assertLessEqual(right - left, 200, box)
            self.assertLessEqual(bottom - top, 150, box)
        self.assertTrue(seen_a_change, "the tile never turned")
        self.assertStillRuns(saver)
        self.session.click(5, 5, button=1)
        self.assertExits(saver, within=INPUT_END)

    def changed_box_now(self):
        return changed_box(self.session.screenshot(), self.desktop)

    def test_a_key_ends_it(self):
        saver = self.start_saver()
        time.sleep(0.5)
        self.press_key_in(self.SAVER_CAPTION, "a")
        self.assertExits(saver, within=INPUT_END)
        self.assertTrue(self.session.wait_until_gone(self.SAVER_CAPTION))

    def test_a_click_ends_it_and_moving_the_pointer_does_not(self):
        saver = self.start_saver()
        width, height = self.config.screen_size
        for x, y in ((10, 10), (width // 2, height // 2), (width - 20, height - 20)):
            self.session.move_mouse(x, y)
            time.sleep(0.2)
        time.sleep(0.5)
        self.assertStillRuns(saver)
        self.session.click(width // 3, height // 3, button=3)
        self.assertExits(saver, within=INPUT_END)


class SaverCloseTest(SessionTestCase):
    """A session of its own: what taskkill leaves in Wine must not reach the screen tests."""

    def test_a_close_request_ends_it_like_a_key(self):
        # The system's own request, and taskkill's (to every window of the
        # program, its hidden owner too): at once, and never a message box.
        for close in (lambda: self.assertTrue(self.session.close_window(self.SAVER_CAPTION)),
                      lambda: self.assertExits(self.start(["/im", "Virelta.scr"], program="taskkill"), WINDOW_WAIT)):
            saver = self.start("/s")
            self.session.wait_for_window(self.SAVER_CAPTION, timeout=WINDOW_WAIT)
            time.sleep(0.5)
            close()
            self.assertExits(saver, within=1)


class PreviewTest(SessionTestCase):
    PREVIEW_CAPTION = "Preview Window"

    def preview_of(self, host_handle):
        children = [w for w in self.session.top_level_windows() if w["text"] == self.PREVIEW_CAPTION]
        self.assertEqual(children, [], "the preview must not be a top-level window")
        for window in self.session.window_tree("vtest-host"):
            if window["text"] == self.PREVIEW_CAPTION:
                return window
        return None

    def wait_for_preview(self, host_handle, timeout=WINDOW_WAIT):
        deadline = time.monotonic() + self.config.seconds(timeout)
        while time.monotonic() < deadline:
            found = self.preview_of(host_handle)
            if found:
                return found
            time.sleep(0.2)
        self.fail("the preview never became a child of the host")

    def test_becomes_a_child_of_the_host_at_its_size(self):
        for form in ("/p {}", "/p:{}"):
            with self.subTest(form=form):
                host, handle = self.session.start_host(152, 112)
                preview = self.start(form.format(handle))
                child = self.wait_for_preview(handle)
                self.assertEqual(child["parent"], handle)
                host_rect = self.session.window_tree("vtest-host")[0]["rect"]
                width, height = host_rect[2] - host_rect[0], host_rect[3] - host_rect[1]
                rect = child["rect"]
                self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (width, height))
                self.assertTrue(child["visible"])
                self.assertStillRuns(preview)
                host.kill()
                self.assertExits(preview, within=5)

    def test_ends_when_the_host_window_is_destroyed(self):
        host, handle = self.session.start_host(152, 112, destroy_after_ms=3000)
        preview = self.start(f"/p {handle}")
        self.wait_for_preview(handle)
        self.assertExits(preview, within=10)
        self.assertStillRuns(host)


def prefix_processes(prefix):
    """{pid: command line} of the processes that run in this Wine prefix."""
    found = {}
    for entry in os.listdir("/proc"):
        try:
            env = open(f"/proc/{entry}/environ", "rb").read().split(b"\0")
            if f"WINEPREFIX={prefix}".encode() in env:
                found[int(entry)] = open(f"/proc/{entry}/cmdline", "rb").read().split(b"\0")
        except (OSError, ValueError):
            pass
    return found


def cpu_and_wakeups(pids):
    """Processor seconds used and voluntary context switches (every thread) of the processes."""
    seconds = switches = 0
    for pid in pids:
        try:
            fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
            seconds += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
            for task in os.listdir(f"/proc/{pid}/task"):
                for line in open(f"/proc/{pid}/task/{task}/status"):
                    if line.startswith("voluntary_ctxt_switches"):
                        switches += int(line.split()[1])
        except OSError:
            pass
    return seconds, switches


@unittest.skipUnless(os.environ.get("VTEST_SAVER_CPU") == "1", "a measurement: set VTEST_SAVER_CPU=1")
class SaverProcessorUse(SessionTestCase):
    """The paced saver's share of one core over 10 s with the default settings,
    with the wineserver's (run with VTEST_SCREEN=1920x1080x24 for the
    documented figure). Processor seconds over wall seconds: a loaded machine
    changes it less than it changes a frame rate."""

    def test_measure(self):
        saver = self.start("/s")
        self.session.wait_for_window(self.SAVER_CAPTION, timeout=WINDOW_WAIT)
        time.sleep(2)
        # The program itself, not Wine's starter: a 64-bit .scr runs under start.exe.
        processes = prefix_processes(self.session.prefix)
        program = [pid for pid, args in processes.items() if args[0].lower().endswith(b"virelta.scr")]
        server = [pid for pid, args in processes.items() if b"wineserver" in args[0].rsplit(b"/", 1)[-1]]
        self.assertEqual((len(program), len(server)), (1, 1), processes)
        shares = {}
        for name, pids in (("saver", program), ("wineserver", server)):
            shares[name] = cpu_and_wakeups(pids)
        start = time.monotonic()
        time.sleep(10)
        wall = time.monotonic() - start
        report = []
        for name, pids in (("saver", program), ("wineserver", server)):
            cpu, switches = cpu_and_wakeups(pids)
            shares[name] = ((cpu - shares[name][0]) / wall, (switches - shares[name][1]) / wall)
            report.append(f"{name} {shares[name][0] * 100:.1f} %, {shares[name][1]:.0f} wake-ups/s")
        total = sum(share for share, _ in shares.values())
        print(f"\nprocessor use at {self.config.screen}: {total * 100:.1f} % of one core ({'; '.join(report)})",
              file=sys.stderr)
        self.assertStillRuns(saver)
        self.press_key_in(self.SAVER_CAPTION)
        self.assertExits(saver, within=INPUT_END)
