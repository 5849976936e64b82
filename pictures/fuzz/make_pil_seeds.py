#!/usr/bin/env python3
# Writes the seed corpus of pil_fuzz: picture list files laid out as the program writes them
# (resource header, component stream of a TPictureList, the "Entries" payload), holding
# pictures from the readers' test data.
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
data = os.path.join(here, '..', 'tests', 'data')


def short(s):
    return bytes([len(s)]) + s.encode('latin-1')


def integer(v):
    if -128 <= v <= 127:
        return b'\x02' + struct.pack('<b', v)
    if -32768 <= v <= 32767:
        return b'\x03' + struct.pack('<h', v)
    return b'\x04' + struct.pack('<i', v)


def record(cls, payload):
    if cls is None:
        return struct.pack('<I', 0)
    body = short(cls) + payload
    return struct.pack('<I', len(body)) + body


def entries(items):
    out = b'\x01\x04' + struct.pack('<I', len(items))
    for ident, res, option, cls, payload in items:
        out += struct.pack('<iiH', ident, res, option) + record(cls, payload)
    return out


def pil(name, props, items):
    stream = b'TPF0' + short('TPictureList') + short(name)
    for key, value in props:
        stream += short(key) + value
    if items:
        payload = entries(items)
        stream += short('Entries') + b'\x0a' + struct.pack('<I', len(payload)) + payload
    stream += b'\x00\x00'
    head = b'\xff\x0a\x00' + (name or 'TPictureList').upper()[:63].encode('latin-1') + b'\x00'
    return head + struct.pack('<HI', 0x1030, len(stream)) + stream


def read(name):
    with open(os.path.join(data, name), 'rb') as f:
        return f.read()


bounds = [('IDMinimum', integer(1)), ('IDMaximum', integer(1000))]
icon = read('../../fuzz/corpus/icon/red16.ico')
seeds = {
    'empty.pil': pil('Symbole', bounds, []),
    'pictures.pil': pil('Symbole', bounds, [
        (1, 0, 0x1F, 'TBitmap', read('bmp4_7x3.bmp')),
        (2, 0, 0x2F, 'TIcon', icon),
        (0, 0, 0x1F, 'TGIFBitmap', read('gif_5x3.gif')),
        (7, 5, 0x0F, 'TJPEGImage', b'\xff\xd8\xff'),
        (9, 0, 0x1F, None, b''),
    ]),
    'options.pil': pil('', [('Tag', integer(-7)),
                            ('DefaultOption', b'\x0b' + short('poLeft') + short('poMasked') + b'\x00'),
                            ('IDMinimum', integer(0)), ('IDMaximum', integer(40000)),
                            ('Left', integer(12)), ('Top', integer(300))], [
        (0, 0, 0, 'TPCXBitmap', read('pcx2_packed.pcx')),
        (-1, 3, 0x40, 'TCursorIcon', icon[:4] + b'\x02' + icon[5:]),
        (5, 0, 0, 'TMetafile', b'\xd7\xcd\xc6\x9a' + bytes(18)),
    ]),
}
os.makedirs(os.path.join(here, 'corpus', 'pil'), exist_ok=True)
for name, content in seeds.items():
    with open(os.path.join(here, 'corpus', 'pil', name), 'wb') as f:
        f.write(content)
