#!/usr/bin/env python3
"""Runs the native tool and the Windows tool (under wine) over the same
pictures with every option of build and compares what they write and say:
region files byte for byte, the lines printed and the exit status, info,
the three exports, and the pixels of render and diff pictures.

  compare_tools.py NATIVE_TOOL RUNNER WINDOWS_TOOL

The pictures: tests/data, tests/data/wic and every kind the fixture generator
makes (make_picture_fixtures.py --every). Ends with a line in ctest's words,
one comparison a test, so scripts/test counts them."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import zlib
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OPTIONS = [
    [],
    ["--mask-at", "3,2"],
    ["--mask", "000000"],
    ["--mask", "F0F0F0", "--tolerance", "40"],
    ["--mask-at", "1,1", "--tolerance", "3", "--background", "FF00FF"],
    ["--alpha-threshold", "128"],
    ["--alpha-threshold", "1"],
    ["--alpha-threshold", "0", "--background", "00FF00"],
    ["--background", "123456"],
    ["--mask-at", "0,0", "--mask-at", "5,4", "--contiguous"],
    ["--mask", "F0F0F0", "--contiguous", "--tolerance", "5"],
]


def PngPixels(path):
    """(width, height, RGBA rows) of an 8-bit RGB or RGBA PNG, or None."""
    try:
        data = open(path, "rb").read()
    except OSError:
        return None
    at, idat, header = 8, b"", None
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, color, _, _, interlace = header
    if depth != 8 or color not in (2, 6) or interlace:
        return ("unread", header)
    size = 4 if color == 6 else 3
    raw, rows, previous = zlib.decompress(idat), [], bytearray(width * size)
    stride = width * size
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - size] if i >= size else 0
            up, corner = previous[i], previous[i - size] if i >= size else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = line
        rows.append(bytes(line) if size == 4 else b"".join(bytes(line[i:i + 3]) + b"\xff" for i in range(0, stride, 3)))
    return (width, height, rows)


class Comparison:
    def __init__(self, native, windows, work):
        self.native, self.windows, self.work = native, windows, work
        self.passed, self.failed = 0, []
        self.lock = threading.Lock()

    def Run(self, tool, words):
        done = subprocess.run(tool + words, cwd=self.work, capture_output=True, timeout=600)
        return done.returncode, done.stdout, done.stderr

    def Check(self, name, same, detail=""):
        with self.lock:
            if same:
                self.passed += 1
            else:
                self.failed.append(name)
                print("DIFFERENT: %s %s" % (name, detail))

    def Both(self, name, words_of):
        """Runs both tools, words_of(side) giving each its words ('n' or 'w'); compares status and text."""
        native, windows = self.Run(self.native, words_of("n")), self.Run(self.windows, words_of("w"))
        # Names of each side's files, and the time a batch line gives, differ by design.
        clean = lambda text, side: re.sub(rb", \d+ ms$", b"", re.sub(rb"\b%s(\d+)/" % side.encode(), b"X\\1/", text), flags=re.M)
        said = [(status, clean(out, side), clean(err, side)) for (status, out, err), side in ((native, "n"), (windows, "w"))]
        self.Check(name, said[0] == said[1], "\n  native:  %.300r\n  windows: %.300r" % (said[0], said[1]))
        return native[0], windows[0]

    def SameFiles(self, name, native, windows):
        read = lambda path: open(os.path.join(self.work, path), "rb").read() if os.path.exists(os.path.join(self.work, path)) else None
        self.Check(name, read(native) == read(windows), "(%s, %s)" % (native, windows))

    def SamePixels(self, name, native, windows):
        first, second = PngPixels(os.path.join(self.work, native)), PngPixels(os.path.join(self.work, windows))
        self.Check(name, first == second and first is not None or (first is None and second is None),
                   "(pixels of %s and %s differ)" % (native, windows))


def Pictures(work):
    folder = os.path.join(work, "pictures")
    os.makedirs(folder)
    generated = os.path.join(work, "generated")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "make_picture_fixtures.py"), "--every", generated],
                   check=True)
    names = []
    for source in (os.path.join(ROOT, "tests", "data"), os.path.join(ROOT, "tests", "data", "wic"), generated):
        for name in sorted(os.listdir(source)):
            path = os.path.join(source, name)
            # The Windows build draws cursors with the picture object, whose
            # masked pixels are not the background: they are left out.
            if not os.path.isfile(path) or name.endswith(".cur"):
                continue
            # One stem a picture: the batch names its region files by it.
            stem, extension = os.path.splitext(name)
            unique = "%s_%s%s" % (stem, extension[1:], extension)
            shutil.copy(path, os.path.join(folder, unique))
            names.append("pictures/" + unique)
    return names


def main():
    native, runner, windows = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="pellform-compare.")
    try:
        pictures = Pictures(work)
        check = Comparison([os.path.abspath(native)], [os.path.abspath(runner), os.path.abspath(windows)], work)
        for number, options in enumerate(OPTIONS):
            for side in "nw":
                os.makedirs(os.path.join(work, "%s%d" % (side, number)))
            check.Both("build %s" % " ".join(options),
                       lambda side: ["build", "--out-dir", "%s%d" % (side, number)] + pictures + options)
            for picture in pictures:
                stem = os.path.splitext(os.path.basename(picture))[0]
                check.SameFiles("%s with %s" % (picture, " ".join(options)), "n%d/%s.rgn" % (number, stem),
                                "w%d/%s.rgn" % (number, stem))
        check.Both("single build", lambda side: ["build", "pictures/rgba8_png.png", "%s0/single.rgn" % side])
        # Every picture drawn by render as build decodes it; info and diff on a
        # few. Wine spends most of a call starting: several calls at once.
        def RenderAndCompare(number, picture):
            stem = os.path.splitext(os.path.basename(picture))[0]
            region = "n0/%s.rgn" % stem
            if not os.path.exists(os.path.join(work, region)):
                return
            check.Both("render " + stem,
                       lambda side: ["render", region, "-o", "%s0/%s.png" % (side, stem), "--picture", picture])
            check.SamePixels("render pixels " + stem, "n0/%s.png" % stem, "w0/%s.png" % stem)
            other = "n1/%s.rgn" % stem
            if number % 8 == 0 and os.path.exists(os.path.join(work, other)):
                check.Both("info " + stem, lambda side: ["info", region])
                check.Both("diff " + stem, lambda side: ["diff", region, other, "-o", "%s1/%s.png" % (side, stem)])
                check.SamePixels("diff pixels " + stem, "n1/%s.png" % stem, "w1/%s.png" % stem)
        with ThreadPoolExecutor(4) as pool:
            list(pool.map(RenderAndCompare, range(len(pictures)), pictures))
        region = "n0/%s.rgn" % "rgba8_png"
        for kind in ("masm", "c", "bin"):
            check.Both("export " + kind, lambda side: ["export", region, "--as", kind, "-o", "%s0/export.%s" % (side, kind)])
            check.SameFiles("export file " + kind, "n0/export." + kind, "w0/export." + kind)
        # The edges: names as typed, what is missing or refused, usage errors.
        shutil.copy(os.path.join(work, "pictures", "rgba8_png.png"), os.path.join(work, "résumé «x».png"))
        check.Both("a UTF-8 name", lambda side: ["build", "résumé «x».png", "%s0/résumé.rgn" % side, "--mask", "000000"])
        check.SameFiles("a UTF-8 name's file", "n0/résumé.rgn", "w0/résumé.rgn")
        check.Both("no such picture", lambda side: ["build", "pictures/none.png", "%s0/none.rgn" % side])
        check.Both("no such folder", lambda side: ["build", "--out-dir", "none", "pictures/rgba8_png.png"])
        for side in "nw":
            open(os.path.join(work, "%s0/kept.rgn" % side), "w").write("kept")
            os.chmod(os.path.join(work, "%s0/kept.rgn" % side), 0o444)
        check.Both("a read-only file", lambda side: ["build", "pictures/rgba8_png.png", "%s0/kept.rgn" % side])
        check.SameFiles("the old file kept", "n0/kept.rgn", "w0/kept.rgn")
        check.Both("export to standard output", lambda side: ["export", region, "--as", "c"])
        check.Both("not region data", lambda side: ["info", "pictures/rgba8_png.png"])
        check.Both("unknown option", lambda side: ["build", "pictures/rgba8_png.png", "x.rgn", "--shape", "1"])
        check.Both("mask outside", lambda side: ["build", "pictures/rgba8_png.png", "x.rgn", "--mask-at", "10,7"])
        check.Both("render scaled", lambda side: ["render", region, "-o", "%s0/scaled.png" % side, "--scale", "3"])
        check.SamePixels("render scaled pixels", "n0/scaled.png", "w0/scaled.png")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    total = check.passed + len(check.failed)
    print("%d pictures compared" % len(pictures))
    print("%d%% tests passed, %d tests failed out of %d" % (100 * check.passed // max(total, 1), len(check.failed), total))
    return 1 if check.failed else 0


if __name__ == "__main__":
    sys.exit(main())
