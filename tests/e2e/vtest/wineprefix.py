"""Wine prefixes: the run's template and the per-session copies of it."""
import os
import shutil
import subprocess
from pathlib import Path

# The dialog's font is absent on Linux; the IPA fonts have the same metrics
# family.  Managed=N: without a window manager, Wine would otherwise wait about
# 2 s at every top-level window close for one that is not there.  No crash
# dialog: a crashing program must end (and fail its test), not wait for a click.
REGISTRY_SETUP = """Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
"""

# Large folders of DLLs that Wine only reads: hard links make a copy of the
# prefix take a fraction of a second instead of seconds.  Everything else
# (registry, user folders, .ini files) is really copied, since Wine rewrites it.
_SHARED_FOLDERS = {"system32", "syswow64", "winsxs"}


def wine_environment(prefix, display=None):
    env = dict(os.environ)
    for name in ("WINEARCH", "WINESERVER", "WINELOADER", "WINEDLLPATH"):
        env.pop(name, None)
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEDEBUG": "-all",
        # No Mono or Gecko installer dialog: it would wait for a click forever.
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        # Code page 932, so Japanese captions and texts survive every conversion.
        "LC_ALL": "ja_JP.UTF-8",
    })
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


def _run(args, env, log, timeout):
    with open(log, "ab") as out:
        # Wine's background programs inherit these handles: never a pipe here.
        return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=out,
                              stderr=subprocess.STDOUT, timeout=timeout).returncode


def registry_file_bytes(text: str) -> bytes:
    """regedit reads a UTF-8 file as code page 1252; UTF-16LE with a BOM keeps the Japanese names."""
    return ("\ufeff" + text.replace("\n", "\r\n")).encode("utf-16-le")


def make_template(prefix: Path, log: Path, timeout: float = 300.0):
    """Creates a prefix ready for the tests: booted, fonts mapped, unmanaged windows."""
    prefix = Path(prefix)
    if prefix.exists():
        shutil.rmtree(prefix)
    prefix.parent.mkdir(parents=True, exist_ok=True)
    env = wine_environment(prefix)
    if _run(["wine", "wineboot", "--init"], env, log, timeout) != 0:
        raise RuntimeError(f"wineboot failed; see {log}")
    setup = prefix.parent / "vtest-setup.reg"
    setup.write_bytes(registry_file_bytes(REGISTRY_SETUP))
    if _run(["wine", "regedit", "/S", windows_path(setup, prefix)], env, log, timeout) != 0:
        raise RuntimeError(f"regedit failed; see {log}")
    # Wine writes the registry to disk when its server ends: wait for that
    # before anything copies the prefix.
    _run(["wineserver", "-w"], env, log, timeout)
    if "IPAPGothic" not in (prefix / "system.reg").read_text(errors="replace"):
        raise RuntimeError(f"the font substitutes did not reach {prefix}/system.reg")
    user = (prefix / "user.reg").read_text(errors="replace")
    if '"Managed"="N"' not in user or '"ShowCrashDialog"=dword:00000000' not in user:
        raise RuntimeError(f"the Wine settings did not reach {prefix}/user.reg")
    return prefix


def clone_prefix(template: Path, target: Path):
    template, target = Path(template), Path(target)
    if target.exists():
        shutil.rmtree(target)

    def copy_tree(source: Path, destination: Path):
        destination.mkdir(parents=True)
        shutil.copystat(source, destination)
        for entry in os.scandir(source):
            source_path = Path(entry.path)
            destination_path = destination / entry.name
            if entry.is_symlink():
                os.symlink(os.readlink(source_path), destination_path)
            elif entry.is_dir():
                if entry.name.lower() in _SHARED_FOLDERS and source.name.lower() == "windows":
                    shutil.copytree(source_path, destination_path, symlinks=True, copy_function=os.link)
                else:
                    copy_tree(source_path, destination_path)
            else:
                shutil.copy2(source_path, destination_path)

    copy_tree(template, target)
    return target


def windows_path(path, prefix=None) -> str:
    """The path as the programs in `prefix` see it: C: inside the prefix, Z: elsewhere."""
    path = Path(path).resolve()
    if prefix is not None:
        drive_c = (Path(prefix) / "drive_c").resolve()
        if path == drive_c or drive_c in path.parents:
            return "C:\\" + "\\".join(path.relative_to(drive_c).parts)
    return "Z:" + str(path).replace("/", "\\")


def unix_path(windows: str, prefix) -> Path:
    """Maps a C:\\ path of the prefix to the Unix file behind it."""
    if len(windows) < 2 or windows[1] != ":":
        raise ValueError(f"not an absolute Windows path: {windows}")
    drive = windows[0].lower()
    rest = [part for part in windows[2:].split("\\") if part]
    if drive == "c":
        return Path(prefix, "drive_c", *rest)
    if drive == "z":
        return Path("/", *rest)
    raise ValueError(f"drive {drive}: is not mapped by the harness")


def stop_server(env, log, timeout: float = 30.0):
    """Ends every Wine process of this prefix only (its wineserver and clients)."""
    _run(["wineserver", "-k"], env, log, timeout)
    try:
        _run(["wineserver", "-w"], env, log, timeout)
    except subprocess.TimeoutExpired:
        pass
