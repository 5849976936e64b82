#!/bin/sh
# Remakes the image test data of the picture readers. Needs ImageMagick 6 (/usr/bin/convert),
# netpbm (ppmtopcx, for the 1-bit-plane and packed 2- and 4-bit PCX files that ImageMagick does
# not write) and python3 (only for the derived files, see below).
#
# Sources: src.ppm is a 37 x 23 plasma picture (odd width, so BMP rows need padding; 23 rows,
# so every interlace pass is used); cN.ppm is it reduced to N colours. Every image made from a
# picture has a reference *.ppm beside it: ImageMagick's own decoding of that image file, which
# the tests compare the readers' pixels with.
set -e
cd "$(dirname "$0")"
IM=/usr/bin/convert
# The reference decoding of an image file: 8 bits per channel whatever the depth of the file.
ref() { $IM "$1" -depth 8 "${1%.*}.ppm"; }

$IM -size 37x23 -seed 7 plasma:fractal -depth 8 src.ppm
for n in 4 8 16 32 64 128 256; do $IM src.ppm -colors $n +dither -depth 8 c$n.ppm; done

# GIF89a with 4..256 colours: LZW minimum code sizes 2..8.
for n in 4 8 16 32 64 128 256; do $IM c$n.ppm gif89_c$n.gif; ref gif89_c$n.gif; done
# GIF87a, interlaced (same picture as gif89_c16.gif), tiny and odd sizes.
$IM c16.ppm GIF87:gif87_c16.gif; ref gif87_c16.gif
$IM c16.ppm -interlace GIF gif89_c16_interlaced.gif; ref gif89_c16_interlaced.gif
$IM c256.ppm -interlace GIF gif89_c256_interlaced.gif; ref gif89_c256_interlaced.gif
$IM -size 1x1 xc:'#336699' gif_1x1.gif; ref gif_1x1.gif
$IM -size 5x3 -seed 3 plasma:fractal -colors 8 +dither gif_5x3.gif; ref gif_5x3.gif
# Animated: three frames with their own colours (local colour tables in frames 2 and 3); the
# reference is the first frame.
$IM -size 37x23 xc:red -fill yellow -draw 'rectangle 5,5 20,15' -colors 4 frame2.ppm
$IM -size 37x23 -seed 11 plasma:fractal -colors 8 +dither frame3.ppm
$IM -delay 20 c16.ppm frame2.ppm frame3.ppm -loop 0 gif89_animated.gif
$IM 'gif89_animated.gif[0]' -depth 8 gif89_animated_0.ppm
rm -f frame2.ppm frame3.ppm

# Derived: ImageMagick puts the first image's colours into the global table. These two are
# gif89_c16.gif rewritten byte for byte with its colour table moved into the image descriptor
# as a local table: without a global table, and with an all-white global table in front that
# the local one must replace. Their reference is gif89_c16.ppm.
python3 - <<'PY'
data = open('gif89_c16.gif', 'rb').read()
flags = data[10]
table = 3 * (2 << (flags & 7))
screen, colors, rest = data[:13], data[13:13 + table], data[13 + table:]
pos = rest.index(b'\x2c')  # the image descriptor after the extensions
head, desc, body = rest[:pos], rest[pos:pos + 10], rest[pos + 10:]
local = desc[:9] + bytes([0x80 | (flags & 7)])
noglobal = screen[:10] + bytes([flags & 0x70]) + screen[11:]
open('gif89_local_only.gif', 'wb').write(noglobal + head + local + colors + body)
open('gif89_local_and_global.gif', 'wb').write(screen + b'\xff' * table + head + local + colors + body)
PY

# PCX from ImageMagick: 8 bits with the 256-colour table at the end, 24 bits as three planes,
# 1 bit (from a two-colour black and white GIF); run-length encoded and, with -compress none, plain.
$IM gif89_c16.gif pcx8_rle.pcx; $IM gif89_c16.gif -compress none pcx8_raw.pcx
$IM gif89_c256.gif pcx8_c256_rle.pcx
$IM src.ppm pcx24_rle.pcx; $IM src.ppm -compress none pcx24_raw.pcx
$IM src.ppm -monochrome bw.gif
$IM bw.gif pcx1_rle.pcx; $IM bw.gif -compress none pcx1_raw.pcx
rm -f bw.gif
# PCX from netpbm: 16 colours as four 1-bit planes, 4 colours as two planes, and packed 4- and
# 2-bit pixels.
ppmtopcx c16.ppm > pcx4_planes.pcx
ppmtopcx c4.ppm > pcx2_planes.pcx
ppmtopcx -packed c16.ppm > pcx4_packed.pcx
ppmtopcx -packed c4.ppm > pcx2_packed.pcx
for f in pcx8_rle pcx8_raw pcx8_c256_rle pcx24_rle pcx24_raw pcx4_planes pcx2_planes pcx4_packed pcx2_packed; do
  ref $f.pcx
done
# 1 bit: ImageMagick's reader shows a 1-bit PCX inverted against the colours of its own header
# (it shows netpbm's file of mono.ppm, whose header says 0 = black and 1 = white, as the
# negative of mono.ppm), and its writer stores the bits inverted to match. So the references of
# the 1-bit files are netpbm's decoding, which follows the header; for pcx1_netpbm.pcx it equals
# the source mono.ppm.
$IM src.ppm -monochrome -depth 8 mono.ppm
ppmtopcx mono.ppm > pcx1_netpbm.pcx
# (pcxtoppm reads no plain files: pcx1_raw.pcx is checked against pcx1_rle.pcx instead.)
for f in pcx1_rle pcx1_netpbm; do pcxtoppm $f.pcx > $f.ppm; done
# Derived: pcx4_planes.pcx with its runs decoded and the encoding byte set to 0 (no tool here
# writes plain planar files), and the same file marked as version 3, which brings no colours of
# its own and is shown with the screen's palette.
python3 - <<'PY'
data = open('pcx4_planes.pcx', 'rb').read()
out, i = bytearray(), 128
need = (data[66] | data[67] << 8) * data[65] * ((data[10] | data[11] << 8) - (data[6] | data[7] << 8) + 1)
while len(out) < need:
    b = data[i]; i += 1
    if b >= 0xC0:
        out += bytes([data[i]]) * (b & 0x3F); i += 1
    else:
        out.append(b)
head = bytearray(data[:128]); head[2] = 0
open('pcx4_planes_raw.pcx', 'wb').write(bytes(head) + bytes(out[:need]))
v3 = bytearray(data); v3[1] = 3
open('pcx4_planes_v3.pcx', 'wb').write(bytes(v3))
PY
rm -f c8.ppm c32.ppm c64.ppm c128.ppm c256.ppm

# BMP files from ImageMagick at 1, 4, 8 and 24 bits with widths that need row padding; the
# tests check the row sizes against these files' sizes and their pixels against the references.
$IM src.ppm -crop 13x3+0+0 +repage -monochrome BMP3:bmp1_13x3.bmp; ref bmp1_13x3.bmp
$IM gif89_c16.gif -crop 7x3+0+0 +repage -type palette -compress none BMP3:bmp4_7x3.bmp; ref bmp4_7x3.bmp
$IM gif89_c256.gif -crop 5x3+0+0 +repage -compress none BMP3:bmp8_5x3.bmp; ref bmp8_5x3.bmp
$IM gif89_c256.gif -crop 5x3+0+0 +repage BMP3:bmp8_rle_5x3.rle
$IM src.ppm -crop 5x3+0+0 +repage -type truecolor BMP3:bmp24_5x3.bmp; ref bmp24_5x3.bmp

# Run-length encoded BMP files and their uncompressed counterparts, 37 x 23. ImageMagick writes
# 8-bit BMP files run-length encoded (RLE8) unless told otherwise; it writes no RLE4 files, so
# bmp4_rle_37x23.rle is bmp4_37x23.bmp encoded here with every kind of code (encoded runs of two
# alternating colours, absolute runs of odd lengths padded to 16 bits, end of line, end of
# bitmap). ImageMagick decodes both to the same pixels as the uncompressed files.
$IM gif89_c256.gif -compress none BMP3:bmp8_37x23.bmp; ref bmp8_37x23.bmp
$IM gif89_c256.gif BMP3:bmp8_rle_37x23.rle
$IM gif89_c16.gif -type palette -compress none BMP3:bmp4_37x23.bmp; ref bmp4_37x23.bmp
# Icons: one 16 x 16 image (ImageMagick writes it with 256 colours), and 16 x 16 plus 32 x 32
# (the larger one with 32 bits) in one file.
$IM c16.ppm -resize 16x16! ico16.png
$IM c16.ppm -resize 32x32! ico32.png
$IM ico16.png icon16.ico
$IM ico16.png ico32.png icon_16_32.ico
$IM ico32.png icon32.ico
# Cursors: ImageMagick writes cursors as icons (type 1), so cursor32.cur is icon32.ico marked
# as a cursor (type 2) with the hot spot (5, 7); cursor_mono.cur is a two-colour 32 x 32 arrow.
python3 - <<'PY'
import struct
data = open('bmp4_37x23.bmp', 'rb').read()
off = struct.unpack_from('<I', data, 10)[0]
w, h = struct.unpack_from('<ii', data, 18)
row = (w * 4 + 31) // 32 * 4
out = bytearray()
for y in range(h):
    r = data[off + y * row: off + (y + 1) * row]
    px = [(r[x // 2] >> (4 if x % 2 == 0 else 0)) & 15 for x in range(w)]
    x = 0
    while x < w:
        n = 1
        while x + n < w and n < 255 and px[x + n] == px[x + (n % 2)]:
            n += 1
        if n >= 4:
            out += bytes([n, (px[x] << 4) | px[x + 1]])
            x += n
            continue
        n = min(w - x, 9 if y % 2 else 6)
        if n < 3:
            for i in range(n):
                out += bytes([1, px[x + i] << 4])
            x += n
            continue
        chunk = px[x:x + n] + [0]
        body = bytes((chunk[i] << 4) | chunk[i + 1] for i in range(0, n, 2))
        if len(body) % 2: body += b'\0'
        out += bytes([0, n]) + body
        x += n
    out += b'\0\0' if y < h - 1 else b'\0\1'
head = bytearray(data[:off])
struct.pack_into('<I', head, 2, off + len(out))
struct.pack_into('<I', head, 30, 2)
struct.pack_into('<I', head, 34, len(out))
open('bmp4_rle_37x23.rle', 'wb').write(bytes(head) + bytes(out))

ico = bytearray(open('icon32.ico', 'rb').read())
struct.pack_into('<H', ico, 2, 2)
struct.pack_into('<HH', ico, 10, 5, 7)
open('cursor32.cur', 'wb').write(bytes(ico))
size = 32
xor_rows, and_rows = [], []
for y in range(size):
    xr, ar = 0, 0xFFFFFFFF
    for x in range(size):
        inside = x <= y and y < 20 and x < 14
        edge = inside and (x == 0 or x == y or y == 19 or x == 13)
        if inside:
            ar &= ~(1 << (31 - x))
            if not edge:
                xr |= 1 << (31 - x)
    xor_rows.append(xr)
    and_rows.append(ar)
bits = b''.join(struct.pack('>I', r) for r in reversed(xor_rows)) + \
       b''.join(struct.pack('>I', r) for r in reversed(and_rows))
info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 1, 0, len(bits), 0, 0, 2, 0)
image = info + bytes([0, 0, 0, 0, 255, 255, 255, 0]) + bits
head = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', size, size, 2, 0, 0, 0, len(image), 22)
open('cursor_mono.cur', 'wb').write(head + image)
PY
rm -f ico16.png ico32.png icon32.ico
