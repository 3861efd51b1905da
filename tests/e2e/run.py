#!/usr/bin/env python3
"""Runs the end-to-end tests of Virelta.scr under Wine and Xvfb.

    run.py                  every test_*.py against the 32-bit saver, then the core against the 64-bit
    run.py test_saver       one module (or module.Class.test), 32-bit;  -k TEXT: names containing TEXT
    run.py --x64 [TEST...]  the named tests (default: the core) against the 64-bit saver only
    run.py --all-x64        every test against the 64-bit saver only (machines without 32-bit support)
Settings: see vtest/__init__.py.  The last line: "e2e: N passed, N failed, N skipped", both builds together.
"""
import argparse
import signal
import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import vtest  # noqa: E402

# What the 64-bit saver is checked for beside the 32-bit one's full run.
CORE_TESTS = [
    "test_saver.SaverScreenTest.test_covers_the_screen_and_shows_the_desktop_unchanged",
    "test_saver.SaverScreenTest.test_a_key_or_click_ends_it_and_moving_the_pointer_does_not",
    "test_settings_dialog.SettingsDialogTest.test_marks_labels_spin_arrow_and_set_write_the_file",
    "test_saver.PreviewTest.test_becomes_a_child_of_the_host_at_its_size_and_ends_with_it",
    "test_saver.SaverProcessorUse.test_measure",
]


def count(result):
    failed = {getattr(t, "test_case", t).id() for t, _ in result.failures + result.errors}
    never_ran = {i for i in failed if i.startswith(("setUpClass", "setUpModule", "tearDown"))}  # class set-up errors
    unexpected, skipped = len(result.unexpectedSuccesses), len(result.skipped)
    return max(result.testsRun - len(failed - never_ran) - skipped - unexpected, 0), len(failed) + unexpected, skipped


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tests", nargs="*")
    parser.add_argument("-k", dest="patterns", action="append", default=[])
    parser.add_argument("-q", "--quiet", action="store_true")
    for flag in ("--x64", "--all-x64"):
        parser.add_argument(flag, action="store_true")
    options = parser.parse_args()
    loader = unittest.TestLoader()
    if options.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in options.patterns]

    def chosen(names):
        return loader.loadTestsFromNames(names) if names else loader.discover(str(HERE), "test_*.py", str(HERE))

    passes = []
    if not (options.x64 or options.all_x64):
        passes.append(("32-bit", chosen(options.tests)))
    if options.all_x64:
        passes.append(("64-bit", chosen(options.tests)))
    elif options.x64 or not (options.tests or options.patterns):
        passes.append(("64-bit", chosen(options.tests if options.x64 and options.tests else CORE_TESTS)))

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # a time-out still ends Xvfb and Wine
    totals = [0, 0, 0]
    try:
        environment = vtest.environment()
        runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=1 if options.quiet else 2)
        for build, suite in passes:
            if build == "64-bit":
                environment.config.use_64_bit_build()
            print(f"---- the {build} Virelta.scr: {environment.config.saver}", flush=True)
            counts = count(runner.run(suite))
            print(f"e2e {build}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped", flush=True)
            totals = [a + b for a, b in zip(totals, counts)]
    finally:
        vtest.environment(stop=True)
    print(f"e2e: {totals[0]} passed, {totals[1]} failed, {totals[2]} skipped", flush=True)
    return 0 if totals[1] == 0 and totals[0] > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
