"""What one test run shares: its Xvfb server and its template Wine prefix."""
import atexit
import re
import shutil
from pathlib import Path

from .config import Config
from .session import WineSession
from .wineprefix import make_template
from .xserver import XServer


class Environment:
    def __init__(self, config: Config = None):
        self.config = config or Config()
        self.xserver = None
        self.display = None
        self.template = None
        self._own_template = False
        self._sessions = []

    def start(self):
        run_dir = Path(self.config.run_dir)
        if run_dir.exists():
            for entry in run_dir.iterdir():
                if self.config.template and entry.resolve() == Path(self.config.template).resolve():
                    continue
                shutil.rmtree(entry) if entry.is_dir() and not entry.is_symlink() else entry.unlink()
        run_dir.mkdir(parents=True, exist_ok=True)
        self.xserver = XServer(self.config.screen, run_dir / "xvfb.log")
        self.display = self.xserver.start()
        try:
            if self.config.template:
                self.template = Path(self.config.template)
            else:
                self.template = make_template(run_dir / "template", run_dir / "template.log")
                self._own_template = True
        except BaseException:
            self.stop()
            raise
        return self

    def new_session(self, name: str) -> WineSession:
        name = re.sub(r"[^\w.-]+", "_", self.config.build_label + name)
        taken = {session.name for session in self._sessions}
        unique, serial = name, 1
        while unique in taken:
            serial += 1
            unique = f"{name}-{serial}"
        session = WineSession(self.config, self.display, self.template, unique)
        self._sessions.append(session)
        return session

    def stop(self):
        for session in self._sessions:
            try:
                session.close()
            except Exception:
                pass
        self._sessions = []
        if self._own_template and self.template and self.template.exists():
            shutil.rmtree(self.template, ignore_errors=True)
        self._own_template = False
        if self.xserver:
            self.xserver.stop()
            self.xserver = None


_shared = None


def shared_environment() -> Environment:
    """The run's environment, started on first use and stopped when Python exits."""
    global _shared
    if _shared is None:
        environment = Environment()
        environment.start()
        atexit.register(environment.stop)
        _shared = environment
    return _shared


def stop_shared_environment():
    global _shared
    if _shared is not None:
        _shared.stop()
        _shared = None
