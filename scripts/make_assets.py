#!/usr/bin/env python3
"""Generate Pellform's binary resources (icons, About picture, its outline
region and the Read Me text) with the standard library alone.

Run from anywhere:  python3 scripts/make_assets.py
Files are written under res/ next to this script's parent directory.
"""

import math
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "res")

ICON_SIZE = 32
ABOUT_W, ABOUT_H = 300, 218
MAGENTA = (255, 0, 255)


# ---------------------------------------------------------------------------
# Shared helpers
# ---------------------------------------------------------------------------

def write_file(rel_path, data):
    path = os.path.join(RES, rel_path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (os.path.relpath(path, ROOT), len(data)))


def grow(mask, w, h):
    """Pixels next to (8-neighbourhood) but outside a boolean mask: used to
    put a one-pixel outline around a shape."""
    ring = set()
    for y in range(h):
        for x in range(w):
            if mask[y][x]:
                continue
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    yy, xx = y + dy, x + dx
                    if 0 <= yy < h and 0 <= xx < w and mask[yy][xx]:
                        ring.add((x, y))
    return ring


def ico_bytes(pixels, colors):
    """Build a one-image .ico: 32 x 32, 8 bpp, 256-entry palette.

    pixels:  32 rows (top first) of palette indices, None = transparent.
    colors: up to 256 (r, g, b); the rest of the palette is padded black.
    """
    n = ICON_SIZE
    assert len(colors) <= 256
    palette = list(colors) + [(0, 0, 0)] * (256 - len(colors))
    # Transparent pixels must be color index 0 (black) in the XOR image so
    # that AND-then-XOR leaves the screen untouched; keep index 0 black.
    assert palette[0] == (0, 0, 0)

    xor_rows, and_rows = [], []
    for row in pixels:
        xor_rows.append(bytes(0 if p is None else p for p in row))
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (31 - x)          # leftmost pixel = MSB
        and_rows.append(struct.pack(">I", bits))  # 4 bytes: already 32-bit padded
    # DIB rows are stored bottom-up.
    xor_data = b"".join(reversed(xor_rows))
    and_data = b"".join(reversed(and_rows))

    # BITMAPINFOHEADER: biHeight counts XOR + AND halves, hence 2 * n.
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 8, 0,
                         len(xor_data) + len(and_data), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    image = header + pal + xor_data + and_data

    # ICONDIR + one ICONDIRENTRY (color count 0 means 256 colors).
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", n, n, 0, 0, 1, 8, len(image), 6 + 16)
    return icondir + entry + image


def blank_icon():
    return [[None] * ICON_SIZE for _ in range(ICON_SIZE)]


# ---------------------------------------------------------------------------
# 1. Editor icon: greyscale face
# ---------------------------------------------------------------------------

def make_editor_icon():
    colors = [
        (0, 0, 0),        # 0 transparent / black
        (48, 48, 48),     # 1 outline, eyes, mouth
        (128, 128, 128),  # 2 shadow
        (168, 168, 168),  # 3 mid grey
        (208, 208, 208),  # 4 light grey
        (240, 240, 240),  # 5 highlight / eye glint
    ]
    px = blank_icon()
    cx = cy = 15.5
    radius = 14.6
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            d = math.hypot(x - cx, y - cy)
            if d > radius:
                continue
            if d > radius - 1.4:
                px[y][x] = 1
                continue
            # Light from the upper left: shade by distance to a highlight spot.
            s = math.hypot(x - 10.5, y - 9.5)
            px[y][x] = 5 if s < 3.5 else 4 if s < 10 else 3 if s < 16 else 2

    # Eyes: dark ovals with a light glint so they read at 32 px.
    for ex in (10.5, 20.5):
        for y in range(ICON_SIZE):
            for x in range(ICON_SIZE):
                if ((x - ex) / 2.0) ** 2 + ((y - 11.5) / 2.8) ** 2 <= 1.0:
                    px[y][x] = 1
        px[10][int(ex - 0.5)] = 5

    # Mouth: lower arc of a circle (a smile).
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            d = math.hypot(x - 15.5, y - 14.0)
            if 7.6 <= d <= 9.2 and y >= 19 and 8 <= x <= 23:
                px[y][x] = 1

    # Nose: a short shadow line.
    for y in (15, 16, 17):
        px[y][15] = 2
    px[17][16] = 2

    write_file("icons/editor.ico", ico_bytes(px, colors))


# ---------------------------------------------------------------------------
# 2. Error icon: red octagon with a raised white hand
# ---------------------------------------------------------------------------

# The hand as pixel art (palm facing the viewer, fingers up, thumb left);
# '#' = white, '+' = grey edge for definition against the red.
HAND = [
    "......##......",
    "...##.##......",
    "...##.##.##...",
    "...##.##.##...",
    "...##.##.##.##",
    "...##.##.##.##",
    "...##.##.##.##",
    "...##.##.##.##",
    "...##########+",
    "##.##########+",
    "###.#########+",
    ".############+",
    "..###########+",
    "...##########.",
    "....########+.",
    ".....#######..",
    ".....#######..",
]


def make_error_icon():
    colors = [
        (0, 0, 0),        # 0 transparent / black
        (128, 0, 0),      # 1 dark red outline
        (220, 24, 24),    # 2 red face
        (255, 255, 255),  # 3 white hand
        (200, 200, 200),  # 4 hand shading
        (250, 90, 90),    # 5 light red rim
    ]
    px = blank_icon()
    c = 15.5

    def in_octagon(x, y, a):
        # Regular octagon with apothem a: square clipped by a rotated square.
        dx, dy = abs(x - c), abs(y - c)
        return dx <= a and dy <= a and dx + dy <= a * math.sqrt(2)

    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            if not in_octagon(x, y, 15.6):
                continue
            if not in_octagon(x, y, 14.4):
                px[y][x] = 1
            elif not in_octagon(x, y, 13.2):
                px[y][x] = 5
            else:
                px[y][x] = 2

    top, left = 7, 9
    for r, line in enumerate(HAND):
        for k, ch in enumerate(line):
            if ch == "#":
                px[top + r][left + k] = 3
            elif ch == "+":
                px[top + r][left + k] = 4

    write_file("icons/error.ico", ico_bytes(px, colors))


# ---------------------------------------------------------------------------
# 3. Question icon: yellow question mark
# ---------------------------------------------------------------------------

def make_question_icon():
    colors = [
        (0, 0, 0),        # 0 transparent / black
        (140, 100, 0),    # 1 dark amber outline
        (255, 210, 0),    # 2 yellow
        (255, 240, 120),  # 3 pale yellow highlight
        (225, 170, 0),    # 4 deeper yellow shade
    ]
    n = ICON_SIZE
    shape = [[False] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            fx, fy = x + 0.5, y + 0.5
            # Hook: thick ring around (16, 10.5) from the left end over the
            # top and round to the bottom; the lower-left quarter stays open.
            d = math.hypot(fx - 16, fy - 10.5)
            ang = math.degrees(math.atan2(fy - 10.5, fx - 16))  # y grows down
            hook = 3.4 <= d <= 8.0 and not (90 < ang < 180)
            # Stem: straight down from the bottom of the ring.
            stem = 13.6 <= fx <= 18.4 and 14.0 <= fy <= 21.5
            dot = math.hypot(fx - 16, fy - 26.5) <= 2.9
            shape[y][x] = hook or stem or dot

    def inside(x, y):
        return 0 <= x < n and 0 <= y < n and shape[y][x]

    px = blank_icon()
    for y in range(n):
        for x in range(n):
            if not shape[y][x]:
                continue
            # Bevel: lit edges facing the upper left, shaded ones facing the
            # lower right, so the glyph looks raised.
            if not inside(x - 1, y - 1):
                px[y][x] = 3
            elif not inside(x + 1, y + 1):
                px[y][x] = 4
            else:
                px[y][x] = 2
    for (x, y) in grow(shape, n, n):
        px[y][x] = 1

    write_file("icons/question.ico", ico_bytes(px, colors))


# ---------------------------------------------------------------------------
# 4. About picture (GIF89a with a hand-written LZW encoder)
# ---------------------------------------------------------------------------

ABOUT_COLORS = [
    MAGENTA,          # 0 background: the mask color, cut away by the region
    (24, 32, 64),     # 1 dark outline
    (40, 70, 140),    # 2 title band
    (230, 236, 245),  # 3 panel
    (120, 140, 180),  # 4 "words"
    (250, 190, 40),   # 5 logo
    (200, 120, 20),   # 6 logo shade
    (255, 255, 255),  # 7 white
]


def in_round_rect(x, y, l, t, r, b, rad):
    """Pixel (x, y) inside the rounded rectangle [l, r) x [t, b)."""
    if not (l <= x < r and t <= y < b):
        return False
    fx, fy = x + 0.5, y + 0.5
    cx = min(max(fx, l + rad), r - rad)
    cy = min(max(fy, t + rad), b - rad)
    return (fx - cx) ** 2 + (fy - cy) ** 2 <= rad * rad


def about_pixels():
    w, h = ABOUT_W, ABOUT_H
    px = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if not in_round_rect(x, y, 6, 6, w - 6, h - 6, 28):
                continue
            if not in_round_rect(x, y, 9, 9, w - 9, h - 9, 25):
                px[y][x] = 1
            elif y < 60:
                px[y][x] = 2
            else:
                px[y][x] = 3

    # Logo: a sun-like disc in the title band.
    for y in range(14, 56):
        for x in range(24, 70):
            d = math.hypot(x + 0.5 - 46, y + 0.5 - 35)
            if d <= 17:
                px[y][x] = 6 if d > 14 else 5

    # Title "word" in white blocks next to the logo.
    for i, length in enumerate((38, 26, 44)):
        x0 = 80 + sum((38, 26, 44)[:i]) + 10 * i
        for y in range(27, 43):
            for x in range(x0, x0 + length):
                if in_round_rect(x, y, x0, 27, x0 + length, 43, 5):
                    px[y][x] = 7

    # Body "text": lines of rounded dashes of varying length.
    lengths = [[40, 22, 56, 30, 48], [28, 60, 18, 44, 36],
               [52, 24, 40, 62], [34, 46, 20, 30, 50], [58, 26, 44]]
    for row, words in enumerate(lengths):
        y0 = 78 + row * 22
        x0 = 30
        for length in words:
            if x0 + length > w - 30:
                break
            for y in range(y0, y0 + 8):
                for x in range(x0, x0 + length):
                    if in_round_rect(x, y, x0, y0, x0 + length, y0 + 8, 4):
                        px[y][x] = 4
            x0 += length + 9
    return px


def lzw_encode(indices, min_code_size):
    """GIF-flavoured LZW: variable code width from min_code_size + 1 to 12
    bits, codes packed LSB first, clear code at the start and whenever the
    table fills."""
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = 0      # bit accumulator
    nbits = 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def fresh_table():
        return {(i,): i for i in range(clear)}

    table = fresh_table()
    next_code = eoi + 1
    width = min_code_size + 1
    emit(clear, width)

    w = (indices[0],)
    for k in indices[1:]:
        wk = w + (k,)
        if wk in table:
            w = wk
            continue
        emit(table[w], width)
        if next_code < 4095:
            table[wk] = next_code
            next_code += 1
            # The decoder lags one entry behind, so widen only once the
            # entry just added no longer fits the current width.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            # Table full: start over rather than keep stale entries.
            emit(clear, width)
            table = fresh_table()
            next_code = eoi + 1
            width = min_code_size + 1
        w = (k,)
    emit(table[w], width)
    emit(eoi, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_bytes(px, colors):
    h, w = len(px), len(px[0])
    bits = max(1, (len(colors) - 1).bit_length())
    table_size = 1 << bits
    pal = list(colors) + [(0, 0, 0)] * (table_size - len(colors))

    out = bytearray(b"GIF89a")
    # Logical screen: global color table present, 8-bit color resolution.
    out += struct.pack("<HHBBB", w, h, 0x80 | 0x70 | (bits - 1), 0, 0)
    out += b"".join(bytes(c) for c in pal)
    # Image descriptor: full screen, no local table, not interlaced.
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, w, h, 0)
    min_code_size = max(2, bits)
    data = lzw_encode([p for row in px for p in row], min_code_size)
    out.append(min_code_size)
    for i in range(0, len(data), 255):       # data sub-blocks
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)     # block terminator
    out.append(0x3B)  # trailer
    return bytes(out)


def make_about_gif():
    px = about_pixels()
    # The region below is cut by magenta, so it must show in all corners.
    for (x, y) in ((0, 0), (ABOUT_W - 1, 0), (0, ABOUT_H - 1),
                   (ABOUT_W - 1, ABOUT_H - 1)):
        assert ABOUT_COLORS[px[y][x]] == MAGENTA
    write_file("about.gif", gif_bytes(px, ABOUT_COLORS))
    return px


# ---------------------------------------------------------------------------
# 5. About outline region (RGNDATA block)
# ---------------------------------------------------------------------------

def row_spans(row, keep):
    """Runs [left, right) of pixels for which keep(value) is true."""
    spans, x, w = [], 0, len(row)
    while x < w:
        if keep(row[x]):
            start = x
            while x < w and keep(row[x]):
                x += 1
            spans.append((start, x))
        else:
            x += 1
    return spans


def make_about_region(px):
    keep = lambda i: ABOUT_COLORS[i] != MAGENTA
    rows = [row_spans(row, keep) for row in px]
    # The extra full-width strip just below the picture.
    rows.append([(0, ABOUT_W)])

    # Banded form: one band per run of rows with identical x-spans.
    bands = []   # [top, bottom, spans]
    for y, spans in enumerate(rows):
        if not spans:
            continue
        if bands and bands[-1][1] == y and bands[-1][2] == spans:
            bands[-1][1] = y + 1
        else:
            bands.append([y, y + 1, spans])
    assert bands[-1][:2] == [ABOUT_H, ABOUT_H + 1], "strip must stay its own band"

    rects = [(l, t, r, b) for (t, b, spans) in bands for (l, r) in spans]
    bound = (min(r[0] for r in rects), min(r[1] for r in rects),
             max(r[2] for r in rects), max(r[3] for r in rects))
    n = len(rects)
    data = struct.pack("<IIII4i", 32, 1, n, n * 16, *bound)
    data += b"".join(struct.pack("<4i", *r) for r in rects)
    write_file("about_outline.rgn", data)
    print("  region: N=%d rcBound=%s" % (n, bound))
    return n, bound


# ---------------------------------------------------------------------------
# 6. Read Me text
# ---------------------------------------------------------------------------

README = """Pellform - region builder for WinAsm
====================================

What it is
----------
Pellform is an add-in that turns a picture into a GDI region.
Every pixel that does not have the mask color becomes part of
the region; the result is saved as a .rgn file holding the
RGNDATA block (header plus rectangles) that ExtCreateRegion
accepts. Load the file as raw data in your program, pass it to
ExtCreateRegion and give the region to SetWindowRgn to get a
window of any shape.

How to use it
-------------
1. Image > Load... opens the picture to build the region from.
2. Image > Pick mask color, then click a pixel of the picture
   that should be cut away (usually the background). If you
   know the exact value, Image > Enter mask RGB... does the
   same. The region is built at once.
3. The Region menu chooses how the region is shown over the
   picture: hidden, as a mask or as transparency.
4. File > Save as... writes the region to a .rgn file.
   File > Open... loads a saved region again.

Editing the raw data
--------------------
Region > View raw data... lists the header and the rectangles.
Rectangles can be combined with the region (OR, AND, XOR,
DIFF), deleted, or the whole region moved by an offset. Save
keeps the changes, Cancel drops them.

Using the file in your program
------------------------------
Add the .rgn file to your resource script as RCDATA, or read
it from disk. Pass its size and a pointer to its bytes to
ExtCreateRegion (the XFORM pointer may be NULL), then hand the
new region to SetWindowRgn. Windows owns the region after that
call, so do not delete it yourself.

Installing the add-in
---------------------
Copy Pellform_WA.dll into the AddIns folder of WinAsm, start
WinAsm and switch the add-in on in its Add-In Manager. The
item "Pellform" then appears in the add-ins menu; choosing it
opens this editor, choosing it again brings the editor back.
"""


def make_readme():
    text = README.replace("\n", "\r\n")
    data = text.encode("ascii")
    assert 1500 <= len(data) <= 2100, len(data)
    assert not data.endswith(b"\0")
    write_file("readme.txt", data)


def main():
    make_editor_icon()
    make_error_icon()
    make_question_icon()
    px = make_about_gif()
    make_about_region(px)
    make_readme()


if __name__ == "__main__":
    main()
