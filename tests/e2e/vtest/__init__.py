"""End-to-end test harness: the real Virelta.scr under Wine inside Xvfb.

One run owns one Xvfb server and one template Wine prefix; every test class
gets a session, a fresh copy of that prefix with the saver in its program
folder.  Start with case.SessionTestCase; see tests/e2e/README.md.
"""
from .case import SessionTestCase
from .config import Config
from .environment import Environment, shared_environment
from .image import Image
from .program import Program
from .session import WineSession, WindowNotFound

__all__ = [
    "Config",
    "Environment",
    "Image",
    "Program",
    "SessionTestCase",
    "WindowNotFound",
    "WineSession",
    "shared_environment",
]
