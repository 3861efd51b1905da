#!/usr/bin/env python3
"""Writes resources/hand.cur: the settings dialog's pointing hand for its link
label, a 32 x 32 two-colour cursor whose hot spot is the fingertip (12, 1).

The hand is a union of white rectangles; every pixel outside it that touches
it along an edge becomes its black outline, the rest is transparent.
"""
import pathlib
import struct

SIZE = 32
HOT_SPOT = (12, 1)

# (left, top, right, bottom), inclusive.
PARTS = [
    (11, 2, 13, 14),   # index finger, its tip at the hot spot's row + 1
    (15, 8, 17, 14),   # middle finger
    (19, 9, 21, 15),   # ring finger
    (23, 11, 25, 16),  # little finger
    (11, 14, 25, 23),  # palm
    (8, 15, 10, 19),   # thumb
    (6, 13, 8, 17),
    (5, 12, 6, 14),
    (9, 19, 11, 22),
    (12, 23, 24, 27),  # wrist
]


def inside(x, y):
    return any(l <= x <= r and t <= y <= b for l, t, r, b in PARTS)


def pixel(x, y):
    """'W' white, 'B' black outline, '.' transparent."""
    if inside(x, y):
        return "W"
    if any(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
        return "B"
    return "."


def mask_rows(bit_of):
    """Bottom-up rows of a 1-bit mask, 4 bytes each."""
    out = b""
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | bit_of(pixel(x, y))
        out += struct.pack(">I", bits)
    return out


def main():
    assert pixel(*HOT_SPOT) == "B", "the hot spot must lie on the fingertip"
    xor_mask = mask_rows(lambda p: 1 if p == "W" else 0)
    and_mask = mask_rows(lambda p: 1 if p == "." else 0)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    target = pathlib.Path(__file__).resolve().parent.parent / "resources" / "hand.cur"
    target.write_bytes(directory + entry + image)
    for y in range(SIZE):
        print("".join(pixel(x, y) for x in range(SIZE)))
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
