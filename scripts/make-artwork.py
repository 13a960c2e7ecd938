#!/usr/bin/env python3
"""Draws the setup program's artwork into a folder:

    logo.bmp          the product logo, 64 x 64, 24 bits per pixel: a "V" above the name
    logo-150.bmp      the same logo drawn for 150 % (96 x 96) and for 200 % (128 x 128), with
    logo-200.bmp      8 bits per pixel and only the colours they use, run-length encoded
    menu-preview.bmp  AutoCAD's menu bar with the add-on's menu open, 303 x 175, 8 bits, run-length encoded
    setup.ico         the program's icon: 48, 32 and 16 pixels, each at 4, 8 and 32 bits

    scripts/make-artwork.py OUTDIR

Plain Python, no imaging library: shapes are filled with 4 x 4 samples per pixel.
"""
import os
import struct
import sys

WHITE = (255, 255, 255)
BLUE = (32, 72, 150)
ICON_BLUE = (24, 48, 140)  # close to navy, so that the 16-colour images stay blue
GREEN = (10, 70, 40)
FACE = (160, 180, 220)
GREY = (236, 236, 236)
DARK = (70, 70, 70)
LINE = (150, 150, 150)
HIGHLIGHT = (51, 153, 255)

# A 5 x 7 pixel font, enough for the few words drawn here.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    " ": ["00000"] * 7,
}


class Canvas:
    def __init__(self, width, height, colour=WHITE, alpha=255):
        self.width, self.height = width, height
        self.pixels = [[(colour, alpha)] * width for _ in range(height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        (old, alpha) = self.pixels[y][x]
        mixed = tuple(round(o + (c - o) * coverage) for o, c in zip(old, colour))
        self.pixels[y][x] = (mixed, max(alpha, round(255 * coverage)))

    def rectangle(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y][x] = (colour, 255)

    def box(self, left, top, right, bottom, colour):
        """Fills a rectangle whose edges may fall inside pixels, anti-aliased."""
        for y in range(max(int(top), 0), min(int(bottom) + 1, self.height)):
            for x in range(max(int(left), 0), min(int(right) + 1, self.width)):
                across = min(right, x + 1) - max(left, x)
                down = min(bottom, y + 1) - max(top, y)
                if across > 0 and down > 0:
                    self.blend(x, y, colour, across * down)

    def polygon(self, points, colour):
        """Fills a polygon given in pixel units, anti-aliased."""
        samples = [(i + 0.5) / 4 for i in range(4)]
        xs, ys = [x for x, _ in points], [y for _, y in points]
        for y in range(max(int(min(ys)), 0), min(int(max(ys)) + 1, self.height)):
            for x in range(max(int(min(xs)), 0), min(int(max(xs)) + 1, self.width)):
                inside = sum(contains(points, x + sx, y + sy) for sx in samples for sy in samples)
                self.blend(x, y, colour, inside / 16)

    def text(self, left, top, words, colour, scale=1):
        """Writes in the 5 x 7 font; a `scale` that is not whole gives anti-aliased dots."""
        for index, letter in enumerate(words):
            for row, bits in enumerate(GLYPHS[letter]):
                for column, bit in enumerate(bits):
                    if bit == "1":
                        x = left + (index * 6 + column) * scale
                        y = top + row * scale
                        self.box(x, y, x + scale, y + scale, colour)


def contains(points, x, y):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def letter_v(size, left, top):
    """The stylised V, inside a square of `size` pixels."""
    unit = size / 48
    shape = [(0, 0), (13, 0), (24, 31), (35, 0), (48, 0), (30, 46), (18, 46)]
    return [(left + x * unit, top + y * unit) for x, y in shape]


def rows_bottom_up(canvas):
    return reversed(canvas.pixels)


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def bmp24(canvas):
    rows = b"".join(padded(bytes(v for (c, _) in row for v in reversed(c)))
                    for row in rows_bottom_up(canvas))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows),
                       2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    return header + info + rows


def bmp8(canvas):
    """An 8-bit image with a palette of the colours it uses, run-length encoded (BI_RLE8)."""
    palette = sorted({c for row in canvas.pixels for (c, _) in row})
    if len(palette) > 256:
        raise ValueError("more than 256 colours")
    index = {c: i for i, c in enumerate(palette)}
    rows = b"".join(rle8([index[c] for (c, _) in row]) for row in rows_bottom_up(canvas)) + b"\0\1"
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 1, len(rows),
                       2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + colours + rows


def rle8(indexes):
    """One row as runs of one colour (at most 255 long), ended by the end-of-line mark."""
    encoded, start = bytearray(), 0
    while start < len(indexes):
        end = start
        while end < len(indexes) and end - start < 255 and indexes[end] == indexes[start]:
            end += 1
        encoded += bytes((end - start, indexes[start]))
        start = end
    return bytes(encoded) + b"\0\0"


def draw_logo(size):
    """The logo drawn for `size` pixels; at 64 it is the logo of 100 %."""
    unit = size / 64
    canvas = Canvas(size, size)
    canvas.polygon(letter_v(40 * unit, 12 * unit, 4 * unit), BLUE)
    canvas.box(12 * unit, 48 * unit, 52 * unit, 49 * unit, FACE)
    canvas.text(15 * unit, 53 * unit, "VORTEL", GREEN, unit)
    return canvas


def draw_menu_preview():
    canvas = Canvas(303, 175, GREY)
    canvas.rectangle(0, 0, 303, 20, (250, 250, 250))
    canvas.rectangle(0, 20, 303, 21, LINE)
    left = 8
    for word in ["FILE", "EDIT", "VIEW", "DRAW"]:
        canvas.text(left, 7, word, DARK)
        left += len(word) * 6 + 14
    canvas.rectangle(left - 5, 2, left + 40, 19, HIGHLIGHT)
    canvas.text(left, 7, "VORTEL", WHITE)
    menu_left, menu_top = left - 5, 21
    canvas.rectangle(menu_left, menu_top, menu_left + 110, menu_top + 130, LINE)
    canvas.rectangle(menu_left + 1, menu_top + 1, menu_left + 109, menu_top + 129, WHITE)
    for row in range(7):
        y = menu_top + 8 + row * 17
        if row == 2:
            canvas.rectangle(menu_left + 2, y - 4, menu_left + 108, y + 11, FACE)
            canvas.polygon([(menu_left + 100, y), (menu_left + 104, y + 3.5),
                            (menu_left + 100, y + 7)], DARK)
        canvas.rectangle(menu_left + 10, y + 2, menu_left + 40 + (row * 13) % 40, y + 5, DARK)
    sub_left, sub_top = menu_left + 110, menu_top + 38
    canvas.rectangle(sub_left, sub_top, sub_left + 80, sub_top + 72, LINE)
    canvas.rectangle(sub_left + 1, sub_top + 1, sub_left + 79, sub_top + 71, WHITE)
    for row in range(4):
        y = sub_top + 10 + row * 16
        canvas.rectangle(sub_left + 10, y, sub_left + 30 + (row * 17) % 35, y + 3, DARK)
    return canvas


def draw_icon(size):
    canvas = Canvas(size, size, WHITE, alpha=0)
    corner = size / 6
    square = [(corner, 0), (size - corner, 0), (size, corner), (size, size - corner),
              (size - corner, size), (corner, size), (0, size - corner), (0, corner)]
    canvas.polygon(square, ICON_BLUE)
    inset = size / 6
    canvas.polygon(letter_v(size - 2 * inset, inset, inset * 1.15), WHITE)
    return canvas


def vga_palette():
    levels = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
              (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
              (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    return levels


def cube_palette():
    steps = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in steps for g in steps for b in steps]
    colours += [(v, v, v) for v in range(8, 256, 7)][:40]
    return colours[:256] + [(0, 0, 0)] * (256 - len(colours[:256]))


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def icon_image(canvas, bits):
    width, height = canvas.width, canvas.height
    rows = []
    palette = []
    if bits == 32:
        for row in rows_bottom_up(canvas):
            rows.append(bytes(v for (c, a) in row for v in (c[2], c[1], c[0], a)))
    else:
        palette = vga_palette() if bits == 4 else cube_palette()
        cache = {}
        for row in rows_bottom_up(canvas):
            indexes = [cache.setdefault(c, nearest(palette, c)) for (c, a) in row]
            if bits == 4:
                packed = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, width, 2))
            else:
                packed = bytes(indexes)
            rows.append(padded(packed))
    mask = []
    for row in rows_bottom_up(canvas):
        value = 0
        line = bytearray()
        for x, (_, alpha) in enumerate(row):
            value = (value << 1) | (1 if alpha < 128 else 0)
            if x % 8 == 7:
                line.append(value)
                value = 0
        mask.append(padded(bytes(line)))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0,
                       len(palette), 0)
    return info + colours + b"".join(rows) + b"".join(mask)


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, bits, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits,
                               len(image), offset + len(data))
        data += image
    return directory + entries + data


def main(folder):
    os.makedirs(folder, exist_ok=True)
    outputs = {
        "logo.bmp": bmp24(draw_logo(64)),
        "logo-150.bmp": bmp8(draw_logo(96)),
        "logo-200.bmp": bmp8(draw_logo(128)),
        "menu-preview.bmp": bmp8(draw_menu_preview()),
        "setup.ico": ico([(size, bits, icon_image(draw_icon(size), bits))
                          for size in (48, 32, 16) for bits in (4, 8, 32)]),
    }
    for name, content in outputs.items():
        with open(os.path.join(folder, name), "wb") as output:
            output.write(content)


if __name__ == "__main__":
    main(sys.argv[1])
