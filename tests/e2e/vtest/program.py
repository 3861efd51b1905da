"""A Windows program started under Wine: its PID, its exit code, its output."""
import os
import signal
import subprocess
import time


class Program:
    """`wine prog.exe` replaces itself with the program, so the PID is the program's own."""

    def __init__(self, args, env, log_path, name=None):
        self.name = name or os.path.basename(str(args[1] if len(args) > 1 else args[0]))
        self.args = list(args)
        self.log_path = log_path
        # Output goes to a file, never a pipe: Wine's background processes
        # would inherit the pipe and keep a reader waiting after the program ends.
        with open(log_path, "wb") as log:
            self.process = subprocess.Popen(self.args, env=env, stdin=subprocess.DEVNULL,
                                            stdout=log, stderr=subprocess.STDOUT)
        self.started = time.monotonic()
        self.ended = None

    @property
    def pid(self) -> int:
        return self.process.pid

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
        """Ends this program only (its PID); Wine removes its windows."""
        if self.running:
            try:
                os.kill(self.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait()
            self.poll()

    def __repr__(self):
        state = "running" if self.running else f"exit {self.process.returncode}"
        return f"<Program {self.name} pid {self.pid} {state}>"
