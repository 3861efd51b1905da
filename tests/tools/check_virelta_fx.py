#!/usr/bin/env python3
"""virelta-fx as a person runs it: files in, a file out, exit statuses and
messages. Usage: check_virelta_fx.py [--same-as=NATIVE_TOOL] [RUNNER...] TOOL
(RUNNER: e.g. wine). With --same-as, the same engine calls through both tools
must give the same output files byte for byte."""
import os
import struct
import subprocess
import sys
import tempfile


def bmp(width, height, pixels, bits=32, top_down=False):
    """pixels: rows top to bottom of (b, g, r, x) tuples."""
    stride = ((width * bits + 31) // 32) * 4
    rows = []
    for row in (pixels if top_down else reversed(pixels)):
        data = b"".join(bytes(p if bits == 32 else p[:3]) for p in row)
        rows.append(data + b"\0" * (stride - len(data)))
    body = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0, len(body), 0, 0, 0, 0)
    return header + info + body


def read_bmp32(data):
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    assert bits == 32 and height > 0, "the tool writes 32-bit bottom-up bitmaps"
    offset, = struct.unpack_from("<I", data, 10)
    rows = []
    for y in range(height):
        line = data[offset + y * width * 4: offset + (y + 1) * width * 4]
        rows.append([tuple(line[i:i + 4]) for i in range(0, len(line), 4)])
    return width, height, list(reversed(rows))


def main():
    command = sys.argv[1:]
    native = command.pop(0).split("=", 1)[1] if command[0].startswith("--same-as=") else None
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)

    with tempfile.TemporaryDirectory() as folder:
        def path(name):
            return os.path.join(folder, name)

        def run(*args):
            return subprocess.run(command + list(args), capture_output=True, text=True, stdin=subprocess.DEVNULL)

        # A 4 x 4 picture whose every pixel differs; the fourth byte is 9.
        picture = [[(10 * x + y, 100 + y, 200 - x, 9) for x in range(4)] for y in range(4)]
        with open(path("in.bmp"), "wb") as f:
            f.write(bmp(4, 4, picture))

        # A quarter turn, nearest, about the default centre (2, 2): in the
        # store's bottom-up rows destination (x, y) takes source (4 - y, x)
        # for rows 1 to 3 and the top row takes the fill colour &H112233
        # (red &H33 in the low byte, so the bytes blue, green, red read 11 22 33). Screen row r is store row 4 - r.
        result = run(path("in.bmp"), path("out.bmp"), "ASM_Rotate(90,,,&H112233)")
        check(result.returncode == 0, f"rotation run failed: {result.returncode} {result.stderr}")
        if result.returncode == 0:
            w, h, rows = read_bmp32(open(path("out.bmp"), "rb").read())
            check((w, h) == (4, 4), "output size")
            for sy in range(1, 5):
                for sx in range(1, 5):
                    got = rows[4 - sy][sx - 1]
                    if sy == 4:
                        want = (0x11, 0x22, 0x33, 9)
                    else:
                        src = picture[4 - sx][4 - sy - 1]
                        want = src
                    check(got == want, f"pixel ({sx},{sy}) is {got}, expected {want}")

        # A 24-bit top-down input reads the same picture (fourth byte 0), and
        # --layer=1 writes the base layer as read.
        with open(path("in24.bmp"), "wb") as f:
            f.write(bmp(4, 4, picture, bits=24, top_down=True))
        result = run("--layer=1", path("in24.bmp"), path("layer1.bmp"), "ASM_Rotate(90)")
        check(result.returncode == 0, f"layer run failed: {result.stderr}")
        if result.returncode == 0:
            _, _, rows = read_bmp32(open(path("layer1.bmp"), "rb").read())
            check(rows == [[p[:3] + (0,) for p in row] for row in picture], "layer 1 differs from the input")

        # The engine's messages go to standard error and the run goes on.
        result = run("--depth=24", path("in.bmp"), path("depth.bmp"), "UndoLast")
        check(result.returncode == 0, "a refused binding is not an error of the tool")
        check("clsASM: Not 16 or 24-bit color setting" in result.stderr, f"depth message missing: {result.stderr!r}")
        check("clsASM: You must assign a picturebox to the class first!" in result.stderr, "not-bound message missing")

        # A run-time error: its number and text, nothing written, status 1.
        result = run(path("in.bmp"), path("never.bmp"), "ASM_Rotate(32408)")
        check(result.returncode == 1, f"overflow status {result.returncode}")
        check("error 6: Overflow" in result.stderr, f"overflow text: {result.stderr!r}")
        check(not os.path.exists(path("never.bmp")), "a failed run wrote its output")

        # Malformed calls, numeric options out of range (a message naming the
        # option) and unreadable files: status 2.
        for args in (["ASM_Rotate(90"], ["Spin(1)"], ["ASM_Rotate(ninety)"], ["--depth=1e30"], ["--depth=16.5"],
                     ["--backcolor=-1e30"], ["--backcolor=4294967296"], ["--layer=NaN"], ["--layer=1e400"]):
            result = run(path("in.bmp"), path("bad.bmp"), *args)
            check(result.returncode == 2, f"{args}: status {result.returncode}")
            check(not args[0].startswith("--") or args[0].split("=")[0] in result.stderr, f"{args}: {result.stderr!r}")
        with open(path("text.bmp"), "w") as f:
            f.write("not a picture")
        result = run(path("text.bmp"), path("bad.bmp"))
        check(result.returncode == 2, f"unreadable input: status {result.returncode}")

        # Turns at multiples of 90 degrees about centres ending in .5 (where
        # the last bit of the cosine moves whole pixels), magnify about
        # fractional centres and every other kernel (but the clock-seeded dots),
        # each chain on a picture
        # with repeated colours: the native build and this one agree exactly.
        if native and os.path.exists(native):
            with open(path("mixed.bmp"), "wb") as f:
                f.write(bmp(23, 17, [[((x * 37 + y * 11) % 7 * 40, (x * 5 + y * 3) % 4 * 80, (x + y) % 3 * 120, 0)
                                      for x in range(23)] for y in range(17)]))
            turns = [f"ASM_Rotate({a},{s},False,0,{c})" for s in ("", "True") for a in (90, 180, -90, 450, 270, 37)
                     for c in ("18.5,14.5", "3.5,2.5")]
            chains = [turns[:12], turns[12:], ["ASM_Magnify(1.7,10.25,7.5,True,0)", "ASM_Magnify(2.5,3.5,14.5,,0)"],
                      [f"ASM_PalEffects({op},37)" for op in range(21)] + ["ASM_IncrementalPalEffects(10,5)"],
                      [f"ASM_PixelEffects({op},{a},255)" for op in range(6) for a in (1, 3)],
                      [f"ASM_ColorXEffects({op},{c},3,5.5,6.5)" for op in range(1, 10) for c in (0, 0x5000F0)]]
            for n, chain in enumerate(chains):
                outputs = [path(f"chain{n}.{which}.bmp") for which in ("here", "native")]
                here, there = run(path("mixed.bmp"), outputs[0], *chain), subprocess.run(
                    [native, path("mixed.bmp"), outputs[1], *chain], capture_output=True, stdin=subprocess.DEVNULL)
                check(here.returncode == there.returncode == 0, f"chain {n} failed: {here.stderr} {there.stderr!r}")
                if here.returncode == there.returncode == 0:
                    check(open(outputs[0], "rb").read() == open(outputs[1], "rb").read(),
                          f"chain {n} gives other bytes than the native tool: {chain}")

    for failure in failures:
        print("FAIL:", failure)
    print("virelta-fx:", "ok" if not failures else f"{len(failures)} failures")
    if native and not os.path.exists(native) and not failures:
        print(f"virelta-fx: SKIPPED the comparison: no native tool at {native} (build the native preset first)")
        return 77
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
