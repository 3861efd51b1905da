"""One test session: a private copy of the template prefix with the saver in its
program folder, the programs started there, and what the helper and X show."""
import contextlib
import json
import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path

from prefix import clone_prefix, run_logged, wine_environment

from .image import Image


class WindowNotFound(AssertionError): pass


def prefix_processes(prefix):
    """{pid: (argv, start tick)} of the processes running in the Wine prefix."""
    found = {}
    for entry in os.listdir("/proc"):
        try:
            if f"WINEPREFIX={prefix}".encode() in Path(f"/proc/{entry}/environ").read_bytes().split(b"\0"):
                argv = [a.decode("utf-8", "replace") for a in Path(f"/proc/{entry}/cmdline").read_bytes().split(b"\0")]
                found[int(entry)] = argv, int(Path(f"/proc/{entry}/stat").read_text().rsplit(")", 1)[1].split()[19])
        except (OSError, ValueError, IndexError):
            pass
    return found


class Program:
    """`wine <program> <arguments>`, output in a file (Wine's background processes would
    hold a pipe open).  A 64-bit .scr started through the 32-bit loader runs as a process
    of its own under start.exe: `pid` is that process, the launcher gives the exit code."""

    def __init__(self, args, env, log_path, name):
        self.name, self.log_path, self.prefix, self._pid = name, Path(log_path), env["WINEPREFIX"], None
        self.file_name = re.split(r"[\\/]", args[1])[-1].lower()
        with open(log_path, "wb") as log:
            self.process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.wait = self.process.wait

    def own_pid(self, timeout=30):
        """The launcher once it names the file, else the earliest later process of the prefix that does."""
        deadline = time.monotonic() + timeout
        while self._pid is None and self.running and time.monotonic() < deadline:
            processes = prefix_processes(self.prefix)
            launcher = processes.get(self.process.pid, ([], 0))
            named = sorted((pid != self.process.pid, tick, pid) for pid, (argv, tick) in processes.items()
                           if tick >= launcher[1] and re.split(r"[\\/]", argv[0])[-1].lower() == self.file_name)
            self._pid = named[0][2] if named else time.sleep(0.02)
        return self._pid

    pid = property(own_pid)
    running = property(lambda self: self.process.poll() is None)
    output = property(lambda self: self.log_path.read_bytes().decode("utf-8", "replace"))

    def kill(self):
        if self.running:
            for pid in {self.own_pid(timeout=2), self.process.pid} - {None}:
                with contextlib.suppress(ProcessLookupError):
                    os.kill(pid, signal.SIGKILL)
            self.process.wait()

    def __repr__(self):
        return f"<Program {self.name} {'running' if self.running else f'exit {self.process.returncode}'}>"


class WineSession:
    def __init__(self, config, display, template, name):
        self.config, self.display, self.name = config, display, name
        self.dir = Path(config.run_dir) / "sessions" / re.sub(r"[^\w.-]+", "_", name)
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        self.prefix, self.log = self.dir / "prefix", self.dir / "wine.log"
        self.programs, self._serial = [], 0
        clone_prefix(template, self.prefix)
        self.env = wine_environment(self.prefix, display)
        # The first Wine process starts background programs that inherit its
        # output: start them here, on a file, under a server kept up meanwhile.
        run_logged(["wineserver", "-p"], self.env, self.log, 60)
        run_logged(["wine", "wineboot"], self.env, self.log, config.seconds(120))
        self.program_folder = self.prefix / "drive_c" / config.program_folder[3:]
        self.program_folder.mkdir(parents=True, exist_ok=True)
        shutil.copy2(config.saver, self.program_folder / "Virelta.scr")
        self.saver_path = config.program_folder + "\\Virelta.scr"

    def close(self):
        for program in self.programs:
            program.kill()
        run_logged(["sh", "-c", "wineserver -k; timeout 30 wineserver -w"], self.env, self.log, 60)  # this prefix only
        if not self.config.keep_prefixes:
            shutil.rmtree(self.prefix, ignore_errors=True)

    def path(self, stem, suffix):
        self._serial += 1
        return self.dir / ("%03d-%s%s" % (self._serial, re.sub(r"[^\w.-]+", "_", stem), suffix))

    def start(self, command_line="", program=None, name=None):
        """Starts the saver (or `program`); a string command line is split at blanks."""
        args = command_line.split() if isinstance(command_line, str) else list(command_line)
        executable = str(program or self.saver_path)
        label = " ".join([re.split(r"[\\/]", executable)[-1], *args])
        self.programs.append(Program(["wine", executable, *args], self.env, self.path(name or label, ".log"), label))
        return self.programs[-1]

    def helper(self, *args, timeout=30):
        out = self.path("helper-" + str(args[0]), ".out")
        code = run_logged(["wine", str(self.config.helper), *map(str, args)], self.env, out,
                          self.config.seconds(timeout))
        return code, out.read_text(encoding="utf-8", errors="replace")

    # Windows, seen by the helper: an exact caption, or "#handle".
    def find_windows(self, caption, wait=0):
        output = self.helper("find", caption, "--wait", int(self.config.seconds(wait) * 1000), timeout=wait + 30)[1]
        return [int(line) for line in output.split() if line.isdigit()]

    def wait_for_window(self, caption, timeout=20):
        found = self.find_windows(caption, wait=timeout)
        if not found:
            self.save_diagnostics("missing-window")
            raise WindowNotFound(f'no window "{caption}" within {timeout} s; running: {self.programs}')
        return found[0]

    def wait_until_gone(self, caption, timeout=10):
        return self.helper("gone", caption, "--wait", int(self.config.seconds(timeout) * 1000),
                           timeout=timeout + 30)[0] == 0

    def window_tree(self, caption):
        """The window and its descendants: dicts (hwnd, parent, owner, class, text, id, rect, client_origin, ...)."""
        code, output = self.helper("tree", caption)
        if code != 0:
            raise WindowNotFound(f'no window "{caption}": {output.strip()}')
        return [json.loads(line) for line in output.splitlines() if line.strip()]

    def top_level_windows(self):
        return [json.loads(line) for line in self.helper("list")[1].splitlines() if line.strip()]

    def close_window(self, caption):  # WM_CLOSE, as the system menu's Close
        return self.helper("close", caption)[0] == 0

    def start_host(self, width, height, destroy_after_ms=None):
        """A stand-in preview box "vtest-host": (its program, its window handle)."""
        extra = ["--destroy-after", str(destroy_after_ms)] if destroy_after_ms is not None else []
        host = self.start(["host", *extra, str(width), str(height)], program=self.config.helper, name="host")
        deadline = time.monotonic() + self.config.seconds(20)
        while host.running and time.monotonic() < deadline:
            first = host.output.split("\n", 1)
            if len(first) == 2 and first[0].strip().isdigit():
                return host, int(first[0])
            time.sleep(0.05)
        raise WindowNotFound(f"the host window did not come up: {host!r} {host.output!r}")

    def set_dpi(self, dpi):
        """The screen resolution programs started from now on are told (96: Windows' default)."""
        run_logged(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                    "/d", str(dpi), "/f"], self.env, self.log, self.config.seconds(60))

    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, check=check, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30).stdout.decode()

    def screenshot(self):
        ppm = self.path("screen", ".ppm")
        subprocess.run(["import", "-display", self.display, "-window", "root", f"ppm:{ppm}"], env=self.env,
                       check=True, stdin=subprocess.DEVNULL, timeout=60)
        image = Image.load(ppm)
        ppm.unlink()
        return image

    def wait_for_screen(self, condition, timeout=10, what="the expected picture"):
        deadline = time.monotonic() + self.config.seconds(timeout)
        while not condition(image := self.screenshot()):
            if time.monotonic() > deadline:
                self.save_diagnostics("screen-timeout")
                raise AssertionError(f"the screen did not show {what} within {timeout} s")
            time.sleep(0.2)
        return image

    def paint_desktop(self, image):
        """Makes `image` the root window's picture (the run's, so a test that needs it paints it)."""
        png = self.path("desktop", ".png")
        image.save(png)
        # `display` sets the root picture and exits with 1 all the same: read the screen back.
        subprocess.run(["display", "-display", self.display, "-window", "root", str(png)], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if self.screenshot().crop(0, 0, image.width, image.height) != image:
            raise RuntimeError("the desktop picture did not reach the screen")

    def focus(self, caption, timeout=10):
        """Gives the window the focus, once Wine has mapped its X window (no window manager does)."""
        pattern = "^" + re.sub(r"([\\.^$|?*+()\[\]{}])", r"\\\1", caption) + "$"
        deadline = time.monotonic() + self.config.seconds(timeout)
        while not (found := self.xdotool("search", "--onlyvisible", "--name", pattern, check=False).split()):
            if time.monotonic() > deadline:
                raise WindowNotFound(f'no visible X window "{caption}"')
            time.sleep(0.1)
        self.xdotool("windowfocus", "--sync", found[0])

    def move_mouse(self, x, y, *then):
        self.xdotool("mousemove", "--sync", x, y, *then)

    def click(self, x, y, button=1):
        self.move_mouse(x, y, "click", button)

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def read_program_file(self, name):  # None when it does not exist
        return (self.program_folder / name).read_bytes() if (self.program_folder / name).exists() else None

    def write_program_file(self, name, data):
        (self.program_folder / name).write_bytes(data)

    def remove_program_file(self, name):
        (self.program_folder / name).unlink(missing_ok=True)

    def save_diagnostics(self, label):
        try:
            self.screenshot().save(self.path(label, ".png"))
            self.path(label + "-windows", ".jsonl").write_text(self.helper("list", timeout=10)[1], encoding="utf-8")
        except Exception as error:  # must not hide the real failure
            self.path(label + "-error", ".txt").write_text(repr(error))
