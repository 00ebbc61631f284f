#!/usr/bin/env python3
"""Writes the seed corpora: valid and malformed files for the region file fuzzer,
and for the union fuzzer the shapes that once made a union cost the product of
its parts."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, '..', 'tests', 'fuzz', 'corpus')
UNION_CORPUS = os.path.join(HERE, '..', 'tests', 'fuzz', 'union_corpus')


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


def repeat(count, first, step):
    """count + 1 rectangles (count + 1 a multiple of 2^e up to 16 x 2^e): the i-th is first + i * step, field by field."""
    e = max(0, (count + 1).bit_length() - 4)
    assert (count + 1) % (1 << e) == 0
    return struct.pack('<B4h4b', 16 * e + (count + 1 >> e) - 1, *first, *step)


def union_shapes(count):
    """The shapes, each repeat making count + 1 rectangles: a tall band of one-pixel
    spans (x = 0, 2, 4, ...) over rows 0..448 cut by thin bands in its first span,
    or by one in each span from the last one up; nested rectangles; a staircase."""
    band = repeat(count, (0, 0, 1, 448), (2, 0, 2, 0))
    side, corner = 2 * count + 2, 2 * count
    return {
        'thin_bands': band + repeat(count, (0, 0, 1, 1), (0, 2, 0, 2)),
        'comb_reversed': band + repeat(count, (corner, corner, corner + 1, corner + 1), (-2, -2, -2, -2)),
        'nested': repeat(count, (0, 0, side, side), (1, 1, -1, -1)),
        'staircase': repeat(count, (0, 0, 1, count + 1), (2, 1, 2, 0)),
    }


# Small shapes for the fuzzers to grow, and the same at 128 and 192 to a repeat,
# where a union that costs the product of its parts passes its bound at once
# (the largest staircase has 18,528 rectangles). Each file starts with the
# byte that scales its fields: 0, as they are.
UNION_FILES = {f'{name}_{count + 1}': b'\0' + data
               for count in (31, 127, 191) for name, data in union_shapes(count).items()}
SCATTERED = [(5, 5, 20, 9), (0, 0, 10, 10), (8, 2, 30, 4), (12, 12, 9, 15), (3, 7, 3, 9), (-7, 0, 21, 40)]
# And one-pixel cells on every other row, and touching rows.
UNION_FILES['cells_32'] = b'\0' + repeat(31, (0, 0, 1, 1), (0, 2, 0, 2))
UNION_FILES['rows_32'] = b'\0' + repeat(31, (0, 0, 1, 1), (0, 1, 0, 1))
UNION_FILES['scattered'] = b'\0' + b''.join(repeat(0, r, (0, 0, 0, 0)) for r in SCATTERED)


def write_all(folder, files):
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(data)


if __name__ == '__main__':
    write_all(CORPUS, FILES)
    write_all(UNION_CORPUS, UNION_FILES)
