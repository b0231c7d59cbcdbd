#!/usr/bin/env python3
"""Compares the editor states the Windows test host captured with the golden images our own
Win32 layer draws, and names every region where they differ.

Usage: compare_captures.py CAPTURE_DIRECTORY GOLDEN_DIRECTORY

For each golden image of an editor state (editor-*.png) and of the toolkit gallery as opened
(gallery-opened.png) the capture directory must hold the same name as .ppm (the window read back
from the screen) and as .parts (the parts in that state: left top right bottom kind name, right
and bottom exclusive, kind "text" or "drawing"). Differing pixels are grouped into
connected regions (8-neighbourhood); each region is printed with its bounding box, its pixel
count and the parts it touches. Text is antialiased by each font renderer in its own way, so a
region that lies wholly inside a text part is reported but allowed; any other region fails.
A difference image NAME-diff.ppm is written beside each capture that differs.
Exits with 1 when a capture is missing or any region outside text differs.
"""

import os
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# The golden images the Windows test host captures the same states for: the mid/side editor's
# states and the toolkit gallery as opened.
COMPARED_GOLDENS = ("editor-", "gallery-opened")
CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


class Image:
    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb  # bytes, three per pixel, rows top to bottom

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i : i + 3]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(data, width, height, stride):
    rows = []
    previous = bytearray(width * stride)
    offset = 0
    for _ in range(height):
        kind = data[offset]
        row = bytearray(data[offset + 1 : offset + 1 + width * stride])
        offset += 1 + width * stride
        for i in range(len(row)):
            left = row[i - stride] if i >= stride else 0
            up = previous[i]
            upper_left = previous[i - stride] if i >= stride else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                row[i] = (row[i] + paeth(left, up, upper_left)) & 0xFF
            elif kind != 0:
                raise ValueError(f"unknown PNG filter {kind}")
        rows.append(row)
        previous = row
    return rows


def read_png(path):
    with open(path, "rb") as file:
        data = file.read()
    if not data.startswith(PNG_SIGNATURE):
        raise ValueError(f"{path} is not a PNG file")
    offset = len(PNG_SIGNATURE)
    compressed = b""
    while offset < len(data):
        (length,) = struct.unpack(">I", data[offset : offset + 4])
        kind = data[offset + 4 : offset + 8]
        body = data[offset + 8 : offset + 8 + length]
        offset += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in CHANNELS or interlace != 0:
                raise ValueError(f"{path}: only 8-bit, non-interlaced, non-palette PNGs are read")
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    stride = CHANNELS[colour]
    rows = unfilter(zlib.decompress(compressed), width, height, stride)
    rgb = bytearray()
    for row in rows:
        for x in range(width):
            p = row[x * stride : x * stride + stride]
            rgb += bytes((p[0], p[0], p[0])) if stride < 3 else bytes(p[:3])
    return Image(width, height, bytes(rgb))


def read_ppm(path):
    with open(path, "rb") as file:
        data = file.read()
    fields = []
    offset = 0
    while len(fields) < 4:
        while data[offset : offset + 1].isspace():
            offset += 1
        end = offset
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[offset:end])
        offset = end
    offset += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"{path} is not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return Image(width, height, data[offset : offset + width * height * 3])


def write_ppm(path, image):
    with open(path, "wb") as file:
        file.write(b"P6\n%d %d\n255\n" % (image.width, image.height))
        file.write(image.rgb)


def read_parts(path):
    parts = []
    with open(path) as file:
        for line in file:
            fields = line.split(maxsplit=5)
            if len(fields) == 6:
                left, top, right, bottom = (int(v) for v in fields[:4])
                parts.append((left, top, right, bottom, fields[4] == "text", fields[5].strip()))
    return parts


def differing_regions(expected, actual):
    """Connected groups of differing pixels as (left, top, right, bottom, count), inclusive."""
    width, height = expected.width, expected.height
    differs = bytearray(width * height)
    for i in range(width * height):
        differs[i] = expected.rgb[i * 3 : i * 3 + 3] != actual.rgb[i * 3 : i * 3 + 3]
    regions = []
    for start in range(width * height):
        if not differs[start]:
            continue
        differs[start] = 0
        stack = [start]
        left, top, right, bottom, count = width, height, -1, -1, 0
        while stack:
            i = stack.pop()
            x, y = i % width, i // width
            left, top, right, bottom = min(left, x), min(top, y), max(right, x), max(bottom, y)
            count += 1
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < width and 0 <= ny < height and differs[ny * width + nx]:
                        differs[ny * width + nx] = 0
                        stack.append(ny * width + nx)
        regions.append((left, top, right, bottom, count))
    return regions


def parts_touched(region, parts):
    left, top, right, bottom, _ = region
    touched = [
        part
        for part in parts
        if left < part[2] and right >= part[0] and top < part[3] and bottom >= part[1]
    ]
    return touched


def inside_text(region, parts):
    left, top, right, bottom, _ = region
    return any(
        part[4] and part[0] <= left and right < part[2] and part[1] <= top and bottom < part[3]
        for part in parts
    )


def difference_image(expected, actual):
    rgb = bytearray()
    for i in range(expected.width * expected.height):
        e = expected.rgb[i * 3 : i * 3 + 3]
        if e != actual.rgb[i * 3 : i * 3 + 3]:
            rgb += b"\xff\x00\x00"
        else:
            rgb += bytes(192 + c // 4 for c in e)
    return Image(expected.width, expected.height, bytes(rgb))


def compare(name, capture_directory, golden_directory):
    """Prints the comparison of one state; returns the number of regions that fail."""
    capture_path = os.path.join(capture_directory, name + ".ppm")
    parts_path = os.path.join(capture_directory, name + ".parts")
    if not os.path.exists(capture_path) or not os.path.exists(parts_path):
        print(f"FAIL {name}: no capture (the Windows test host did not reach this state)")
        return 1
    expected = read_png(os.path.join(golden_directory, name + ".png"))
    actual = read_ppm(capture_path)
    if (expected.width, expected.height) != (actual.width, actual.height):
        print(
            f"FAIL {name}: captured {actual.width}x{actual.height}, "
            f"golden {expected.width}x{expected.height}"
        )
        return 1
    parts = read_parts(parts_path)
    regions = differing_regions(expected, actual)
    if not regions:
        print(f"ok   {name}: identical to the golden image")
        return 0
    write_ppm(os.path.join(capture_directory, name + "-diff.ppm"), difference_image(expected, actual))
    failing = 0
    for region in regions:
        left, top, right, bottom, count = region
        touched = parts_touched(region, parts)
        where = ", ".join(part[5] for part in touched) if touched else "background"
        box = f"({left}, {top})-({right}, {bottom}), {count} pixel(s), in {where}"
        if inside_text(region, parts):
            print(f"text {name}: {box}: allowed, text antialiasing may differ")
        else:
            print(f"FAIL {name}: {box}")
            failing += 1
    return failing


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    capture_directory, golden_directory = sys.argv[1], sys.argv[2]
    names = sorted(
        entry[:-4]
        for entry in os.listdir(golden_directory)
        if entry.startswith(COMPARED_GOLDENS) and entry.endswith(".png")
    )
    failing = sum(compare(name, capture_directory, golden_directory) for name in names)
    print(
        f"{len(names)} state(s) compared; "
        + ("every difference lies in text" if failing == 0 else f"{failing} region(s) differ")
    )
    return 1 if failing else 0


if __name__ == "__main__":
    sys.exit(main())
