#!/usr/bin/env python3
"""Runs the end-to-end tests of Virelta.scr under Wine and Xvfb.

    python3 tests/e2e/run.py                      every test_*.py here against the 32-bit
                                                  saver, then the core tests against the 64-bit
    python3 tests/e2e/run.py test_startup         one module (or module.Class.test), 32-bit
    python3 tests/e2e/run.py -k guard             tests whose name contains "guard", 32-bit
    python3 tests/e2e/run.py --x64 [TEST...]      the named tests (default: the core) against
                                                  the 64-bit saver only
    python3 tests/e2e/run.py --all-x64            every test against the 64-bit saver only (for
                                                  machines that cannot run 32-bit programs)

Settings come from the environment (see vtest/config.py): VTEST_BUILD_DIR,
VIRELTA_SCR, VTEST_HELPER, VIRELTA_SCR64, VTEST_HELPER64, VTEST_RUN_DIR,
VTEST_TEMPLATE, VTEST_SCREEN, VTEST_TIME_SCALE, VTEST_KEEP_PREFIXES.  The
last line reads "e2e: N passed, N failed, N skipped", both builds together.
"""
import argparse
import signal
import sys
import time
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from vtest import environment as environment_module  # noqa: E402

# What the 64-bit saver is checked for besides the 32-bit one, which runs
# every test: /s covers the screen and a key ends it with 0, /c's Set writes
# every key, /p takes the host's size and ends with it; the opt-in
# processor measurement, which must find the program's own process.
CORE_TESTS = [
    "test_saver.SaverScreenTest.test_covers_the_screen_and_shows_the_desktop_unchanged",
    "test_saver.SaverScreenTest.test_a_key_ends_it",
    "test_settings_dialog.SettingsDialogTest.test_marks_labels_spin_arrow_and_set_write_the_file",
    "test_saver.PreviewTest.test_becomes_a_child_of_the_host_at_its_size",
    "test_saver.SaverProcessorUse.test_measure",
]


def count(result):
    failed_ids = set()
    for test, _trace in result.failures + result.errors:
        failed_ids.add(getattr(test, "test_case", test).id())
    failed = len(failed_ids) + len(result.unexpectedSuccesses)
    skipped = len(result.skipped)
    # Class or module set-up errors stand for tests that never ran.
    ran_and_failed = len([i for i in failed_ids if not i.startswith(("setUpClass", "setUpModule",
                                                                     "tearDownClass", "tearDownModule"))])
    passed = max(result.testsRun - ran_and_failed - skipped - len(result.unexpectedSuccesses), 0)
    return passed, failed, skipped


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tests", nargs="*", help="test modules, classes or methods")
    parser.add_argument("-k", dest="patterns", action="append", default=[],
                        help="only tests whose name contains this text")
    parser.add_argument("-q", "--quiet", action="store_true")
    parser.add_argument("--x64", action="store_true", help="run against the 64-bit saver only")
    parser.add_argument("--all-x64", action="store_true", help="every test against the 64-bit saver only")
    options = parser.parse_args()
    if options.all_x64:
        options.x64 = True

    loader = unittest.TestLoader()
    if options.patterns:
        loader.testNamePatterns = [f"*{pattern}*" for pattern in options.patterns]
    passes = []  # (which build, its suite)
    if not options.x64:
        passes.append(("32-bit", loader.loadTestsFromNames(options.tests) if options.tests
                       else loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))))
    if options.x64 or not (options.tests or options.patterns):
        if options.all_x64 and not options.tests:
            everything = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))
        else:
            everything = loader.loadTestsFromNames(options.tests if options.x64 and options.tests else CORE_TESTS)
        passes.append(("64-bit", everything))

    # A time-out's SIGTERM still ends Xvfb and the Wine prefixes (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    totals = [0, 0, 0]
    try:
        environment = environment_module.shared_environment()
        print(f"e2e: Xvfb on {environment.display}, set up in {time.monotonic() - started:.0f} s", flush=True)
        runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=1 if options.quiet else 2)
        for build, suite in passes:
            if build == "64-bit":
                environment.config.use_64_bit_build()
            print(f"---- the {build} Virelta.scr: {environment.config.saver}", flush=True)
            counts = count(runner.run(suite))
            print(f"e2e {build}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped", flush=True)
            totals = [total + part for total, part in zip(totals, counts)]
    finally:
        environment_module.stop_shared_environment()
    passed, failed, skipped = totals
    print(f"e2e: {passed} passed, {failed} failed, {skipped} skipped", flush=True)
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
