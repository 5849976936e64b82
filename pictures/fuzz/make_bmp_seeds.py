#!/usr/bin/env python3
# Writes the seed corpus of bmp_fuzz: the small BMP and RLE files of the readers' test data
# (made by ImageMagick, see ../tests/data/make_data.sh) as they are, and BMP files of the kinds
# no tool here writes, laid out byte by byte: the old core header, 16-bit pixels with 5-6-5
# fields, 32-bit pixels with fields in a version 5 header, top-down rows, a short colour table
# with the pixels after a gap, and run-length codes of every kind (RLE8 and RLE4: runs, absolute
# runs, end of line, delta, end of bitmap).
import os
import shutil
import struct

here = os.path.dirname(os.path.abspath(__file__))
data = os.path.join(here, '..', 'tests', 'data')
out = os.path.join(here, 'corpus', 'bmp')


def row_bytes(bits, width):
    return (width * bits + 31) // 32 * 4


def bmp(width, height, bits, compression=0, colors=None, header=40, masks=b'', pixels=None, gap=0):
    if colors is None:
        colors = [(i, 2 * i & 255, 3 * i & 255) for i in range(1 << bits)] if bits <= 8 else []
    if header == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
        table = b''.join(bytes([b, g, r]) for b, g, r in colors)
    else:
        size_image = len(pixels) if pixels is not None and compression in (1, 2) else 0
        info = struct.pack('<IiiHHIIiiII', header, width, height, 1, bits, compression, size_image, 2835, 2835,
                           len(colors) if bits <= 8 and len(colors) < (1 << bits) else 0, 0)
        if header > 40:
            info += masks.ljust(header - 40, b'\0')
            masks = b''
        table = b''.join(bytes([b, g, r, 0]) for b, g, r in colors)
    if pixels is None:
        rows = row_bytes(bits, width) * abs(height)
        pixels = bytes(i * 37 & 255 for i in range(rows))
    offset = 14 + len(info) + len(masks) + len(table) + gap
    head = b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset)
    return head + info + masks + table + bytes(gap) + pixels


seeds = {
    'core4_5x3.bmp': bmp(5, 3, 4, header=12),
    'fields565_6x2.bmp': bmp(6, 2, 16, compression=3, masks=struct.pack('<III', 0xF800, 0x07E0, 0x001F)),
    'rgb555_3x2.bmp': bmp(3, 2, 16),
    'v5_fields32_3x3.bmp': bmp(3, 3, 32, compression=3, header=124,
                               masks=struct.pack('<III', 0xFF0000, 0x00FF00, 0x0000FF)),
    'topdown24_4x3.bmp': bmp(4, -3, 24),
    'short_table_gap_9x2.bmp': bmp(9, 2, 8, colors=[(0, 0, 255), (0, 255, 0), (255, 0, 0)], gap=6,
                                   pixels=bytes([0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 0, 0] * 2)),
    'rle8_codes_6x4.rle': bmp(6, 4, 8, compression=1, colors=[(i, i, i) for i in range(8)],
                              pixels=bytes([3, 5, 0, 0,  0, 3, 1, 2, 3, 0, 2, 7, 0, 0,  0, 2, 2, 1,
                                            1, 4, 0, 1])),
    'rle4_codes_7x3.rle': bmp(7, 3, 4, compression=2,
                              pixels=bytes([4, 0x12, 0, 3, 0x34, 0x50, 0, 0,  0, 5, 0x12, 0x34, 0x50, 0,
                                            0, 0,  9, 0xAB, 0, 1])),
}

os.makedirs(out, exist_ok=True)
for name in ('bmp1_13x3.bmp', 'bmp4_7x3.bmp', 'bmp24_5x3.bmp', 'bmp8_rle_5x3.rle', 'bmp4_rle_37x23.rle'):
    shutil.copyfile(os.path.join(data, name), os.path.join(out, name))
for name, content in seeds.items():
    with open(os.path.join(out, name), 'wb') as f:
        f.write(content)
