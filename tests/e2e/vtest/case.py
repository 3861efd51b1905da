"""The base class of the end-to-end tests."""
import subprocess
import unittest

from .config import PROGRAM_CAPTIONS, SAVER_CAPTION, SETTINGS_CAPTION
from .environment import shared_environment


class SessionTestCase(unittest.TestCase):
    """Gives each test class its own Wine session (`self.session`).

    After every test the programs it started are ended; if one of the
    program's windows outlives that, the session is replaced, so one broken
    test cannot trip the single-instance guard of the next.  Set
    `session_per_test = True` for a fresh prefix per test (about 2 s more).
    When a test fails, a screenshot and the window list are kept in the
    session's folder under build/e2e/sessions/.
    """

    session_per_test = False
    SAVER_CAPTION = SAVER_CAPTION
    SETTINGS_CAPTION = SETTINGS_CAPTION

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.environment = shared_environment()
        cls.config = cls.environment.config
        cls.session = None
        if not cls.session_per_test:
            cls.session = cls.environment.new_session(cls.__name__)

    @classmethod
    def tearDownClass(cls):
        if cls.session is not None:
            cls.session.close()
            cls.session = None
        super().tearDownClass()

    def setUp(self):
        super().setUp()
        if self.session_per_test:
            self.session = self.environment.new_session(f"{type(self).__name__}.{self._testMethodName}")
        self._programs_before = len(self.session.programs)

    def tearDown(self):
        session = self.session
        if self._has_failed():
            session.save_diagnostics(f"failed-{self._testMethodName}")
        for program in session.programs[self._programs_before:]:
            program.kill()
        if self.session_per_test:
            session.close()
            self.session = None
        elif any(session.find_windows(caption) for caption in PROGRAM_CAPTIONS):
            session.close()
            type(self).session = self.environment.new_session(type(self).__name__)
        super().tearDown()

    def _has_failed(self) -> bool:
        # unittest records a failure in the result as soon as it happens, but
        # shows no "failed" flag to tearDown.
        result = getattr(self._outcome, "result", None)
        for test, _trace in (result.failures + result.errors) if result else []:
            if test is self or getattr(test, "test_case", None) is self:
                return True
        return False

    # --- conveniences -----------------------------------------------------------

    def start(self, command_line="", **options):
        return self.session.start(command_line, **options)

    def assertExits(self, program, within: float, code: int = 0):
        """Waits up to `within` seconds for the program to end with `code`."""
        try:
            actual = program.wait(self.config.seconds(within))
        except subprocess.TimeoutExpired:
            self.fail(f"{program!r} still runs after {within} s")
        self.assertEqual(actual, code, f"exit code of {program!r}; output: {program.output!r}")

    def assertStillRuns(self, program):
        self.assertTrue(program.running, f"{program!r} ended; output: {program.output!r}")

    def assertNoProgramWindow(self):
        for caption in PROGRAM_CAPTIONS:
            self.assertEqual(self.session.find_windows(caption), [], f'a window "{caption}" exists')

    def press_key_in(self, caption: str, key: str = "space"):
        """Focuses the window and presses a key in it."""
        self.session.focus(caption)
        self.session.key(key)
