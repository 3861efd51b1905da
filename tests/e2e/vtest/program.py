"""A Windows program started under Wine: its process, its exit code, its output."""
import os
import signal
import subprocess
import time
from pathlib import Path


def _proc_fields(pid: int):
    """(command line arguments, start time in clock ticks) of a process, or None once it is gone."""
    try:
        argv = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")
        stat = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        return None
    return [a.decode("utf-8", "replace") for a in argv if a], int(stat[19])


def _wine_prefix_of(pid: int):
    try:
        for entry in Path(f"/proc/{pid}/environ").read_bytes().split(b"\0"):
            if entry.startswith(b"WINEPREFIX="):
                return entry[len(b"WINEPREFIX="):].decode("utf-8", "replace")
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        pass
    return None


def _names(argv, file_name: str) -> bool:
    """Whether a Wine process's command line starts with the program (Wine shows its Windows path)."""
    return bool(argv) and argv[0].replace("/", "\\").rsplit("\\", 1)[-1].lower() == file_name.lower()


class Program:
    """A program started as `wine <program> <arguments>`.

    `wine prog.exe` replaces itself with the program.  A 64-bit `.scr`
    started through Wine's 32-bit loader instead runs under start.exe, which
    starts the program as a process of its own (re-parented, no child of
    start.exe), waits for it and exits with its exit code.  `pid` is always
    the program's own process (see real_process), so measuring and `kill`
    reach the program; `wait` and the exit code pass through start.exe.
    """

    def __init__(self, args, env, log_path, name=None, file_name=None):
        self.name = name or os.path.basename(str(args[1] if len(args) > 1 else args[0]))
        self.args = list(args)
        self.log_path = log_path
        self.file_name = file_name or str(args[1] if len(args) > 1 else args[0]).replace("/", "\\").rsplit("\\", 1)[-1]
        self.prefix = env.get("WINEPREFIX")
        # Output goes to a file, never a pipe: Wine's background processes
        # would inherit the pipe and keep a reader waiting after the program ends.
        with open(log_path, "wb") as log:
            self.process = subprocess.Popen(self.args, env=env, stdin=subprocess.DEVNULL,
                                            stdout=log, stderr=subprocess.STDOUT)
        self.started = time.monotonic()
        self.ended = None
        self._own_pid = None

    @property
    def pid(self) -> int:
        """The program's own process id (waits up to 30 s for Wine to start it)."""
        if self._own_pid is None:
            self._own_pid = real_process(self, timeout=30)
        return self._own_pid

    @property
    def running(self) -> bool:
        return self.poll() is None

    def poll(self):
        code = self.process.poll()
        if code is not None and self.ended is None:
            self.ended = time.monotonic()
        return code

    def wait(self, timeout: float) -> int:
        """The exit code; raises subprocess.TimeoutExpired if still running after `timeout`."""
        code = self.process.wait(timeout)
        self.poll()
        return code

    @property
    def run_time(self) -> float:
        """Seconds from start to exit (or until now while it runs)."""
        return (self.ended or time.monotonic()) - self.started

    @property
    def output(self) -> str:
        try:
            with open(self.log_path, "rb") as log:
                return log.read().decode("utf-8", errors="replace")
        except FileNotFoundError:
            return ""

    def kill(self):
        """Ends this program only (its process ids); Wine removes its windows."""
        if self.running:
            for pid in {real_process(self, timeout=2), self.process.pid} - {None}:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            self.process.wait()
            self.poll()

    def __repr__(self):
        state = "running" if self.running else f"exit {self.process.returncode}"
        return f"<Program {self.name} pid {self._own_pid or self.process.pid} {state}>"


def real_process(program: Program, timeout: float = 10):
    """The process id of the program itself, also where Wine started it under
    start.exe; None if none shows up within `timeout` seconds (or it has ended).

    Wine shows a process's Windows command line as its own: the launcher is
    the program once its first argument names the program's file.  Otherwise
    the program is the earliest process of the same prefix, started no
    earlier than the launcher, whose command line names that file."""
    if program._own_pid is not None:
        return program._own_pid
    launcher = program.process.pid
    deadline = time.monotonic() + timeout
    while True:
        own = _proc_fields(launcher)
        if own is not None and _names(own[0], program.file_name):
            program._own_pid = launcher
            return launcher
        if own is not None:
            candidates = []
            for entry in os.scandir("/proc"):
                if not entry.name.isdigit() or int(entry.name) == launcher:
                    continue
                fields = _proc_fields(int(entry.name))
                if (fields and fields[1] >= own[1] and _names(fields[0], program.file_name)
                        and _wine_prefix_of(int(entry.name)) == program.prefix):
                    candidates.append((fields[1], int(entry.name)))
            if candidates:
                # The earliest one started after start.exe: a later one is another start.
                program._own_pid = min(candidates)[1]
                return program._own_pid
        if program.process.poll() is not None or time.monotonic() > deadline:
            return None
        time.sleep(0.02)
