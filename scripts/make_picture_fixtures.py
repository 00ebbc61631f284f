#!/usr/bin/env python3
"""Writes the PNG, TIFF and icon pictures of tests/data/wic with the standard
library only, so every byte (color type, bit depth, interlacing, palette
transparency) is chosen here. The pixel values follow Color(), Grey() and
Alpha(), which the Windows tests compute in the same way."""
import os
import struct
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
    files.update(BentSignatures())
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
