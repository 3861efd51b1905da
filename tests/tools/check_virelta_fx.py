#!/usr/bin/env python3
"""virelta-fx as a person runs it. check_virelta_fx.py [--same-as=NATIVE_TOOL] [RUNNER...] TOOL
(--same-as: the same calls through both tools must give the same bytes)."""
import os, struct, subprocess, sys, tempfile


def bmp(width, height, rows, bits=32, top_down=False):
    """rows: top to bottom, of (b, g, r, x) tuples."""
    body = b"".join(b"".join(bytes(p[:bits // 8]) for p in row).ljust(((width * bits + 31) // 32) * 4, b"\0")
                    for row in (rows if top_down else reversed(rows)))
    return (struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0, len(body), 0, 0, 0, 0) + body)


def main():
    command = sys.argv[1:]
    native = command.pop(0).split("=", 1)[1] if command[0].startswith("--same-as=") else None
    failures = []
    check = lambda condition, what: condition or failures.append(what)
    with tempfile.TemporaryDirectory() as folder:
        path = lambda name: os.path.join(folder, name)
        run = lambda *args: subprocess.run(command + list(args), capture_output=True, text=True, stdin=subprocess.DEVNULL)
        picture = [[(10 * x + y, 100 + y, 200 - x, 9) for x in range(4)] for y in range(4)]
        open(path("in.bmp"), "wb").write(bmp(4, 4, picture))
        open(path("in24.bmp"), "wb").write(bmp(4, 4, picture, bits=24, top_down=True))
        # A quarter turn about the centre (2, 2), nearest: the top row takes the
        # fill &H112233 (red &H33 in the low byte), row r column c the input's
        # row 3 - c column r - 1. Written 32-bit bottom-up, the fourth byte kept;
        # --layer=1 writes the input as read.
        want = [[(0x11, 0x22, 0x33, 9)] * 4] + [[picture[3 - c][r - 1] for c in range(4)] for r in range(1, 4)]
        for args, rows in ((["in.bmp", "out.bmp", "ASM_Rotate(90,,,&H112233)"], want),
                           (["--layer=1", "in24.bmp", "out1.bmp", "ASM_Rotate(90)"], [[p[:3] + (0,) for p in r] for r in picture])):
            result = run(*[path(a) if a.endswith(".bmp") else a for a in args])
            out = path(args[-2])
            data = open(out, "rb").read() if result.returncode == 0 and os.path.exists(out) else b"\0" * 64
            offset, = struct.unpack_from("<I", data, 10)
            check(struct.unpack_from("<iiHH", data, 18) == (4, 4, 1, 32) and data[offset:offset + 64] == bmp(4, 4, rows)[54:],
                  f"{args}: status {result.returncode} {result.stderr} or other pixels")
        # The engine's messages go to standard error and the run goes on.
        result = run("--depth=24", path("in.bmp"), path("depth.bmp"), "UndoLast")
        check(result.returncode == 0 and "clsASM: Not 16 or 24-bit color setting" in result.stderr and
              "clsASM: You must assign a picturebox to the class first!" in result.stderr, f"messages: {result.stderr!r}")
        # A run-time error: its number and text, nothing written, status 1.
        result = run(path("in.bmp"), path("never.bmp"), "ASM_Rotate(32408)")
        check(result.returncode == 1 and "error 6: Overflow" in result.stderr, f"overflow: {result.stderr!r}")
        check(not os.path.exists(path("never.bmp")), "a failed run wrote its output")
        # Malformed calls, options out of range (named in the message), unreadable input: status 2.
        open(path("text.bmp"), "w").write("not a picture")
        for args in (["ASM_Rotate(90"], ["Spin(1)"], ["ASM_Rotate(ninety)"], ["--depth=1e30"], ["--depth=16.5"],
                     ["--backcolor=-1e30"], ["--backcolor=4294967296"], ["--layer=NaN"], ["--layer=1e400"], []):
            result = run(path("in.bmp" if args else "text.bmp"), path("bad.bmp"), *args)
            check(result.returncode == 2 and (not args or not args[0].startswith("--") or
                                              args[0].split("=")[0] in result.stderr), f"{args}: {result.returncode}")
        check(run(path("in.bmp"), path("no folder/out.bmp")).returncode == 2, "an output it cannot write counted as written")
        # Every kernel but the clock-seeded dots on a picture with repeated colours,
        # turns by multiples of 90 about centres ending in .5 (where the cosine's
        # last bit moves whole pixels): the same bytes as the native build.
        if native and os.path.exists(native):
            open(path("mixed.bmp"), "wb").write(bmp(23, 17, [[((x * 37 + y * 11) % 7 * 40, (x * 5 + y * 3) % 4 * 80,
                                                                 (x + y) % 3 * 120, 0) for x in range(23)] for y in range(17)]))
            for chain in (*([f"ASM_Rotate({a},{s},False,0,{c})" for a in (90, 180, -90, 450, 270, 37) for c in ("18.5,14.5", "3.5,2.5")]
                          for s in ("", "True")), ["ASM_Magnify(1.7,10.25,7.5,True,0)", "ASM_Magnify(2.5,3.5,14.5,,0)"],
                          [f"ASM_PalEffects({op},37)" for op in range(21)] + ["ASM_IncrementalPalEffects(10,5)"],
                          [f"ASM_PixelEffects({op},{a},255)" for op in range(6) for a in (1, 3)],
                          [f"ASM_ColorXEffects({op},{c},3,5.5,6.5)" for op in range(1, 10) for c in (0, 0x5000F0)]):
                here = run(path("mixed.bmp"), path("here.bmp"), *chain)
                there = subprocess.run([native, path("mixed.bmp"), path("there.bmp"), *chain], stdin=subprocess.DEVNULL)
                check(here.returncode == there.returncode == 0 and open(path("here.bmp"), "rb").read() ==
                      open(path("there.bmp"), "rb").read(), f"differs from the native tool: {chain}")
    for failure in failures:
        print("FAIL:", failure)
    print("virelta-fx:", "ok" if not failures else f"{len(failures)} failures")
    if native and not os.path.exists(native) and not failures:
        print(f"virelta-fx: SKIPPED the comparison: no native tool at {native} (build the native preset first)")
        return 77
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
