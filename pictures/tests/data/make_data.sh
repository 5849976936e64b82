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
