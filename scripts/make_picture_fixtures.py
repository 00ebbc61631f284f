#!/usr/bin/env python3
"""Writes the PNG, TIFF and icon pictures of tests/data/wic with the standard
library only, so every byte (color type, bit depth, interlacing, palette
transparency) is chosen here. The pixel values follow Color(), Grey() and
Alpha(), which the Windows tests compute in the same way."""
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "wic")
WIDTH, HEIGHT = 10, 7
ALPHAS = [255, 0, 128, 64, 1, 254]


def Color(x, y):
    return ((x * 37 + 5) & 255, (y * 53 + 9) & 255, (x * y * 7 + 11) & 255)


def Grey(x, y):
    return (x * 29 + y * 11) & 255


def Alpha(x, y):
    return ALPHAS[(x + 2 * y) % 6]


def Chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def Png(width, height, color_type, depth, sample, interlaced=False, palette=None, trns=None):
    """sample(x, y) gives the pixel's samples (ints at `depth` bits)."""
    def Row(xs, y):
        out = b"\0"
        if depth < 8:
            values = [value for x in xs for value in sample(x, y)]
            values += [0] * (-len(values) % (8 // depth))
            for i in range(0, len(values), 8 // depth):
                byte = 0
                for value in values[i:i + 8 // depth]:
                    byte = byte << depth | value
                out += bytes([byte])
            return out
        for x in xs:
            for value in sample(x, y):
                out += struct.pack(">H", value) if depth == 16 else bytes([value])
        return out

    raw = b""
    if interlaced:
        for x0, y0, dx, dy in ADAM7:
            xs = list(range(x0, width, dx))
            if not xs:
                continue
            for y in range(y0, height, dy):
                raw += Row(xs, y)
    else:
        for y in range(height):
            raw += Row(range(width), y)
    header = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, 1 if interlaced else 0)
    data = b"\x89PNG\r\n\x1a\n" + Chunk(b"IHDR", header)
    if palette is not None:
        data += Chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns is not None:
        data += Chunk(b"tRNS", trns)
    return data + Chunk(b"IDAT", zlib.compress(raw, 9)) + Chunk(b"IEND", b"")


def Wide(values):
    return tuple(v * 257 for v in values)


def Tiff(width, height, with_alpha):
    samples = 4 if with_alpha else 3
    pixels = b"".join(bytes(Color(x, y) + ((Alpha(x, y),) if with_alpha else ()))
                      for y in range(height) for x in range(width))
    bits_offset = 8
    pixels_offset = bits_offset + 2 * samples
    ifd_offset = pixels_offset + len(pixels)
    ifd_offset += ifd_offset & 1
    tags = [(256, 4, 1, width), (257, 4, 1, height), (258, 3, samples, bits_offset), (259, 3, 1, 1),
            (262, 3, 1, 2), (273, 4, 1, pixels_offset), (277, 3, 1, samples), (278, 4, 1, height),
            (279, 4, 1, len(pixels)), (284, 3, 1, 1)]
    if with_alpha:
        tags.append((338, 3, 1, 2))  # unassociated alpha
    data = b"II" + struct.pack("<HI", 42, ifd_offset) + struct.pack("<%dH" % samples, *([8] * samples)) + pixels
    data += b"\0" * (ifd_offset - len(data))
    data += struct.pack("<H", len(tags))
    for tag, kind, count, value in tags:
        data += struct.pack("<HHI", tag, kind, count) + (struct.pack("<HH", value, 0) if kind == 3 and count == 1
                                                          else struct.pack("<I", value))
    return data + struct.pack("<I", 0)


def IconImage(size, pixel):
    """A 32-bit icon image; pixel(x, y) gives (r, g, b, a)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colors = b"".join(bytes((b, g, r, a)) for y in reversed(range(size)) for x in range(size)
                       for r, g, b, a in [pixel(x, y)])
    mask_row = (size + 31) // 32 * 4
    mask = b""
    for y in reversed(range(size)):
        bits = bytearray(mask_row)
        for x in range(size):
            if pixel(x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colors + mask


def Icon(images):
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, pixel in images:
        blob = IconImage(size, pixel)
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return data + b"".join(blobs)


def Lzw(pixels, min_size):
    """GIF's LZW code stream of `pixels` in sub-blocks, as giflib's encoder writes it."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    state = {"bits": min_size + 1, "next": end + 1, "acc": 0, "count": 0}
    out = bytearray()

    def Emit(code):
        state["acc"] |= code << state["count"]
        state["count"] += state["bits"]
        while state["count"] >= 8:
            out.append(state["acc"] & 255)
            state["acc"] >>= 8
            state["count"] -= 8
        if state["next"] >= 1 << state["bits"] and state["bits"] < 12:
            state["bits"] += 1

    table = {}
    Emit(clear)
    current = pixels[0]
    for pixel in pixels[1:]:
        key = (current, pixel)
        if key in table:
            current = table[key]
            continue
        Emit(current)
        if state["next"] >= 4095:
            Emit(clear)
            state["bits"], state["next"] = min_size + 1, end + 1
            table = {}
        else:
            table[key] = state["next"]
            state["next"] += 1
        current = pixel
    Emit(current)
    Emit(end)
    if state["count"]:
        out.append(state["acc"] & 255)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255))
    return bytes([min_size]) + blocks + b"\0"


def GifFrame(width, height, color):
    """An image descriptor (at 0, 0, no local colors) and its data, every pixel `color`."""
    return b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + Lzw(bytes([color]) * (width * height), 2)


def PastLimit():
    """Pictures that decoders took, each claiming more than the add-in takes
    somewhere a first look does not see, or not holding what they claim."""
    palette = bytes([0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0])
    # 40 x 30 on screen, blue; a second frame of 4097 x 4096 red pixels.
    gif = b"GIF89a" + struct.pack("<HHBBB", 40, 30, 0x81, 0, 0) + palette
    gif += GifFrame(40, 30, 0) + GifFrame(4097, 4096, 1) + b";"
    # A 16 x 16 image and a PNG that claims 40,000 x 40,000 over the data of 10 x 7.
    png = bytearray(Png(WIDTH, HEIGHT, 6, 8, lambda x, y: Color(x, y) + (Alpha(x, y),)))
    png[8:33] = Chunk(b"IHDR", struct.pack(">IIBBBBB", 40000, 40000, 8, 6, 0, 0, 0))
    small, claimed = IconImage(16, lambda x, y: (90, 90, 90, 255)), bytes(png)
    icon = struct.pack("<HHH", 0, 1, 2) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(small), 38)
    icon += struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(claimed), 38 + len(small)) + small + claimed
    # 40 x 30 at 24 bits, its last row two bytes short.
    rows = 30 * 120 - 2
    bmp = b"BM" + struct.pack("<IHHI", 54 + rows, 0, 0, 54)
    bmp += struct.pack("<IiiHHIIiiII", 40, 40, 30, 1, 24, 0, 0, 0, 0, 0, 0) + bytes([200]) * rows
    # A placeable metafile 5000 x 5000 pixels at 96 units an inch, holding nothing.
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 5000, 5000, 96, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", placeable):
        checksum ^= word
    wmf = placeable + struct.pack("<H", checksum) + struct.pack("<HHHIHIH", 1, 9, 0x300, 12, 0, 3, 0) + struct.pack("<IH", 3, 0)
    return {"second_frame_huge.gif": gif, "png_claims_40000.ico": icon, "short_rows.bmp": bmp, "wide.wmf": wmf}


# ---- Every kind of lossless picture both builds of the tool decode, for the
# comparison of their outputs (scripts/compare-tools): each depth, color type,
# compression and transparency the decoders know.
EW, EH = 13, 9
PALETTE = [(240, 240, 240), (0, 0, 0), (255, 0, 0), (0, 128, 255), (17, 200, 33), (250, 250, 5), (90, 60, 30),
           (128, 128, 128), (255, 255, 255), (7, 7, 200), (200, 7, 7), (1, 2, 3), (60, 0, 90), (0, 90, 60),
           (33, 66, 99), (99, 66, 33)]


def Index(x, y, count):
    return (x * 3 + y * 5 + x * y) % count if (x + y) % 4 else 0


def Pattern(x, y):
    return PALETTE[Index(x, y, 16)]


def EveryAlpha(x, y):
    return [0, 255, 128, 1, 254, 64, 200][(x + 3 * y) % 7]


def Bmp(bits, pixel=None, compression=0, header=40, colors=None, masks=None, top_down=False, data=None,
        width=EW, height=EH, colors_used=None):
    """pixel(x, y) gives the stored value: a palette index, or the packed pixel."""
    colors = colors if colors is not None else []
    entry = 3 if header == 12 else 4
    table = b"".join(bytes((b, g, r)) + (b"" if entry == 3 else b"\0") for r, g, b in colors)
    if data is None:
        rows = []
        for y in (range(height) if top_down else reversed(range(height))):
            if bits <= 8:
                value, count = 0, 0
                row = bytearray()
                for x in range(width):
                    value = value << bits | pixel(x, y)
                    count += bits
                    if count == 8:
                        row.append(value)
                        value, count = 0, 0
                if count:
                    row.append(value << (8 - count))
            else:
                row = b"".join(pixel(x, y).to_bytes(bits // 8, "little") for x in range(width))
            row = bytes(row)
            rows.append(row + b"\0" * (-len(row) % 4))
        data = b"".join(rows)
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        used = len(colors) if colors_used is None else colors_used
        info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits, compression,
                           len(data), 2835, 2835, used, 0)
        if header > 40:
            fields = list(masks or (0, 0, 0, 0)) + [0] * 4
            info += struct.pack("<IIII", *fields[:4]) + b"\0" * (header - 56)
    extra = b""
    if header == 40 and masks:
        extra = struct.pack("<%dI" % len(masks), *masks)
    offset = 14 + len(info) + len(extra) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + extra + table + data


def Rle8():
    """Runs, an absolute stretch, a delta and an early end of line."""
    out = bytearray()
    for y in range(EH):
        if y == 3:
            out += bytes([0, 2, 4, 1])  # delta: 4 right, 1 up (rows count from the bottom)
            out += bytes([3, 5, 0, 0])
            continue
        if y == 5:
            out += bytes([0, 4, 1, 2, 3, 4, 0, 0])  # absolute, then the row ends early
            continue
        out += bytes([5, y % 16, 8, (y + 3) % 16, 0, 0])
    return bytes(out + bytes([0, 1]))


def Rle4():
    out = bytearray()
    for y in range(EH):
        if y == 2:
            out += bytes([0, 5, 0x12, 0x34, 0x50, 0, 0, 0])  # absolute 5 nibbles, padded to a word
            continue
        out += bytes([7, (y % 16) << 4 | (y + 5) % 16, 6, 0x9A, 0, 0])
    return bytes(out + bytes([0, 1]))


def Dib(bits, colors, pixel, alpha_mask, size):
    """An icon image at `bits`; pixel(x, y) the stored value; alpha_mask(x, y) true where the AND mask is set."""
    bmp = Bmp(bits, pixel, colors=colors, width=size, height=size)
    header = bytearray(bmp[14:54])
    struct.pack_into("<i", header, 8, 2 * size)
    rest = bmp[54:]
    mask_row = (size + 31) // 32 * 4
    mask = b""
    for y in reversed(range(size)):
        bits_row = bytearray(mask_row)
        for x in range(size):
            if alpha_mask(x, y):
                bits_row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits_row)
    return bytes(header) + rest + mask


def IconOf(images, kind=1):
    data = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return data + b"".join(blob for _, blob in images)


def Gif(frames, width=EW, height=EH, version=b"GIF89a", global_colors=PALETTE[:8]):
    """frames: (left, top, w, h, pixel, transparent index or None, interlaced, local colors or None)."""
    def Table(colors):
        size = max(1, (len(colors) - 1).bit_length())
        return b"".join(bytes(c) for c in colors) + b"\0" * (3 * (1 << size) - 3 * len(colors)), size - 1
    table, bits = Table(global_colors)
    data = version + struct.pack("<HHBBB", width, height, 0x80 | bits, 0, 0) + table
    for left, top, w, h, pixel, transparent, interlaced, local in frames:
        if transparent is not None:
            data += b"\x21\xF9\x04" + struct.pack("<BHB", 1, 0, transparent) + b"\0"
        flags = 0x40 if interlaced else 0
        colors = b""
        if local:
            colors, local_bits = Table(local)
            flags |= 0x80 | local_bits
        order = list(range(h))
        if interlaced:
            order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]
        pixels = bytes(pixel(x, y) for y in order for x in range(w))
        data += b"," + struct.pack("<HHHHB", left, top, w, h, flags) + colors + Lzw(pixels, 4)
    return data + b";"


def TiffOf(samples, extra=None, photometric=2, pixel=None):
    """8 bits a sample, one strip, uncompressed; extra: the ExtraSamples value."""
    pixels = b"".join(bytes(pixel(x, y)) for y in range(EH) for x in range(EW))
    bits_offset = 8
    pixels_offset = bits_offset + 2 * samples
    ifd_offset = pixels_offset + len(pixels)
    ifd_offset += ifd_offset & 1
    tags = [(256, 4, 1, EW), (257, 4, 1, EH), (258, 3, samples, bits_offset if samples > 2 else 8), (259, 3, 1, 1),
            (262, 3, 1, photometric), (273, 4, 1, pixels_offset), (277, 3, 1, samples), (278, 4, 1, EH),
            (279, 4, 1, len(pixels)), (284, 3, 1, 1)]
    if extra is not None:
        tags.append((338, 3, 1, extra))
    data = b"II" + struct.pack("<HI", 42, ifd_offset) + struct.pack("<%dH" % samples, *([8] * samples)) + pixels
    data += b"\0" * (ifd_offset - len(data))
    data += struct.pack("<H", len(tags))
    for tag, kind, count, value in tags:
        if tag == 258 and samples <= 2:
            count, value = samples, 8 | (8 << 16 if samples == 2 else 0)
            data += struct.pack("<HHI", tag, kind, count) + struct.pack("<I", value)
            continue
        data += struct.pack("<HHI", tag, kind, count) + (struct.pack("<HH", value, 0) if kind == 3 and count == 1
                                                          else struct.pack("<I", value))
    return data + struct.pack("<I", 0)


def Every():
    files = {}
    index = lambda count: lambda x, y: Index(x, y, count)
    rgb = lambda x, y: Pattern(x, y)
    for depth in (1, 2, 4, 8, 16):
        top = (1 << depth) - 1
        levels = min(top + 1, 16)
        grey = lambda x, y, levels=levels, top=top: (Index(x, y, levels) * (top // (levels - 1)),)
        files["grey%d.png" % depth] = Png(EW, EH, 0, depth, grey)
        trns = struct.pack(">H", grey(0, 0)[0])
        files["grey%d_trns.png" % depth] = Png(EW, EH, 0, depth, grey, trns=trns)
    for depth in (8, 16):
        scale = 256 if depth == 16 else 1
        # The low byte of 16-bit samples varies: cutting and rounding differ.
        low = lambda x, y, scale=scale: (x * 37 + y * 11) % 256 if scale > 1 else 0
        wide = lambda x, y, scale=scale, low=low: tuple(v * scale + low(x, y) for v in Pattern(x, y))
        files["rgb%d.png" % depth] = Png(EW, EH, 2, depth, wide)
        files["rgb%d_trns.png" % depth] = Png(EW, EH, 2, depth, wide, trns=struct.pack(">HHH", *wide(0, 0)))
        files["rgba%d.png" % depth] = Png(EW, EH, 6, depth, lambda x, y, w=wide, s=scale, low=low: w(x, y) + (EveryAlpha(x, y) * s + low(x, y),))
        files["grey_alpha%d.png" % depth] = Png(EW, EH, 4, depth, lambda x, y, s=scale: (Index(x, y, 16) * 16 * s, EveryAlpha(x, y) * s))
        files["rgba%d_interlaced.png" % depth] = Png(EW, EH, 6, depth, lambda x, y, w=wide, s=scale: w(x, y) + (EveryAlpha(x, y) * s,), interlaced=True)
    for depth in (1, 2, 4, 8):
        count = 1 << depth
        # Every index within the palette: what decoders make of others differs.
        used = min(count, 16)
        files["palette%d.png" % depth] = Png(EW, EH, 3, depth, lambda x, y, c=used: (Index(x, y, c),), palette=PALETTE[:used])
        files["palette%d_trns.png" % depth] = Png(EW, EH, 3, depth, lambda x, y, c=used: (Index(x, y, c),), palette=PALETTE[:used], trns=bytes([0, 128, 255][:used]))
    files["palette8_interlaced.png"] = Png(EW, EH, 3, 8, lambda x, y: (Index(x, y, 16),), palette=PALETTE, interlaced=True)

    for bits in (1, 4, 8):
        count = 1 << bits
        files["bmp%d.bmp" % bits] = Bmp(bits, index(min(count, 16)), colors=PALETTE[:min(count, 16)])
    files["bmp8_few_colors.bmp"] = Bmp(8, index(5), colors=PALETTE[:5])
    files["bmp8_core.bmp"] = Bmp(8, index(16), header=12, colors=PALETTE[:16] + [(0, 0, 0)] * 240)
    pack555 = lambda x, y: (Pattern(x, y)[0] >> 3) << 10 | (Pattern(x, y)[1] >> 3) << 5 | Pattern(x, y)[2] >> 3 | (x & 1) << 15
    pack565 = lambda x, y: (Pattern(x, y)[0] >> 3) << 11 | (Pattern(x, y)[1] >> 2) << 5 | Pattern(x, y)[2] >> 3
    files["bmp16.bmp"] = Bmp(16, pack555)
    files["bmp16_565.bmp"] = Bmp(16, pack565, compression=3, masks=(0xF800, 0x7E0, 0x1F))
    packed = lambda x, y: Pattern(x, y)[0] << 16 | Pattern(x, y)[1] << 8 | Pattern(x, y)[2]
    files["bmp24.bmp"] = Bmp(24, packed)
    files["bmp24_top_down.bmp"] = Bmp(24, packed, top_down=True)
    files["bmp32.bmp"] = Bmp(32, lambda x, y: packed(x, y) | EveryAlpha(x, y) << 24)
    files["bmp32_zero_alpha.bmp"] = Bmp(32, packed)
    files["bmp32_fields.bmp"] = Bmp(32, lambda x, y: Pattern(x, y)[2] << 24 | Pattern(x, y)[1] << 16 | Pattern(x, y)[0] << 8 | EveryAlpha(x, y),
                                    compression=3, masks=(0xFF00, 0xFF0000, 0xFF000000))
    files["bmp32_v5_alpha.bmp"] = Bmp(32, lambda x, y: packed(x, y) | EveryAlpha(x, y) << 24, compression=3, header=124,
                                      masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000))
    files["bmp8_rle.bmp"] = Bmp(8, compression=1, colors=PALETTE, data=Rle8())
    files["bmp4_rle.bmp"] = Bmp(4, compression=2, colors=PALETTE, data=Rle4())

    size = 16
    mask = lambda x, y: (x * 7 + y * 3) % 5 == 0
    files["icon1.ico"] = IconOf([(size, Dib(1, PALETTE[:2], lambda x, y: (x + y) & 1, mask, size))])
    files["icon4.ico"] = IconOf([(size, Dib(4, PALETTE, lambda x, y: Index(x, y, 16), mask, size))])
    files["icon8.ico"] = IconOf([(size, Dib(8, PALETTE, lambda x, y: Index(x, y, 16), mask, size)),
                                 (8, Dib(8, PALETTE, lambda x, y: 3, mask, 8))])
    files["icon24.ico"] = IconOf([(size, Dib(24, [], packed, mask, size))])
    files["icon32_no_alpha.ico"] = IconOf([(size, Dib(32, [], packed, mask, size))])
    files["icon32_alpha.ico"] = IconOf([(size, Dib(32, [], lambda x, y: packed(x, y) | EveryAlpha(x, y) << 24, mask, size))])
    files["icon_png.ico"] = IconOf([(8, Dib(8, PALETTE, lambda x, y: 3, mask, 8)),
                                    (EW, Png(EW, EH, 6, 8, lambda x, y: Pattern(x, y) + (EveryAlpha(x, y),)))])
    files["cursor.cur"] = IconOf([(size, Dib(4, PALETTE, lambda x, y: Index(x, y, 16), mask, size))], kind=2)

    files["plain.gif"] = Gif([(0, 0, EW, EH, index(8), None, False, None)])
    files["gif87a.gif"] = Gif([(0, 0, EW, EH, index(8), None, False, None)], version=b"GIF87a")
    files["transparent_index.gif"] = Gif([(0, 0, EW, EH, index(8), 0, False, None)])
    files["interlaced.gif"] = Gif([(0, 0, EW, EH, index(8), 2, True, None)])
    files["local_colors.gif"] = Gif([(0, 0, EW, EH, index(16), 5, False, PALETTE)])
    files["offset_frame.gif"] = Gif([(3, 2, 7, 5, index(8), 1, False, None)])
    files["two_frames.gif"] = Gif([(0, 0, EW, EH, index(8), None, False, None), (1, 1, 4, 4, lambda x, y: 2, None, False, None)])

    files["rgb.tif"] = TiffOf(3, pixel=Pattern)
    files["rgba_straight.tif"] = TiffOf(4, extra=2, pixel=lambda x, y: Pattern(x, y) + (EveryAlpha(x, y),))
    files["rgba_premultiplied.tif"] = TiffOf(4, extra=1, pixel=lambda x, y: tuple(c * EveryAlpha(x, y) // 255 for c in Pattern(x, y)) + (EveryAlpha(x, y),))
    files["grey.tif"] = TiffOf(1, photometric=1, pixel=lambda x, y: (Index(x, y, 16) * 16,))
    files["grey_alpha.tif"] = TiffOf(2, extra=2, photometric=1, pixel=lambda x, y: (Index(x, y, 16) * 16, EveryAlpha(x, y)))
    return files


def BentSignatures():
    """Signatures bent the ways a decoder still takes them: a JPEG with a stray
    byte before its first marker (libjpeg skips it) claiming 12,000 x 12,000,
    and an icon of directory type 3 (Wine's OLE picture object reads any file
    starting with two zero bytes as an icon)."""
    frame = struct.pack(">HBHHB", 11, 8, 12000, 12000, 1) + b"\x01\x11\0"
    jpeg = b"\xFF\xD8\x12\xFF\xC0" + frame + b"\xFF\xD9"
    icon = bytearray(Icon([(16, lambda x, y: (90, 90, 90, 255))]))
    icon[2] = 3
    return {"stray_byte_huge.jpg": jpeg, "icon_type_3.ico": bytes(icon)}


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--every":
        os.makedirs(sys.argv[2], exist_ok=True)
        for name, data in Every().items():
            with open(os.path.join(sys.argv[2], name), "wb") as f:
                f.write(data)
        return
    os.makedirs(OUT, exist_ok=True)
    rgb = lambda x, y: Color(x, y)
    rgba = lambda x, y: Color(x, y) + (Alpha(x, y),)
    grey_alpha = lambda x, y: (Grey(x, y), Alpha(x, y))
    files = {
        "rgba8.png": Png(WIDTH, HEIGHT, 6, 8, rgba),
        "rgb8.png": Png(WIDTH, HEIGHT, 2, 8, rgb),
        "grey_alpha16.png": Png(WIDTH, HEIGHT, 4, 16, lambda x, y: Wide(grey_alpha(x, y))),
        "rgba.tif": Tiff(WIDTH, HEIGHT, True),
        # The 32 x 32 image is the largest; the others are plain grey.
        "icon.ico": Icon([(16, lambda x, y: (90, 90, 90, 255)), (32, rgba), (24, lambda x, y: (90, 90, 90, 255))]),
    }
    # A header claiming 100,000 x 100,000 pixels over the data of 10 x 7.
    huge = bytearray(files["rgba8.png"])
    ihdr = struct.pack(">IIBBBBB", 100000, 100000, 8, 6, 0, 0, 0)
    huge[8:33] = Chunk(b"IHDR", ihdr)
    files["huge.png"] = bytes(huge)
    files["truncated.png"] = files["rgba8.png"][:60]
    files.update(PastLimit())
    # The core's own decoders are checked against these.
    checked = ("bmp1.", "bmp4.", "bmp8", "bmp16", "bmp24", "bmp32.", "bmp32_fields", "bmp32_v5", "icon8", "icon32",
               "icon_png")
    files.update({name: data for name, data in Every().items() if name.startswith(checked)})
    files.update(BentSignatures())
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
