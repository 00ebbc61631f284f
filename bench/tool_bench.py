#!/usr/bin/env python3
"""Whole-process timings of the command-line tool: the native build and the
Windows build under wine, on the same machine in one run, each case several
times; minimum and median wall-clock time per case, and the ratio of the
medians. Prints a Markdown table.

  tool_bench.py NATIVE_TOOL RUNNER WINDOWS_TOOL [quick]

Cases: one call on res/about.gif; one call on a 4000 x 4000 PNG; 500 small
pictures built by 500 calls and by one `build --out-dir` call. quick: fewer
runs, and 50 small pictures instead of 500."""
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def Png(width, height, row):
    def Chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row(y) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + Chunk(b"IHDR", header) + Chunk(b"IDAT", zlib.compress(raw, 1)) +
            Chunk(b"IEND", b""))


def LargePng(path):
    """4000 x 4000: a disc of colors over a flat background, so the region has a
    few thousand rectangles, as a large sprite sheet might."""
    size, center, radius = 4000, 2000, 1800
    rows = []
    for y in range(size):
        dy = y - center
        half = int((radius * radius - dy * dy) ** 0.5) if abs(dy) < radius else -1
        background = b"\xF0\xF0\xF0"
        if half < 0:
            rows.append(background * size)
            continue
        inside = bytes(((x * 7 + y) & 255, (y * 3) & 255, (x + y * 5) & 255)[i] for x in range(0, 2 * half, 64)
                       for i in range(3))
        inside = (inside * 64)[:6 * half] if inside else b""
        rows.append(background * (center - half) + inside + background * (size - center - half))
    with open(path, "wb") as f:
        f.write(Png(size, size, lambda y: rows[y]))


def SmallPngs(folder, count):
    paths = []
    for i in range(count):
        path = os.path.join(folder, "icon%03d.png" % i)
        with open(path, "wb") as f:
            f.write(Png(48, 48, lambda y: b"".join(
                b"\xF0\xF0\xF0" if (x - 24) ** 2 + (y - 24) ** 2 > (10 + i % 14) ** 2 else bytes((i & 255, x * 5, y * 5))
                for x in range(48))))
        paths.append(path)
    return paths


def Time(command, runs, cwd):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        times.append(time.perf_counter() - start)
        if done.returncode != 0:
            raise SystemExit("failed: %s\n%s" % (" ".join(command), done.stderr.decode(errors="replace")))
    return times


def TimeEach(tool, pictures, out, runs, cwd):
    """The whole batch of single calls, as a Makefile rule per picture runs it."""
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        for picture in pictures:
            target = os.path.join(out, os.path.basename(picture) + ".rgn")
            subprocess.run(tool + ["build", picture, target], cwd=cwd, stdout=subprocess.DEVNULL, check=True)
        times.append(time.perf_counter() - start)
    return times


def Seconds(value):
    return "%.0f ms" % (value * 1000) if value < 10 else "%.1f s" % value


def main():
    native, runner, windows = [os.path.abspath(a) for a in sys.argv[1:4]]
    quick = len(sys.argv) > 4 and sys.argv[4] == "quick"
    work = tempfile.mkdtemp(prefix="pellform-bench.")
    try:
        tools = {"native": [native], "windows": [runner, windows]}
        large = os.path.join(work, "large.png")
        LargePng(large)
        small = SmallPngs(os.path.join(work), 50 if quick else 500)
        about = os.path.join(ROOT, "res", "about.gif")
        rows = []
        for name, runs in (("one call on res/about.gif", (20, 5)), ("one call on a 4000 x 4000 PNG", (5, 3))):
            picture = about if "about" in name else large
            measured = [Time(tools[side] + ["build", picture, os.path.join(work, side + ".rgn")], count, work)
                        for side, count in zip(("native", "windows"), (runs[0], 2 if quick else runs[1]))]
            rows.append((name, measured))
        for side in ("native", "windows"):
            os.makedirs(os.path.join(work, side))
        batch = "%d small pictures" % len(small)
        rows.append((batch + ", one call each",
                     [TimeEach(tools[side], small, os.path.join(work, side), count, work)
                      for side, count in (("native", 3), ("windows", 1))]))
        rows.append((batch + ", one --out-dir call",
                     [Time(tools[side] + ["build", "--out-dir", os.path.join(work, side)] + small, 3, work)
                      for side in ("native", "windows")]))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("| case | native min | native median | pellform.exe under wine min | median | ratio of medians |")
    print("|---|---|---|---|---|---|")
    for name, (mine, theirs) in rows:
        print("| %s | %s | %s | %s | %s | %.0f x |" % (name, Seconds(min(mine)), Seconds(statistics.median(mine)),
                                                       Seconds(min(theirs)), Seconds(statistics.median(theirs)),
                                                       statistics.median(theirs) / statistics.median(mine)))
    print("\nruns: native %s; wine %s" % (", ".join(str(len(m)) for _, (m, _) in rows),
                                            ", ".join(str(len(t)) for _, (_, t) in rows)))
    aboutMedian = statistics.median(rows[0][1][0])
    print("target: one native call on res/about.gif under 20 ms: %s" % ("met" if aboutMedian < 0.020 else "MISSED"))
    return 0 if aboutMedian < 0.020 else 1


if __name__ == "__main__":
    sys.exit(main())
