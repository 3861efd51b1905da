#!/usr/bin/env python3
"""virelta, the X11 program, end to end on an Xvfb server of its own.
    test_virelta.py VIRELTA VIRELTA_RENDER PROBE"""
import os, shutil, struct, subprocess, sys, tempfile, unittest
from pathlib import Path

VIRELTA, RENDER, PROBE = sys.argv[1:4]
TILE_0 = b"[Section]\r\nRandom0=0\r\nWidth0=300\r\nHeight0=270\r\n"
# Options and the settings virelta-render reads for them: 20 degrees a step
# ("回転速度"), two turns ("回転数": frames 1-37 the first cycle, 38 its reset),
# no anti-aliasing ("ｱﾝﾁｴｲﾘｱｽ"), tile 3 not shown.
OPTIONS = ["-seed", "7", "-speed", "20", "-turns", "2", "-no-antialias", "-tiles", "3"]
SAME_AS_OPTIONS = (b"\x89\xf1\x93\x5d\x91\xac\x93\x78=20\r\n\x89\xf1\x93\x5d\x90\x94=2\r\n"
                   b"\xb1\xdd\xc1\xb4\xb2\xd8\xb1\xbd=0\r\nAction3=0\r\n")


class VireltaOnX(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = Path(tempfile.mkdtemp(prefix="virelta-x11-"))
        read_end, write_end = os.pipe()
        cls.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24", "-nolisten",
                                     "tcp", "-noreset"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as display:
            cls.env = dict(os.environ, DISPLAY=":" + display.readline().strip())
        cls.env.pop("XSCREENSAVER_WINDOW", None)
        (cls.dir / "virelta.ini").write_bytes(TILE_0)
        (cls.dir / "render.ini").write_bytes(TILE_0 + SAME_AS_OPTIONS)
        data = b"".join(bytes(((x ^ y) & 255, y * 255 // 480, x * 255 // 640)) for y in reversed(range(480))
                        for x in range(640))  # every small area differs from the others
        (cls.dir / "desktop.bmp").write_bytes(b"BM" + struct.pack("<IHHIIiiHHIIiiII", 54 + len(data), 0, 0, 54, 40,
                                              640, 480, 1, 24, 0, len(data), 2835, 2835, 0, 0) + data)

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.terminate()
        cls.xvfb.wait()
        shutil.rmtree(cls.dir, ignore_errors=True)

    def run_tool(self, *args, env=None, code=0):
        done = subprocess.run(args, env=env or self.env, capture_output=True, text=True, timeout=120)
        self.assertEqual(done.returncode, code, done.stderr)
        return done

    def test_the_root_window_or_a_given_one_shows_the_frames_of_virelta_render(self):
        root = self.run_tool(PROBE, "root").stdout.strip()
        helper = self.dir / "xscreensaver-getimage"  # what xscreensaver has paint its window
        helper.write_text('#!/bin/sh\nexec "%s" paint "$1" "%s"\n' % (PROBE, self.dir / "desktop.bmp"))
        helper.chmod(0o755)
        # As xscreensaver starts it (-root, its window in the environment), or
        # given a window or the root window already showing the picture.
        for args, frame, helped in ((["-root"], 41, True), (["-window-id", root], 3, False), (["-root"], 3, False)):
            env = dict(self.env, XSCREENSAVER_WINDOW=root, PATH="%s:%s" % (self.dir, os.environ["PATH"]))
            if not helped:
                env = self.env
                self.run_tool(PROBE, "paint", root, str(self.dir / "desktop.bmp"))
            self.run_tool(VIRELTA, "-settings", str(self.dir / "virelta.ini"), *OPTIONS, *args, "-frames", str(frame),
                          env=env)
            self.run_tool(RENDER, "--settings=%s" % (self.dir / "render.ini"), "--seed=7", "--steps=%d" % frame,
                          "--write=last", str(self.dir / "desktop.bmp"), str(self.dir / "frames"))
            expected = (self.dir / "frames" / ("frame-%05d.bmp" % frame)).read_bytes()
            self.run_tool(PROBE, "grab", "0", "0", "640", "480", str(self.dir / "shot.bmp"))
            self.assertTrue((self.dir / "shot.bmp").read_bytes() == expected, "%s frame %d differs" % (args, frame))

    def test_bad_options_exit_2_with_a_message(self):
        for args in (["-tiles", "5"], ["-speed", "fast"], ["-size", "100x300"], ["-window-id", "0xZZ"], ["-turns"],
                     ["-frobnicate"], ["-settings", str(self.dir / "missing.ini")], []):
            env = dict(self.env, XSCREENSAVER_WINDOW="junk") if not args else self.env
            self.assertRegex(self.run_tool(VIRELTA, *args, env=env, code=2).stderr, "^virelta: ", args)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
