"""Start-up: which command lines reach which mode, and the single-instance guard."""
from vtest import SessionTestCase

# A copy that has nothing to do ends long before this; a copy that opened a
# window would never end by itself.
QUICK = 5
WINDOW_WAIT = 20


class CommandLineTest(SessionTestCase):
    def test_password_change_request_exits_at_once_without_a_window(self):
        program = self.start("/a")
        self.assertExits(program, within=QUICK)
        self.assertNoProgramWindow()

    def test_settings_switch_opens_the_dialog_and_close_ends_the_program(self):
        dialog = self.start("/c:1234")
        self.session.wait_for_window(self.SETTINGS_CAPTION, timeout=WINDOW_WAIT)
        top = self.session.window_tree(self.SETTINGS_CAPTION)[0]
        self.assertEqual(top["text"], "Vireltaの設定")
        self.assertTrue(top["visible"])
        self.assertEqual(self.session.find_windows(self.SAVER_CAPTION), [])
        self.assertStillRuns(dialog)
        self.assertTrue(self.session.close_window(self.SETTINGS_CAPTION))
        self.assertExits(dialog, within=10)
        self.assertTrue(self.session.wait_until_gone(self.SETTINGS_CAPTION))

    def test_window_named_after_the_settings_switch_does_not_own_the_dialog(self):
        host, host_window = self.session.start_host(152, 112)
        dialog = self.start(f"/c:{host_window}")
        self.session.wait_for_window(self.SETTINGS_CAPTION, timeout=WINDOW_WAIT)
        top = self.session.window_tree(self.SETTINGS_CAPTION)[0]
        self.assertNotEqual(top["owner"], host_window)
        self.assertEqual(top["parent"], 0)
        self.assertTrue(host.running, "closing or owning the named window is not the dialog's business")
        self.session.close_window(self.SETTINGS_CAPTION)
        self.assertExits(dialog, within=10)


class SingleInstanceTest(SessionTestCase):
    def assert_second_starts_exit_silently(self, first, caption):
        for second_switch in ("/s", "/p 1234"):
            with self.subTest(second=second_switch):
                second = self.start(second_switch)
                self.assertExits(second, within=QUICK)
                self.assertEqual(len(self.session.find_windows(caption)), 1, "a second window appeared")
                self.assertNoOtherProgramWindow(caption)
                self.assertStillRuns(first)

    def assertNoOtherProgramWindow(self, caption):
        other = self.SETTINGS_CAPTION if caption == self.SAVER_CAPTION else self.SAVER_CAPTION
        self.assertEqual(self.session.find_windows(other), [], f'a window "{other}" appeared')

    def test_second_start_exits_while_the_saver_runs(self):
        saver = self.start("/s")
        self.session.wait_for_window(self.SAVER_CAPTION, timeout=WINDOW_WAIT)
        self.assert_second_starts_exit_silently(saver, self.SAVER_CAPTION)
        self.press_key_in(self.SAVER_CAPTION)
        self.assertExits(saver, within=10)

    def test_second_start_exits_while_the_settings_dialog_is_open(self):
        dialog = self.start("/c")
        self.session.wait_for_window(self.SETTINGS_CAPTION, timeout=WINDOW_WAIT)
        self.assert_second_starts_exit_silently(dialog, self.SETTINGS_CAPTION)
        self.session.close_window(self.SETTINGS_CAPTION)
        self.assertExits(dialog, within=10)
