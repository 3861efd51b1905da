"""End-to-end harness: the real Virelta.scr under Wine in an Xvfb of the run's own.  A run makes a template
Wine prefix (prefix.py) unless VTEST_TEMPLATE names one; each test class gets a copy with the saver in
C:\\Virelta (vtest/session.py), and a failing test leaves a screenshot and the window list in its folder under
build/e2e/sessions/.  Settings: VTEST_BUILD_DIR, VIRELTA_SCR, VTEST_HELPER, VIRELTA_SCR64, VTEST_HELPER64,
VTEST_RUN_DIR, VTEST_SCREEN, VTEST_TIME_SCALE (multiplies time-outs), VTEST_KEEP_PREFIXES=1."""
import atexit
import os
import select
import shutil
import subprocess
import time
import unittest
from pathlib import Path

from prefix import make_template

from .image import Image
from .session import WineSession, WindowNotFound

ROOT = Path(__file__).resolve().parents[3]
SAVER_CAPTION, SETTINGS_CAPTION, HELPER = "Virelta_Main", "Vireltaの設定", "vtest-helper.exe"


def _built(build_dir, variable, name):
    # The newest one: a build folder may still hold a program from an older layout.
    found = [os.environ[variable]] if os.environ.get(variable) else sorted(
        Path(build_dir).glob("**/" + name), key=lambda path: path.stat().st_mtime, reverse=True)
    return Path(found[0] if found else Path(build_dir, name))


class Config:
    def __init__(self):
        build = Path(os.environ.get("VTEST_BUILD_DIR", ROOT / "build" / "win32"))
        build64 = ROOT / "build" / "win64"
        self.saver, self.helper = _built(build, "VIRELTA_SCR", "Virelta.scr"), _built(build, "VTEST_HELPER", HELPER)
        self.saver64 = _built(build64, "VIRELTA_SCR64", "Virelta.scr")
        self.helper64 = _built(build64, "VTEST_HELPER64", HELPER)
        self.label, self.program_folder = "", r"C:\Virelta"
        self.run_dir = Path(os.environ.get("VTEST_RUN_DIR", ROOT / "build" / "e2e"))
        self.template = Path(os.environ["VTEST_TEMPLATE"]) if os.environ.get("VTEST_TEMPLATE") else None
        self.screen = os.environ.get("VTEST_SCREEN", "1024x768x24")
        self.screen_size = tuple(int(v) for v in self.screen.split("x")[:2])
        self.time_scale = float(os.environ.get("VTEST_TIME_SCALE", "1"))
        self.keep_prefixes = os.environ.get("VTEST_KEEP_PREFIXES") == "1"

    def use_64_bit_build(self):
        self.saver, self.helper, self.label = self.saver64, self.helper64, "x64-"

    def seconds(self, value):
        return value * self.time_scale


class Environment:
    """The run's Xvfb (-displayfd picks a free display; -noreset keeps the root picture) and template."""

    def __init__(self):
        self.config = Config()
        self.sessions, self.xvfb, self.own_template = [], None, False
        run_dir = self.config.run_dir
        if run_dir.exists():
            keep = self.config.template.resolve() if self.config.template else None
            for entry in run_dir.iterdir():
                if entry.resolve() != keep:
                    shutil.rmtree(entry) if entry.is_dir() and not entry.is_symlink() else entry.unlink()
        run_dir.mkdir(parents=True, exist_ok=True)
        read_end, write_end = os.pipe()
        with open(run_dir / "xvfb.log", "ab") as log:
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.config.screen,
                                          "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        try:
            number = b""  # in more than one write: Xvfb ends if the reader goes before the newline
            while not number.endswith(b"\n"):
                if not select.select([read_end], [], [], 20)[0] or not (chunk := os.read(read_end, 64)):
                    raise RuntimeError("Xvfb did not start within 20 s")
                number += chunk
            self.display = ":" + number.decode().strip()
            self.template = self.config.template
            if self.template is None:
                self.template = make_template(run_dir / "template", run_dir / "template.log")
                self.own_template = True
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)

    def new_session(self, name):
        name = self.config.label + name
        if any(s.name == name for s in self.sessions):
            name += "-%d" % len(self.sessions)
        self.sessions.append(WineSession(self.config, self.display, self.template, name))
        return self.sessions[-1]

    def stop(self):
        for session in self.sessions:
            try:
                session.close()
            except Exception:
                pass
        self.sessions = []
        if self.own_template:
            shutil.rmtree(self.template, ignore_errors=True)
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            self.xvfb.wait(10)


_shared = None


def environment(stop=False):
    """The run's environment, started on first use; environment(stop=True) ends it."""
    global _shared
    if stop:
        if _shared:
            _shared.stop()
        _shared = None
    elif _shared is None:
        _shared = Environment()
        atexit.register(environment, True)
    return _shared


class SessionTestCase(unittest.TestCase):
    """Each class shares a session (or one a test); the programs a test started end
    after it, and the session is replaced if a program window survived."""

    SAVER_CAPTION, SETTINGS_CAPTION = SAVER_CAPTION, SETTINGS_CAPTION
    session_per_test = False

    @classmethod
    def setUpClass(cls):
        cls.environment = environment()
        cls.config = cls.environment.config
        cls.session = None if cls.session_per_test else cls.environment.new_session(cls.__name__)

    @classmethod
    def tearDownClass(cls):
        cls.session and cls.session.close()

    def setUp(self):
        if self.session_per_test:
            self.session = self.environment.new_session(f"{type(self).__name__}.{self._testMethodName}")
        self._programs_before = len(self.session.programs)

    def tearDown(self):
        session = self.session
        result = getattr(self._outcome, "result", None)
        if result and any(getattr(t, "test_case", t) is self for t, _ in result.failures + result.errors):
            session.save_diagnostics(f"failed-{self._testMethodName}")
        for program in session.programs[self._programs_before:]:
            program.kill()
        if self.session_per_test:
            session.close()
        elif any(session.find_windows(c) for c in (SAVER_CAPTION, SETTINGS_CAPTION)):
            session.close()
            type(self).session = self.environment.new_session(type(self).__name__)

    def start(self, command_line="", **options):
        return self.session.start(command_line, **options)

    def assertExits(self, program, within, code=0):
        try:
            actual = program.wait(self.config.seconds(within))
        except subprocess.TimeoutExpired:
            self.fail(f"{program!r} still runs after {within} s")
        self.assertEqual(actual, code, f"exit code of {program!r}; output: {program.output!r}")

    def assertStillRuns(self, program):
        self.assertTrue(program.running, f"{program!r} ended; output: {program.output!r}")

    def wait_until(self, condition, what, timeout=10, pause=0.2):
        """Polls condition() until it gives a true value, which it returns."""
        deadline = time.monotonic() + self.config.seconds(timeout)
        while not (value := condition()):
            if time.monotonic() > deadline:
                self.fail(f"{what}: not within {timeout} s")
            time.sleep(pause)
        return value
