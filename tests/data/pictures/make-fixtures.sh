#!/usr/bin/env bash
# Makes the picture fixtures of the picture and RicScript tests with ImageMagick.
# The expected pixels are written out in tests/base/pictures/picture_test.cpp; run this
# only to remake the files.
set -euo pipefail
cd "$(dirname "$0")"

# 8 x 4 pixels, 32 colours; the source of every lossless fixture.
cat > pattern.ppm <<'PPM'
P3
8 4
255
0 0 0  255 255 255  255 0 0  0 255 0  0 0 255  127 127 127  128 128 128  200 100 50
16 32 48  64 80 96  112 128 144  160 176 192  208 224 240  255 255 0  0 255 255  255 0 255
1 1 1  254 254 254  127 0 0  0 127 0  0 0 127  128 0 0  0 128 0  0 0 128
51 51 51  102 102 102  153 153 153  204 204 204  18 52 86  101 67 33  171 205 239  254 220 186
PPM

convert pattern.ppm -compress None BMP3:pattern-24.bmp
convert pattern.ppm -type Palette -compress None BMP3:pattern-8.bmp
convert pattern.ppm -type Palette BMP3:pattern-8rle.bmp
convert pattern.ppm BMP2:pattern-os2.bmp
convert pattern.ppm -alpha set BMP:pattern-32.bmp
convert pattern.ppm -define bmp:subtype=RGB565 BMP:pattern-565.bmp
convert pattern.ppm -threshold 50% -type Bilevel BMP3:pattern-1.bmp

convert pattern.ppm PNG24:pattern.png
convert pattern.ppm PNG8:pattern-palette.png
convert pattern.ppm -interlace PNG PNG24:pattern-interlaced.png
convert pattern.ppm -depth 16 PNG48:pattern-16.png
# Grey 0, 85, 170, 255 in 2-bit greyscale.
convert -size 4x1 xc:black -fill 'rgb(85,85,85)' -draw 'point 1,0' -fill 'rgb(170,170,170)' \
  -draw 'point 2,0' -fill white -draw 'point 3,0' -colorspace Gray -depth 2 PNG:grey-2bit.png
# Opaque red, a transparent pixel, half-transparent black.
convert -size 3x1 xc:red -alpha set -fill 'rgba(0,0,255,0)' -draw 'color 1,0 point' \
  -fill 'rgba(0,0,0,0.5)' -draw 'color 2,0 point' PNG32:alpha.png

convert pattern.ppm pattern.gif
convert pattern.ppm \( pattern.ppm -negate \) -loop 0 animated.gif
convert -size 3x1 xc:red -alpha set -fill 'rgba(0,0,255,0)' -draw 'color 1,0 point' \
  -fill black -draw 'color 2,0 point' transparent.gif

# 16 x 16 in four solid 8 x 8 blocks: black, white / red, blue.
convert -size 16x16 xc:white -fill black -draw 'rectangle 0,0 7,7' \
  -fill 'rgb(200,30,30)' -draw 'rectangle 0,8 7,15' -fill 'rgb(30,30,200)' -draw 'rectangle 8,8 15,15' \
  blocks.ppm
convert blocks.ppm -quality 100 -sampling-factor 1x1 blocks.jpg
convert blocks.ppm -quality 100 -sampling-factor 1x1 -interlace JPEG blocks-progressive.jpg
convert blocks.ppm -quality 100 -colorspace Gray blocks-grey.jpg
convert blocks.ppm -quality 100 -colorspace CMYK blocks-cmyk.jpg
rm blocks.ppm

# A grey ramp 0..255 across 256 x 2 pixels for the threshold tests.
convert -size 1x256 gradient:white-black -rotate 90 -depth 8 -colorspace Gray \
  -scale 256x2! -type TrueColor PNG24:ramp.png
