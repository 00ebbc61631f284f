#!/usr/bin/env python3
"""Writes the seed corpus of the region file fuzzer: valid and malformed files."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', 'tests', 'fuzz', 'corpus')


def header(size, kind, count, bound=(0, 0, 0, 0)):
    return struct.pack('<4I4i', size, kind, count, (count * 16) & 0xFFFFFFFF, *bound)


def rects(items):
    return b''.join(struct.pack('<4i', *r) for r in items)


FILES = {
    'valid_empty.rgn': header(32, 1, 0),
    'valid_two.rgn': header(32, 1, 2, (0, 0, 5, 3)) + rects([(0, 0, 5, 1), (1, 1, 3, 3)]),
    'valid_strip.rgn': header(32, 1, 3, (0, 0, 40, 31)) + rects([(1, 0, 3, 10), (5, 0, 9, 10), (0, 10, 40, 31)]),
    'overlapping.rgn': header(32, 1, 4) + rects([(5, 5, 20, 9), (0, 0, 10, 10), (8, 2, 30, 4), (-7, 12, -2, 15)]),
    'inverted.rgn': header(32, 1, 2) + rects([(3, 3, 3, 40), (50, 50, 40, 60)]),
    'trailing.rgn': header(32, 1, 1) + rects([(0, 0, 1, 1)]) + b'\xee' * 13,
    'short.rgn': header(32, 1, 0)[:31],
    'type2.rgn': header(32, 2, 0),
    'size40.rgn': header(40, 1, 0) + b'\0' * 8,
    'count_past_end.rgn': header(32, 1, 2) + rects([(0, 0, 1, 1)]),
    'count_huge.rgn': header(32, 1, 0x10000000) + b'\0' * 32,
    'extremes.rgn': header(32, 1, 2) + rects([(-2**31, -2**31, 2**31 - 1, 2**31 - 1), (0, 0, 1, 1)]),
}

if __name__ == '__main__':
    os.makedirs(CORPUS, exist_ok=True)
    for name, data in FILES.items():
        with open(os.path.join(CORPUS, name), 'wb') as out:
            out.write(data)
