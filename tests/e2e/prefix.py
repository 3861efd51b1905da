#!/usr/bin/env python3
"""Wine prefixes, as the end-to-end harness and scripts/test.sh make them.

    python3 tests/e2e/prefix.py make DIR          a template: booted, Japanese fonts mapped, Managed=N
    python3 tests/e2e/prefix.py clone SOURCE DIR  a private copy (DLL folders hard-linked), about 1 s
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

# The dialog's font is absent on Linux: the IPA fonts stand in.  Managed=N: no
# 2 s wait for a window manager at every close.  No crash dialog waiting for a click.
REGISTRY_SETUP = """Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
"""


def wine_environment(prefix, display=None):
    unset = ("WINEARCH", "WINESERVER", "WINELOADER", "WINEDLLPATH", "DISPLAY")
    env = {k: v for k, v in os.environ.items() if k not in unset}
    # No Mono or Gecko installer dialog; code page 932 keeps Japanese texts intact.
    env.update(WINEPREFIX=str(prefix), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="ja_JP.UTF-8")
    if display:
        env["DISPLAY"] = display
    return env


def run_logged(args, env, log, timeout=300):
    # Wine's background programs inherit these handles: a file, never a pipe.
    with open(log, "ab") as out:
        return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                              timeout=timeout).returncode


def make_template(prefix, log):
    prefix = Path(prefix).resolve()
    shutil.rmtree(prefix, ignore_errors=True)
    prefix.parent.mkdir(parents=True, exist_ok=True)
    env = wine_environment(prefix)
    if run_logged(["wine", "wineboot", "--init"], env, log) != 0:
        raise RuntimeError(f"wineboot failed; see {log}")
    # regedit reads UTF-8 as code page 1252: UTF-16LE with a BOM keeps the Japanese names.
    setup = prefix.parent / "vtest-setup.reg"
    setup.write_bytes(("\ufeff" + REGISTRY_SETUP.replace("\n", "\r\n")).encode("utf-16-le"))
    run_logged(["wine", "regedit", "/S", "Z:" + str(setup.resolve()).replace("/", "\\")], env, log)
    run_logged(["wineserver", "-w"], env, log)  # the registry reaches the disk when the server ends
    if "IPAPGothic" not in (prefix / "system.reg").read_text(errors="replace") or \
            '"Managed"="N"' not in (prefix / "user.reg").read_text(errors="replace"):
        raise RuntimeError(f"the registry settings did not reach {prefix}")
    return prefix


def clone_prefix(template, target):
    """A copy whose read-only DLL folders are hard links: a fraction of a second."""
    template, target = Path(template), Path(target)
    shutil.rmtree(target, ignore_errors=True)
    shared = {"system32", "syswow64", "winsxs"}

    def skip(folder, names):
        return [n for n in names if Path(folder).name.lower() == "windows" and n.lower() in shared]

    shutil.copytree(template, target, symlinks=True, ignore=skip)
    for folder in (template / "drive_c" / "windows").iterdir():
        if folder.name.lower() in shared:
            shutil.copytree(folder, target / "drive_c" / "windows" / folder.name, symlinks=True, copy_function=os.link)
    return target


def main(argv):
    if argv[:1] == ["make"] and len(argv) == 2:
        return make_template(Path(argv[1]), Path(argv[1] + ".log")) and 0
    if argv[:1] == ["clone"] and len(argv) == 3:
        return clone_prefix(argv[1], argv[2]) and 0
    return print(__doc__, file=sys.stderr) or 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
