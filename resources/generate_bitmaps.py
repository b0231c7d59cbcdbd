#!/usr/bin/env python3
"""Draws the editor's four bitmaps and writes them as uncompressed Windows BMP files.

    python3 resources/generate_bitmaps.py          # draw, write, then re-read and check
    python3 resources/generate_bitmaps.py --check  # only check the files already here

Drawing needs Pillow (Debian: python3-pil) and the Liberation fonts (fonts-liberation);
checking uses the standard library only. The output is deterministic: the same packages give
the same bytes on every run. After writing, every file is read back from disk and the layout
rules the editor relies on are checked, so a drawing change that breaks them fails here.
"""

import argparse
import functools
import math
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
FONT_DIR = pathlib.Path("/usr/share/fonts/truetype/liberation")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
PALE_RED = (224, 201, 202)
TRACK_GREY = (204, 204, 204)
SLATE = (47, 54, 66)
ACCENT = (196, 84, 88)
MUTED = (118, 124, 134)
TICK_GREY = (196, 196, 196)

# Frame coordinates of the editor layout the background has to fit.
LOGO_BOX = (15, 9, 233, 57)  # left, top, right, bottom; right and bottom exclusive
READOUT_BOX = (64, 330, 186, 345)
SLIDER_COLUMNS = ((105, 121), (130, 146))
SLIDER_ROWS = (70, 320)
LETTER_ROWS = (351, 366)
LETTER_CENTRES = {"M": 94, "S": 155}
NAME_ROWS = (398, 418)
TICK_COLUMNS = ((97, 103), (148, 154))

# Slider handle geometry: the handle's top edge is at 70 + trunc((1 - value) * 237) and it is 12
# rows tall, so its centre row is 6 below that. The ticks mark these gains.
HANDLE_TRAVEL_TOP = 70
HANDLE_TRAVEL = 237
HANDLE_CENTRE = 6
TICK_DECIBELS = (6.0, 3.0, 0.0, -3.0, -6.0, -12.0, -24.0)


# ---------------------------------------------------------------------------------------------
# BMP files


def bmp_row_stride(width, bits):
    return (width * bits // 8 + 3) & ~3


def encode_bmp(width, height, bits, top_down_rows, palette=None):
    """Builds a BITMAPFILEHEADER + BITMAPINFOHEADER file with bottom-up rows.

    top_down_rows holds one bytes object per row, visual top first: BGR triples for 24-bit
    images, palette indices for 8-bit ones.
    """
    stride = bmp_row_stride(width, bits)
    palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette or []))
    pixel_offset = 14 + 40 + len(palette_bytes)
    pixels = b"".join(row.ljust(stride, b"\0") for row in reversed(top_down_rows))
    file_header = struct.pack("<2sIHHI", b"BM", pixel_offset + len(pixels), 0, 0, pixel_offset)
    pixels_per_metre = 2835  # 72 dpi
    info_header = struct.pack(
        "<IiiHHIIiiII",
        40,
        width,
        height,
        1,
        bits,
        0,  # BI_RGB: uncompressed
        len(pixels),
        pixels_per_metre,
        pixels_per_metre,
        len(palette or []),
        0,
    )
    return file_header + info_header + palette_bytes + pixels


class CheckFailed(Exception):
    """A bitmap file breaks a rule the editor relies on."""


def require(condition, message):
    # An explicit test rather than assert, which python -O would skip.
    if not condition:
        raise CheckFailed(message)


class Bmp:
    """An uncompressed bottom-up BMP file read back for checking."""

    def __init__(self, data):
        magic, file_size, _, _, pixel_offset = struct.unpack_from("<2sIHHI", data, 0)
        require(magic == b"BM", "not a BMP file")
        require(file_size == len(data), f"file size field {file_size} != {len(data)}")
        (header_size, self.width, self.height, planes, self.bits, compression, _, _, _,
         colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
        require(header_size == 40, f"info header of {header_size} bytes, not BITMAPINFOHEADER")
        require(planes == 1 and compression == 0, "compressed or multi-plane bitmap")
        require(self.height > 0, "rows must be stored bottom-up")
        self.palette = []
        if self.bits == 8:
            count = colours_used or 256
            for i in range(count):
                b, g, r, _ = data[54 + 4 * i : 58 + 4 * i]
                self.palette.append((r, g, b))
        else:
            require(self.bits == 24, f"unexpected depth {self.bits}")
        stride = bmp_row_stride(self.width, self.bits)
        require(pixel_offset + stride * self.height <= len(data), "pixel data truncated")
        self.indices = None
        self.rows = []
        stored = [data[pixel_offset + stride * i : pixel_offset + stride * (i + 1)]
                  for i in range(self.height)]
        for raw in reversed(stored):
            if self.bits == 24:
                self.rows.append([(raw[3 * x + 2], raw[3 * x + 1], raw[3 * x])
                                  for x in range(self.width)])
            else:
                self.rows.append([self.palette[raw[x]] for x in range(self.width)])

    def pixel(self, x, y):
        """Colour at column x, row y counted from the visual top."""
        return self.rows[y][x]

    def pixels(self):
        for y, row in enumerate(self.rows):
            for x, colour in enumerate(row):
                yield x, y, colour


# ---------------------------------------------------------------------------------------------
# Drawing. Pillow is imported inside these functions so that --check runs without it.


def font(name, size):
    from PIL import ImageFont

    # The basic layout engine keeps the output independent of whether libraqm is installed.
    return ImageFont.truetype(str(FONT_DIR / name), size, layout_engine=ImageFont.Layout.BASIC)


def mix(ground, ink, coverage):
    """One channel of ink laid over ground with coverage/255, rounded to the nearest level."""
    step = (ink - ground) * coverage
    rounded = (abs(step) + 127) // 255
    return ground + (rounded if step >= 0 else -rounded)


def text_coverage(size, text, typeface, origin, spacing=0):
    """Anti-aliased coverage mask ("L" image) of text drawn with its ink's top-left at origin.

    spacing adds that many pixels between letters, for tracked lettering.
    """
    from PIL import Image, ImageDraw

    mask = Image.new("L", size, 0)
    draw = ImageDraw.Draw(mask)
    x, y = origin
    if spacing == 0:
        left, top, _, _ = draw.textbbox((0, 0), text, font=typeface)
        draw.text((x - left, y - top), text, font=typeface, fill=255)
        return mask
    _, top, _, _ = draw.textbbox((0, 0), text, font=typeface)
    for letter in text:
        left, _, right, _ = draw.textbbox((0, 0), letter, font=typeface)
        draw.text((x - left, y - top), letter, font=typeface, fill=255)
        x += right - left + spacing
    return mask


def tracked_ink_width(draw, text, typeface, spacing):
    widths = []
    for letter in text:
        left, _, right, _ = draw.textbbox((0, 0), letter, font=typeface)
        widths.append(right - left)
    return sum(widths) + spacing * (len(text) - 1)


def ink_size(draw, text, typeface):
    left, top, right, bottom = draw.textbbox((0, 0), text, font=typeface)
    return right - left, bottom - top


def paint_coverage(image, mask, colour):
    """Inks image with colour through mask, each pixel blended towards the ground by coverage.

    The blend is done here rather than by Pillow so that pixels under full coverage are
    exactly the ink colour and partial ones lie on the line from the ground to it.
    """
    pixels = image.load()
    coverage = mask.load()
    width, height = mask.size
    for y in range(height):
        for x in range(width):
            a = coverage[x, y]
            if a == 0:
                continue
            ground = pixels[x, y]
            pixels[x, y] = tuple(mix(g, c, a) for g, c in zip(ground, colour))


def rounded_tile_coverage(image_size, left, top, size):
    """Coverage of a rounded square, drawn four times larger and averaged for smooth corners."""
    from PIL import Image, ImageDraw

    scale = 4
    tile = Image.new("L", (size * scale, size * scale), 0)
    ImageDraw.Draw(tile).rounded_rectangle((0, 0, size * scale - 1, size * scale - 1),
                                           size * scale // 5, fill=255)
    mask = Image.new("L", image_size, 0)
    mask.paste(tile.resize((size, size), Image.Resampling.BOX), (left, top))
    return mask


def draw_mark(image, left, top, size):
    """The Brisolen mark: a rounded slate tile with "M" and "S" split by an accent bar."""
    from PIL import ImageDraw

    draw = ImageDraw.Draw(image)
    paint_coverage(image, rounded_tile_coverage(image.size, left, top, size), SLATE)
    letters = font("LiberationSans-Bold.ttf", size * 9 // 20)
    bar_width = max(2, size // 16)
    bar_left = left + (size - bar_width) // 2
    bar_inset = size // 5
    draw.rectangle((bar_left, top + bar_inset, bar_left + bar_width - 1,
                    top + size - 1 - bar_inset), fill=ACCENT)
    centre_row = top + size // 2
    for letter, centre in (("M", left + size * 27 // 100), ("S", left + size * 73 // 100)):
        width, height = ink_size(draw, letter, letters)
        mask = text_coverage(image.size, letter, letters,
                             (centre - width // 2, centre_row - height // 2))
        paint_coverage(image, mask, WHITE)


def handle_top_for_decibels(db):
    """Frame row of the slider handle's top edge for a gain in decibels."""
    gain = 10.0 ** (db / 20.0)
    value = gain * 0.9 if gain <= 1.0 else 0.9 + (gain - 1.0) / 10.0
    value = min(max(value, 0.0), 1.0)
    return HANDLE_TRAVEL_TOP + math.trunc((1.0 - value) * HANDLE_TRAVEL)


def draw_ticks(image):
    """Short scale marks beside the two tracks, a longer one at unity gain."""
    from PIL import ImageDraw

    draw = ImageDraw.Draw(image)
    for db in TICK_DECIBELS:
        row = handle_top_for_decibels(db) + HANDLE_CENTRE
        inset = 0 if db == 0.0 else 2
        (left_first, left_end), (right_first, right_end) = TICK_COLUMNS
        draw.line((left_first + inset, row, left_end - 1, row), fill=TICK_GREY)
        draw.line((right_first, row, right_end - 1 - inset, row), fill=TICK_GREY)


def draw_background():
    from PIL import Image, ImageDraw

    image = Image.new("RGB", (250, 420), WHITE)
    draw = ImageDraw.Draw(image)

    # Logo strip: the mark, then the product name over the maker's name, centred as a group.
    mark_size = 42
    mark_gap = 12
    title = font("LiberationSans-Bold.ttf", 30)
    maker = font("LiberationSans-Regular.ttf", 12)
    title_width, title_height = ink_size(draw, "Brisolen", title)
    mark_left = (250 - (mark_size + mark_gap + title_width)) // 2
    mark_top = 12
    draw_mark(image, mark_left, mark_top, mark_size)
    text_left = mark_left + mark_size + mark_gap
    paint_coverage(image, text_coverage(image.size, "Brisolen", title, (text_left, mark_top + 2)),
                   SLATE)
    rule_row = mark_top + 2 + title_height + 5
    draw.line((text_left, rule_row, text_left + title_width - 1, rule_row), fill=ACCENT)
    maker_width, _ = ink_size(draw, ".tarnwick.", maker)
    paint_coverage(image, text_coverage(image.size, ".tarnwick.", maker,
                                        (text_left + title_width - maker_width, rule_row + 4)),
                   MUTED)

    # Scale marks beside the tracks.
    draw_ticks(image)

    # The letters under the two readouts.
    letters = font("LiberationSans-Bold.ttf", 15)
    for letter, centre in LETTER_CENTRES.items():
        width, height = ink_size(draw, letter, letters)
        top = LETTER_ROWS[0] + (LETTER_ROWS[1] - LETTER_ROWS[0] - height) // 2
        paint_coverage(image, text_coverage(image.size, letter, letters,
                                            (centre - width // 2, top)), BLACK)

    # The product name along the bottom edge, tracked out.
    name = font("LiberationSans-Bold.ttf", 15)
    spacing = 3
    width = tracked_ink_width(draw, "Brisolen", name, spacing)
    _, height = ink_size(draw, "Brisolen", name)
    top = 415 - height
    paint_coverage(image, text_coverage(image.size, "Brisolen", name,
                                        ((250 - width) // 2, top), spacing), PALE_RED)
    return image


def draw_track():
    from PIL import Image, ImageDraw

    image = Image.new("RGB", (16, 250), WHITE)
    ImageDraw.Draw(image).line((8, 0, 8, 249), fill=TRACK_GREY)
    return image


# Grey levels of the 14 x 12 fader cap, one string per row, visual top first. Each character is
# a level: "W" pure white (left out when the handle is drawn keyed over the track), "o" outline,
# "c" rounded corner, "h" highlight, "1".."4" the face shading from light to dark, "g" the groove,
# "l" the light line under the groove, "s" the drop shadow.
HANDLE_ROWS = (
    "WWWWWWWWWWWWWs",
    "cooooooooooocs",
    "oh1111111111os",
    "Wh1111111111os",
    "o12222222222os",
    "o22222222222os",
    "ogggggggggggos",
    "olllllllllllos",
    "o33333333333os",
    "o44444444444os",
    "o44444444444os",
    "cooooooooooocs",
)
HANDLE_LEVELS = {
    "W": 255,
    "o": 88,
    "c": 150,
    "h": 250,
    "1": 236,
    "2": 224,
    "3": 210,
    "4": 198,
    "g": 60,
    "l": 246,
    "s": 176,
}


def handle_indices():
    return [bytes(HANDLE_LEVELS[c] for c in row) for row in HANDLE_ROWS]


def draw_info():
    from PIL import Image, ImageDraw

    background = (247, 245, 242)
    image = Image.new("RGB", (200, 150), background)
    draw = ImageDraw.Draw(image)
    draw.rectangle((0, 0, 199, 149), outline=(150, 150, 158))
    draw.rectangle((3, 3, 196, 146), outline=(226, 222, 218))

    mark_size = 30
    title = font("LiberationSans-Bold.ttf", 24)
    title_width, title_height = ink_size(draw, "Brisolen", title)
    gap = 9
    group_left = (200 - (mark_size + gap + title_width)) // 2
    mark_top = 16
    draw_mark(image, group_left, mark_top, mark_size)
    title_top = mark_top + (mark_size - title_height) // 2
    paint_coverage(image, text_coverage(image.size, "Brisolen", title,
                                        (group_left + mark_size + gap, title_top)), SLATE)

    draw.line((40, 60, 159, 60), fill=ACCENT)
    lines = (
        ("Version 1.1.0", font("LiberationSans-Regular.ttf", 13), SLATE, 72),
        ("Mid/side level", font("LiberationSans-Regular.ttf", 13), SLATE, 91),
        ("by .tarnwick.", font("LiberationSans-Italic.ttf", 12), MUTED, 120),
    )
    for text, typeface, colour, top in lines:
        width, _ = ink_size(draw, text, typeface)
        paint_coverage(image, text_coverage(image.size, text, typeface, ((200 - width) // 2, top)),
                       colour)
    return image


def rgb_rows(image):
    """The image's rows, visual top first, as BMP's blue-green-red byte triples."""
    width, height = image.size
    red, green, blue = (band.tobytes() for band in image.split())
    rows = []
    for y in range(height):
        row = bytearray(3 * width)
        span = slice(width * y, width * (y + 1))
        row[0::3], row[1::3], row[2::3] = blue[span], green[span], red[span]
        rows.append(bytes(row))
    return rows


# ---------------------------------------------------------------------------------------------
# Checks on the files as written


def inside(x, y, box):
    left, top, right, bottom = box
    return left <= x < right and top <= y < bottom


def on_ink_line(colour, ink):
    """True if colour is exactly what some coverage of ink over white gives."""
    return colour in ink_blends(ink)


@functools.cache
def ink_blends(ink):
    return frozenset(tuple(mix(255, c, a) for c in ink) for a in range(256))


def check_background(bmp):
    require((bmp.width, bmp.height, bmp.bits) == (250, 420, 24), "background must be 250x420x24")
    letter_box = (0, LETTER_ROWS[0], 250, LETTER_ROWS[1])
    name_box = (0, NAME_ROWS[0], 250, NAME_ROWS[1])
    tick_boxes = [(first, SLIDER_ROWS[0], end, SLIDER_ROWS[1]) for first, end in TICK_COLUMNS]
    letter_ink = {letter: [] for letter in LETTER_CENTRES}
    name_solid = 0
    for x, y, colour in bmp.pixels():
        if colour == WHITE:
            continue
        for first, end in SLIDER_COLUMNS:
            in_slider = first <= x < end and SLIDER_ROWS[0] <= y < SLIDER_ROWS[1]
            require(not in_slider, f"slider area not white at ({x}, {y})")
        require(not inside(x, y, READOUT_BOX), f"readout box not white at ({x}, {y})")
        if inside(x, y, LOGO_BOX):
            continue
        if inside(x, y, letter_box):
            require(on_ink_line(colour, BLACK), f"letter pixel ({x}, {y}) is {colour}")
            letter = min(LETTER_CENTRES, key=lambda k: abs(LETTER_CENTRES[k] - x))
            letter_ink[letter].append(x)
            continue
        if inside(x, y, name_box):
            require(on_ink_line(colour, PALE_RED), f"name pixel ({x}, {y}) is {colour}")
            name_solid += colour == PALE_RED
            continue
        if any(inside(x, y, box) for box in tick_boxes):
            require(colour == TICK_GREY, f"tick pixel ({x}, {y}) is {colour}")
            continue
        raise CheckFailed(f"stray pixel {colour} at ({x}, {y})")
    for letter, columns in letter_ink.items():
        require(columns, f"letter {letter} missing")
        centre = (min(columns) + max(columns)) / 2
        wanted = LETTER_CENTRES[letter]
        require(abs(centre - wanted) <= 1, f"letter {letter} centred at {centre}, not {wanted}")
        solid = any(bmp.pixel(x, y) == BLACK for x in columns for y in range(*LETTER_ROWS))
        require(solid, f"letter {letter} has no solid black")
    require(name_solid > 20, "product name has too few solid pale red pixels")
    logo_ink = sum(1 for x, y, c in bmp.pixels() if c != WHITE and inside(x, y, LOGO_BOX))
    require(logo_ink > 500, "logo strip is empty")


def check_track(bmp):
    require((bmp.width, bmp.height, bmp.bits) == (16, 250, 24), "track must be 16x250x24")
    for x, y, colour in bmp.pixels():
        expected = TRACK_GREY if x == 8 else WHITE
        require(colour == expected, f"track pixel ({x}, {y}) is {colour}, not {expected}")


def check_handle(bmp):
    require((bmp.width, bmp.height, bmp.bits) == (14, 12, 8), "handle must be 14x12x8")
    require(bmp.palette == [(i, i, i) for i in range(256)], "handle palette must be grey-scale")
    white = {(x, 0) for x in range(13)} | {(0, 3)}
    for x, y, colour in bmp.pixels():
        if (x, y) in white:
            require(colour == WHITE, f"handle pixel ({x}, {y}) must be white")
        else:
            require(max(colour) <= 254, f"handle pixel ({x}, {y}) must not be white")


def check_info(bmp):
    require((bmp.width, bmp.height, bmp.bits) == (200, 150, 24), "info must be 200x150x24")
    border = [bmp.pixel(x, y) for x in range(200) for y in (0, 149)]
    border += [bmp.pixel(x, y) for y in range(150) for x in (0, 199)]
    require(len(set(border)) == 1 and max(border[0]) < 200, "info needs a one-colour dark border")
    inner = bmp.pixel(100, 4 + 1)
    require(min(inner) >= 230, "info background must be light")
    dark = sum(1 for _, _, c in bmp.pixels() if max(c) < 128)
    require(dark > 300, "info image carries no text")


BITMAPS = (
    ("background.bmp", check_background),
    ("track.bmp", check_track),
    ("handle.bmp", check_handle),
    ("info.bmp", check_info),
)


def check_all():
    for name, check in BITMAPS:
        bmp = Bmp((HERE / name).read_bytes())
        check(bmp)
        print(f"checked {name}: {bmp.width}x{bmp.height}x{bmp.bits}")


def generate_all():
    files = {
        "background.bmp": encode_bmp(250, 420, 24, rgb_rows(draw_background())),
        "track.bmp": encode_bmp(16, 250, 24, rgb_rows(draw_track())),
        "handle.bmp": encode_bmp(14, 12, 8, handle_indices(), [(i, i, i) for i in range(256)]),
        "info.bmp": encode_bmp(200, 150, 24, rgb_rows(draw_info())),
    }
    for name, data in files.items():
        (HERE / name).write_bytes(data)
        print(f"wrote {HERE / name} ({len(data)} bytes)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only check the existing files")
    args = parser.parse_args()
    if not args.check:
        try:
            import PIL  # noqa: F401  (only to report its absence clearly)
        except ImportError:
            print("drawing needs Pillow: apt-get install python3-pil fonts-liberation, then run "
                  "this with /usr/bin/python3 (--check works without it)", file=sys.stderr)
            return 2
        generate_all()
    try:
        check_all()
    except CheckFailed as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
