"""Pictures as rows of RGB bytes, read and written through ImageMagick (no numpy)."""
import re
import shutil
import subprocess
from pathlib import Path

# /usr/local/bin may hold a stand-in `convert`; the real one is ImageMagick's.
CONVERT = "/usr/bin/convert" if Path("/usr/bin/convert").exists() else (shutil.which("convert") or "convert")


class Image:
    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError("pixel data does not match the size")
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    @classmethod
    def load(cls, path):
        data = subprocess.run([CONVERT, str(path), "-depth", "8", "-alpha", "off", "ppm:-"],
                              check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        width, height = int(header[1]), int(header[2])
        return cls(width, height, data[header.end():header.end() + width * height * 3])

    @classmethod
    def test_pattern(cls, width, height):
        """Red grows to the right, green downwards, blue is x XOR y: a moved piece shows."""
        return cls(width, height, b"".join(bytes(v for x in range(width) for v in (
            x * 255 // max(width - 1, 1), y * 255 // max(height - 1, 1), (x ^ y) & 255)) for y in range(height)))

    def save(self, path):
        header = f"P6\n{self.width} {self.height}\n255\n".encode()
        subprocess.run([CONVERT, "ppm:-", str(path)], input=header + self.rgb, check=True)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"({x}, {y}) is outside {self.width}x{self.height}")
        offset = (y * self.width + x) * 3
        return tuple(self.rgb[offset:offset + 3])

    def row(self, y):
        return self.rgb[y * self.width * 3:(y + 1) * self.width * 3]

    def crop(self, x, y, width, height):
        if x < 0 or y < 0 or x + width > self.width or y + height > self.height:
            raise IndexError(f"{width}x{height}+{x}+{y} is outside {self.width}x{self.height}")
        return Image(width, height, b"".join(self.row(y + r)[x * 3:(x + width) * 3] for r in range(height)))

    def count(self, colour):
        return sum(1 for p in zip(self.rgb[0::3], self.rgb[1::3], self.rgb[2::3]) if p == tuple(colour))

    def differing_pixels(self, other):
        """(x, y) of every pixel that differs from `other`, of the same size."""
        return [(x, y) for y in range(self.height) if self.row(y) != other.row(y)
                for x in range(self.width) if self.pixel(x, y) != other.pixel(x, y)]

    def __eq__(self, other):
        return isinstance(other, Image) and (self.width, self.rgb) == (other.width, other.rgb)
