"""Where things are and how long to wait; every value can be set from the environment."""
import os
from dataclasses import dataclass, field
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parents[3]

SAVER_CAPTION = "Virelta_Main"
SETTINGS_CAPTION = "Vireltaの設定"
PROGRAM_CAPTIONS = (SAVER_CAPTION, SETTINGS_CAPTION)


def _find_saver(build_dir: Path) -> Path:
    direct = build_dir / "Virelta.scr"
    if direct.exists():
        return direct
    found = sorted(build_dir.glob("**/Virelta.scr"))
    return found[0] if found else direct


@dataclass
class Config:
    build_dir: Path = field(default_factory=lambda: Path(
        os.environ.get("VTEST_BUILD_DIR", REPO_ROOT / "build" / "win32")))
    saver: Path = None
    helper: Path = None
    # The 64-bit build, which runs the core tests too (see run.py).
    saver64: Path = None
    helper64: Path = None
    # Goes before the session names: which build a session ran.
    build_label: str = ""
    # Logs, screenshots and the Wine prefixes of a run; emptied at the start of a run.
    run_dir: Path = field(default_factory=lambda: Path(
        os.environ.get("VTEST_RUN_DIR", REPO_ROOT / "build" / "e2e")))
    # An existing template prefix (made by `prefix.py make`) saves ~25 s.
    template: Path = field(default_factory=lambda: (
        Path(os.environ["VTEST_TEMPLATE"]) if os.environ.get("VTEST_TEMPLATE") else None))
    screen: str = field(default_factory=lambda: os.environ.get("VTEST_SCREEN", "1024x768x24"))
    # Multiplies every time-out: raise it on a slow or busy machine.
    time_scale: float = field(default_factory=lambda: float(os.environ.get("VTEST_TIME_SCALE", "1")))
    keep_prefixes: bool = field(default_factory=lambda: os.environ.get("VTEST_KEEP_PREFIXES") == "1")
    # The saver's folder inside each prefix; the settings file is written beside it.
    program_folder: str = r"C:\Virelta"

    def __post_init__(self):
        self.build_dir = Path(self.build_dir)
        if self.saver is None:
            self.saver = Path(os.environ.get("VIRELTA_SCR") or _find_saver(self.build_dir))
        if self.helper is None:
            self.helper = Path(os.environ.get("VTEST_HELPER")
                               or self.build_dir / "tests" / "helper" / "vtest-helper.exe")
        build64 = REPO_ROOT / "build" / "win64"
        if self.saver64 is None:
            self.saver64 = Path(os.environ.get("VIRELTA_SCR64") or _find_saver(build64))
        if self.helper64 is None:
            self.helper64 = Path(os.environ.get("VTEST_HELPER64") or build64 / "tests" / "helper" / "vtest-helper.exe")

    def use_64_bit_build(self):
        """Sessions made from now on run the 64-bit saver and helper."""
        self.saver, self.helper, self.build_label = self.saver64, self.helper64, "x64-"

    def seconds(self, value: float) -> float:
        return value * self.time_scale

    @property
    def screen_size(self):
        width, height, _depth = (int(part) for part in self.screen.split("x"))
        return width, height
