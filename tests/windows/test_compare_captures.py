#!/usr/bin/env python3
"""Checks compare_captures.py on small made-up images: where it allows a difference, where it
fails, and how it names the regions. Run: python3 -m unittest tests/windows/test_compare_captures.py
"""

import contextlib
import io
import os
import struct
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import compare_captures  # noqa: E402

WIDTH, HEIGHT = 12, 8
WHITE = b"\xff\xff\xff"
PARTS = "0 0 6 4 drawing logo strip\n6 4 12 8 text Mid readout\n"


def png_bytes(width, height, rgb, filter_kind):
    """An RGB PNG whose rows all use one filter, so that the decoder's filters are exercised."""
    stride = width * 3
    raw = bytearray()
    previous = bytes(stride)
    for y in range(height):
        row = rgb[y * stride : (y + 1) * stride]
        if filter_kind == 1:
            encoded = bytes((row[i] - (row[i - 3] if i >= 3 else 0)) & 0xFF for i in range(stride))
        elif filter_kind == 2:
            encoded = bytes((row[i] - previous[i]) & 0xFF for i in range(stride))
        else:
            encoded = row
        raw += bytes((filter_kind,)) + encoded
        previous = row

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (
        compare_captures.PNG_SIGNATURE
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(bytes(raw)))
        + chunk(b"IEND", b"")
    )


def gradient():
    return bytes((x * 20 + y) & 0xFF for y in range(HEIGHT) for x in range(WIDTH) for _ in range(3))


class CompareCaptures(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.golden = os.path.join(self.directory.name, "golden")
        self.captures = os.path.join(self.directory.name, "captures")
        os.mkdir(self.golden)
        os.mkdir(self.captures)

    def tearDown(self):
        self.directory.cleanup()

    def write_state(self, name, golden_rgb, captured_rgb, filter_kind=0, parts=PARTS):
        with open(os.path.join(self.golden, name + ".png"), "wb") as file:
            file.write(png_bytes(WIDTH, HEIGHT, golden_rgb, filter_kind))
        if captured_rgb is not None:
            compare_captures.write_ppm(
                os.path.join(self.captures, name + ".ppm"),
                compare_captures.Image(WIDTH, HEIGHT, captured_rgb),
            )
            with open(os.path.join(self.captures, name + ".parts"), "w") as file:
                file.write(parts)

    def run_compare(self, name):
        output = io.StringIO()
        with contextlib.redirect_stdout(output):
            failing = compare_captures.compare(name, self.captures, self.golden)
        return failing, output.getvalue()

    def test_every_filter_decodes_to_the_same_pixels(self):
        image = gradient()
        for filter_kind in (0, 1, 2):
            self.write_state("editor-a", image, image, filter_kind)
            failing, output = self.run_compare("editor-a")
            self.assertEqual(failing, 0)
            self.assertEqual(output, "ok   editor-a: identical to the golden image\n")

    def test_a_difference_inside_text_is_allowed_and_named(self):
        captured = bytearray(WHITE * WIDTH * HEIGHT)
        captured[(5 * WIDTH + 8) * 3] = 0
        failing, output = self.run_or_write("editor-b", WHITE * WIDTH * HEIGHT, bytes(captured))
        self.assertEqual(failing, 0)
        self.assertIn("(8, 5)-(8, 5), 1 pixel(s), in Mid readout: allowed", output)

    def test_differences_outside_text_fail_with_their_regions(self):
        captured = bytearray(WHITE * WIDTH * HEIGHT)
        for x, y in ((1, 1), (2, 2), (9, 1)):  # two touching pixels, one apart
            captured[(y * WIDTH + x) * 3 + 1] = 0
        failing, output = self.run_or_write("editor-c", WHITE * WIDTH * HEIGHT, bytes(captured))
        self.assertEqual(failing, 2)
        self.assertIn("FAIL editor-c: (1, 1)-(2, 2), 2 pixel(s), in logo strip", output)
        self.assertIn("FAIL editor-c: (9, 1)-(9, 1), 1 pixel(s), in background", output)
        self.assertTrue(os.path.exists(os.path.join(self.captures, "editor-c-diff.ppm")))

    def test_a_region_reaching_out_of_the_text_fails(self):
        captured = bytearray(WHITE * WIDTH * HEIGHT)
        for x, y in ((5, 4), (6, 4)):
            captured[(y * WIDTH + x) * 3] = 0
        failing, output = self.run_or_write("editor-d", WHITE * WIDTH * HEIGHT, bytes(captured))
        self.assertEqual(failing, 1)
        self.assertIn("in Mid readout", output)

    def test_a_missing_capture_fails(self):
        self.write_state("editor-e", WHITE * WIDTH * HEIGHT, None)
        failing, output = self.run_compare("editor-e")
        self.assertEqual(failing, 1)
        self.assertIn("no capture", output)

    def run_or_write(self, name, golden_rgb, captured_rgb):
        self.write_state(name, golden_rgb, captured_rgb)
        return self.run_compare(name)


if __name__ == "__main__":
    unittest.main()
