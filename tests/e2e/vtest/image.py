"""Pixel arrays without numpy: any picture ImageMagick reads, as rows of RGB bytes."""
import shutil
import subprocess
from pathlib import Path

# /usr/local/bin may hold a stand-in `convert`; the real one is ImageMagick's.
CONVERT = "/usr/bin/convert" if Path("/usr/bin/convert").exists() else (shutil.which("convert") or "convert")


def _parse_ppm(data: bytes):
    """Parses a binary PPM (P6, 8 bits) and returns (width, height, rgb bytes)."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position) + 1
            continue
        start = position
        while not data[position:position + 1].isspace():
            position += 1
        fields.append(data[start:position])
    position += 1  # the single blank after the maximum value
    magic, width, height, maximum = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P6" or maximum != 255:
        raise ValueError(f"unsupported PPM: {magic!r} with maximum {maximum}")
    pixels = data[position:position + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("truncated PPM")
    return width, height, pixels


class Image:
    def __init__(self, width: int, height: int, rgb: bytes):
        if len(rgb) != width * height * 3:
            raise ValueError("pixel data does not match the size")
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    @classmethod
    def load(cls, path) -> "Image":
        data = subprocess.run([CONVERT, str(path), "-depth", "8", "-alpha", "off", "ppm:-"],
                              check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout
        return cls(*_parse_ppm(data))

    @classmethod
    def from_ppm_bytes(cls, data: bytes) -> "Image":
        return cls(*_parse_ppm(data))

    @classmethod
    def filled(cls, width: int, height: int, colour) -> "Image":
        return cls(width, height, bytes(colour) * (width * height))

    @classmethod
    def test_pattern(cls, width: int, height: int) -> "Image":
        """Red grows to the right, green downwards, blue is x XOR y: every small
        area differs from the others, so a moved or turned piece shows."""
        rows = []
        for y in range(height):
            green = (y * 255) // max(height - 1, 1)
            rows.append(bytes(value for x in range(width)
                              for value in ((x * 255) // max(width - 1, 1), green, (x ^ y) & 255)))
        return cls(width, height, b"".join(rows))

    def save(self, path):
        """Writes any format ImageMagick knows, chosen by the file name (PNG for viewing)."""
        header = f"P6\n{self.width} {self.height}\n255\n".encode()
        subprocess.run([CONVERT, "ppm:-", str(path)], input=header + self.rgb, check=True)

    def pixel(self, x: int, y: int):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError(f"({x}, {y}) is outside {self.width}x{self.height}")
        offset = (y * self.width + x) * 3
        return tuple(self.rgb[offset:offset + 3])

    def row(self, y: int) -> bytes:
        return self.rgb[y * self.width * 3:(y + 1) * self.width * 3]

    def crop(self, x: int, y: int, width: int, height: int) -> "Image":
        if x < 0 or y < 0 or x + width > self.width or y + height > self.height:
            raise IndexError(f"{width}x{height}+{x}+{y} is outside {self.width}x{self.height}")
        rows = [self.rgb[((y + r) * self.width + x) * 3:((y + r) * self.width + x + width) * 3]
                for r in range(height)]
        return Image(width, height, b"".join(rows))

    def colours(self):
        """Every distinct colour with its pixel count."""
        counts = {}
        for colour in self._triples():
            counts[colour] = counts.get(colour, 0) + 1
        return counts

    def count(self, colour) -> int:
        target = tuple(colour)
        return sum(1 for triple in self._triples() if triple == target)

    def _triples(self):
        return zip(self.rgb[0::3], self.rgb[1::3], self.rgb[2::3])

    def differing_pixels(self, other: "Image"):
        """(x, y) of every pixel that differs; the sizes must match."""
        if (self.width, self.height) != (other.width, other.height):
            raise ValueError(f"sizes differ: {self.width}x{self.height} and {other.width}x{other.height}")
        result = []
        for y in range(self.height):
            mine, theirs = self.row(y), other.row(y)
            if mine == theirs:
                continue
            for x in range(self.width):
                if mine[x * 3:x * 3 + 3] != theirs[x * 3:x * 3 + 3]:
                    result.append((x, y))
        return result

    def __eq__(self, other):
        return isinstance(other, Image) and (self.width, self.height, self.rgb) == (
            other.width, other.height, other.rgb)

    def __repr__(self):
        return f"<Image {self.width}x{self.height}>"
