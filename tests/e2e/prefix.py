#!/usr/bin/env python3
"""Wine prefixes for the scripts, made the way the end-to-end harness makes them.

    python3 tests/e2e/prefix.py make DIR          a template: booted, Japanese fonts mapped, Managed=N
    python3 tests/e2e/prefix.py clone SOURCE DIR  a private copy (DLL folders hard-linked), about 1 s
"""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from vtest.wineprefix import clone_prefix, make_template  # noqa: E402


def main(argv):
    if len(argv) == 2 and argv[0] == "make":
        started = time.monotonic()
        target = Path(argv[1])
        make_template(target, target.parent / (target.name + ".log"))
        print(f"prefix: made {target} in {time.monotonic() - started:.0f} s")
        return 0
    if len(argv) == 3 and argv[0] == "clone":
        clone_prefix(Path(argv[1]), Path(argv[2]))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
