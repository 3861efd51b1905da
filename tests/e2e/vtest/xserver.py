"""The run's own X server: Xvfb on a display it picks itself."""
import os
import select
import subprocess
import time


class XServer:
    def __init__(self, screen: str, log_path):
        self.screen = screen
        self.log_path = log_path
        self.process = None
        self.display = None

    def start(self, timeout: float = 20.0):
        read_end, write_end = os.pipe()
        log = open(self.log_path, "ab")
        try:
            # -displayfd: Xvfb picks a free display and writes its number once it
            # accepts clients.  -noreset: the root window keeps its content when
            # the last client leaves (each saver copies the desktop it finds).
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        finally:
            os.close(write_end)
            log.close()
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not select.select([read_end], [], [], remaining)[0]:
                    raise RuntimeError(f"Xvfb did not start within {timeout} s; see {self.log_path}")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise RuntimeError(f"Xvfb exited at start; see {self.log_path}")
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()
        return self.display

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None
