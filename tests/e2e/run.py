#!/usr/bin/env python3
"""Runs the end-to-end tests of Virelta.scr under Wine and Xvfb.

    python3 tests/e2e/run.py                      every test_*.py here
    python3 tests/e2e/run.py test_startup         one module (or module.Class.test)
    python3 tests/e2e/run.py -k guard             tests whose name contains "guard"

Settings come from the environment (see vtest/config.py): VTEST_BUILD_DIR,
VIRELTA_SCR, VTEST_HELPER, VTEST_RUN_DIR, VTEST_TEMPLATE, VTEST_SCREEN,
VTEST_TIME_SCALE, VTEST_KEEP_PREFIXES.  The last line reads
"e2e: N passed, N failed, N skipped".
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
    options = parser.parse_args()

    loader = unittest.TestLoader()
    if options.patterns:
        loader.testNamePatterns = [f"*{pattern}*" for pattern in options.patterns]
    if options.tests:
        suite = loader.loadTestsFromNames(options.tests)
    else:
        suite = loader.discover(str(HERE), pattern="test_*.py", top_level_dir=str(HERE))

    # A time-out's SIGTERM still ends Xvfb and the Wine prefixes (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    started = time.monotonic()
    try:
        environment_module.shared_environment()
        print(f"e2e: Xvfb on {environment_module._shared.display}, "
              f"set up in {time.monotonic() - started:.0f} s", flush=True)
        runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=1 if options.quiet else 2)
        result = runner.run(suite)
    finally:
        environment_module.stop_shared_environment()
    passed, failed, skipped = count(result)
    print(f"e2e: {passed} passed, {failed} failed, {skipped} skipped", flush=True)
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
