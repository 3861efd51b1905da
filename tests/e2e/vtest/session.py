"""One test session: a private copy of the template prefix, the saver in its
program folder, and the tools to start programs and look at their windows."""
import json
import re
import shutil
import subprocess
import time
from pathlib import Path

from .image import Image
from .program import Program
from .wineprefix import clone_prefix, stop_server, unix_path, wine_environment, windows_path


class WindowNotFound(AssertionError):
    pass


class HelperResult:
    def __init__(self, code: int, output: str):
        self.code = code
        self.output = output

    @property
    def lines(self):
        return [line for line in self.output.splitlines() if line.strip()]

    def __repr__(self):
        return f"<HelperResult {self.code} {self.output!r}>"


# Characters that mean something in xdotool's (POSIX extended) patterns.
_ERE_SPECIAL = re.compile(r"([\\.^$|?*+()\[\]{}])")


class WineSession:
    def __init__(self, config, display: str, template: Path, name: str):
        self.config = config
        self.display = display
        self.name = name
        self.dir = Path(config.run_dir) / "sessions" / name
        if self.dir.exists():
            shutil.rmtree(self.dir)
        self.dir.mkdir(parents=True)
        self.prefix = self.dir / "prefix"
        self.log = self.dir / "wine.log"
        self.programs = []
        self._serial = 0
        clone_prefix(template, self.prefix)
        self.env = wine_environment(self.prefix, display)
        self._warm_up()
        self.program_folder = unix_path(config.program_folder, self.prefix)
        self.program_folder.mkdir(parents=True, exist_ok=True)
        if not Path(config.saver).exists():
            raise FileNotFoundError(f"the saver is not built: {config.saver}")
        shutil.copy2(config.saver, self.program_folder / "Virelta.scr")
        self.saver_path = config.program_folder + "\\Virelta.scr"

    # --- life cycle -----------------------------------------------------------

    def _warm_up(self):
        # The pipe trap: the first Wine process of a prefix starts background
        # programs that inherit its stdout and stderr.  Start them here, with
        # everything on files, under a server that stays up for the session.
        with open(self.log, "ab") as log:
            subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=log, stderr=subprocess.STDOUT, check=True, timeout=60)
            subprocess.run(["wine", "wineboot"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=log, stderr=subprocess.STDOUT, timeout=self.config.seconds(120))

    def end_programs(self):
        """Ends the programs this session started that still run (by PID)."""
        for program in self.programs:
            program.kill()

    def close(self):
        self.end_programs()
        stop_server(self.env, self.log)
        if not self.config.keep_prefixes and self.prefix.exists():
            shutil.rmtree(self.prefix, ignore_errors=True)

    def _next_path(self, stem: str, suffix: str) -> Path:
        self._serial += 1
        return self.dir / f"{self._serial:03d}-{stem}{suffix}"

    # --- programs -----------------------------------------------------------

    def start(self, command_line="", program: str = None, name: str = None) -> Program:
        """Starts the saver (or `program`, a Windows or Unix path) with the command line.

        A string is split at blanks, as the command line a Windows program
        receives is the arguments joined by blanks; a list is passed as is.
        """
        args = command_line.split() if isinstance(command_line, str) else list(command_line)
        executable = str(program or self.saver_path)
        file_name = re.split(r"[\\/]", executable)[-1]
        label = re.sub(r"[^\w.-]+", "_", name or file_name.rsplit(".", 1)[0] + "".join(args))
        process = Program(["wine", executable, *args], self.env, self._next_path(label, ".log"),
                          name=" ".join([file_name, *args]))
        self.programs.append(process)
        return process

    def run_helper(self, *args, timeout: float = 30) -> HelperResult:
        output = self._next_path("helper-" + (args[0] if args else ""), ".out")
        with open(output, "wb") as out:
            code = subprocess.run(["wine", str(self.config.helper), *map(str, args)], env=self.env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=self.config.seconds(timeout)).returncode
        return HelperResult(code, output.read_text(encoding="utf-8", errors="replace"))

    # --- windows, seen from inside Wine ---------------------------------------

    def find_windows(self, caption: str, wait: float = 0):
        """Handles of the top-level windows titled exactly `caption` (waits up to `wait` s for one)."""
        result = self.run_helper("find", caption, "--wait", int(self.config.seconds(wait) * 1000),
                                 timeout=wait + 30)
        return [int(line) for line in result.lines if line.strip().isdigit()]

    def wait_for_window(self, caption: str, timeout: float = 20) -> int:
        found = self.find_windows(caption, wait=timeout)
        if not found:
            self.save_diagnostics(f"missing-{caption}")
            raise WindowNotFound(f'no window "{caption}" within {timeout} s; running: {self.programs}')
        return found[0]

    def wait_until_gone(self, caption: str, timeout: float = 10) -> bool:
        wait_ms = int(self.config.seconds(timeout) * 1000)
        return self.run_helper("gone", caption, "--wait", wait_ms, timeout=timeout + 30).code == 0

    def window_tree(self, caption: str):
        """The window and its descendants, parents before children: dicts with hwnd, parent,
        depth, class, text, id, style, exstyle, rect, client_origin, client_size, visible, enabled."""
        result = self.run_helper("tree", caption)
        if result.code != 0:
            raise WindowNotFound(f'no window "{caption}": {result.output.strip()}')
        return [json.loads(line) for line in result.lines]

    def top_level_windows(self):
        """Every top-level window of the session's desktop, as window_tree's dicts."""
        return [json.loads(line) for line in self.run_helper("list").lines]

    def close_window(self, caption: str) -> bool:
        """Posts WM_CLOSE to the window, as the system menu's Close does."""
        return self.run_helper("close", caption).code == 0

    def capture_window(self, caption: str) -> Image:
        """The screen pixels inside the window's client area."""
        bmp = self._next_path("capture", ".bmp")
        result = self.run_helper("capture", caption, windows_path(bmp, self.prefix))
        if result.code != 0:
            raise WindowNotFound(f'cannot capture "{caption}": {result.output.strip()}')
        return Image.load(bmp)

    def cursor(self):
        x, y = self.run_helper("cursor").output.split()
        return int(x), int(y)

    def start_host(self, width: int, height: int, destroy_after_ms: int = None, at=None):
        """Starts a preview host window "vtest-host" and returns (program, its window handle)."""
        args = []
        if destroy_after_ms is not None:
            args += ["--destroy-after", str(destroy_after_ms)]
        if at is not None:
            args += ["--at", str(at[0]), str(at[1])]
        host = self.start(["host", *args, str(width), str(height)], program=str(self.config.helper),
                          name="host")
        deadline = time.monotonic() + self.config.seconds(20)
        while time.monotonic() < deadline:
            first = host.output.split("\n", 1)
            if len(first) == 2 and first[0].strip().isdigit():
                return host, int(first[0])
            if not host.running:
                break
            time.sleep(0.05)
        raise WindowNotFound(f"the host window did not come up: {host!r} {host.output!r}")

    # --- the screen, seen from X ----------------------------------------------

    def _x(self, *args, check=True) -> str:
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=check,
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=30).stdout.decode()

    def screenshot(self, save_as: str = None) -> Image:
        """The whole X screen; `save_as` also keeps it as a PNG in the session folder."""
        ppm = self._next_path("screen", ".ppm")
        subprocess.run(["import", "-display", self.display, "-window", "root", f"ppm:{ppm}"],
                       env=self.env, check=True, stdin=subprocess.DEVNULL, timeout=60)
        image = Image.load(ppm)
        ppm.unlink()
        if save_as:
            image.save(self.dir / f"{save_as}.png")
        return image

    def wait_for_screen(self, condition, timeout: float = 10, what: str = "the expected picture") -> Image:
        """Takes screenshots until condition(image) holds; windows paint a moment after they appear."""
        deadline = time.monotonic() + self.config.seconds(timeout)
        while True:
            image = self.screenshot()
            if condition(image):
                return image
            if time.monotonic() > deadline:
                self.save_diagnostics("screen-timeout")
                raise AssertionError(f"the screen did not show {what} within {timeout} s")
            time.sleep(0.2)

    def paint_desktop(self, image: Image):
        """Makes `image` the X root window's picture: the desktop the saver copies.

        The root window belongs to the whole run (Xvfb -noreset keeps it):
        a test that depends on the desktop paints it itself.
        """
        png = self._next_path("desktop", ".png")
        image.save(png)
        # `display -window root` sets the root background and leaves; its exit
        # status is not reliable, so the screen is read back instead.
        subprocess.run(["display", "-display", self.display, "-window", "root", str(png)], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        shown = self.screenshot()
        if shown.crop(0, 0, image.width, image.height) != image:
            raise RuntimeError("the desktop picture did not reach the screen")

    def x_windows(self, caption: str):
        """X window ids of the visible windows titled exactly `caption`."""
        pattern = "^" + _ERE_SPECIAL.sub(r"\\\1", caption) + "$"
        output = self._x("search", "--onlyvisible", "--name", pattern, check=False)
        return [int(line) for line in output.split()]

    def focus(self, caption: str, timeout: float = 10):
        """Gives the window the keyboard focus (there is no window manager to do it).

        Wine maps the X window a moment after the Windows window exists (seconds on a
        loaded machine): wait for it."""
        deadline = time.monotonic() + self.config.seconds(timeout)
        while not (windows := self.x_windows(caption)) and time.monotonic() < deadline:
            time.sleep(0.1)
        if not windows:
            raise WindowNotFound(f'no visible X window "{caption}"')
        self._x("windowfocus", "--sync", windows[0])

    def move_mouse(self, x: int, y: int):
        self._x("mousemove", "--sync", x, y)

    def click(self, x: int, y: int, button: int = 1):
        """Moves the pointer to the screen point and clicks (1 left, 2 middle, 3 right)."""
        self._x("mousemove", "--sync", x, y, "click", button)

    def key(self, *keys: str):
        """Presses keys by X name ("Escape", "space", "ctrl+a") in the focused window."""
        self._x("key", "--clearmodifiers", *keys)

    def type_text(self, text: str):
        self._x("type", "--clearmodifiers", text)

    # --- the program folder ---------------------------------------------------

    def program_file(self, name: str) -> Path:
        return self.program_folder / name

    def read_program_file(self, name: str):
        """The file's bytes, or None when it does not exist."""
        path = self.program_file(name)
        return path.read_bytes() if path.exists() else None

    def write_program_file(self, name: str, data: bytes):
        self.program_file(name).write_bytes(data)

    def remove_program_file(self, name: str):
        self.program_file(name).unlink(missing_ok=True)

    # --- after a failure --------------------------------------------------------

    def save_diagnostics(self, label: str):
        """Keeps a screenshot and the list of windows in the session folder."""
        safe = re.sub(r"[^\w.-]+", "_", label)
        try:
            self.screenshot(save_as=safe)
            listing = self.run_helper("list", timeout=10).output
            (self.dir / f"{safe}-windows.jsonl").write_text(listing, encoding="utf-8")
        except Exception as error:  # diagnostics must not hide the real failure
            (self.dir / f"{safe}-error.txt").write_text(repr(error))
