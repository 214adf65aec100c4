#!/bin/bash
# ImageMagick BMPs of every depth, each with a PNG of the same pixels beside
# it (name.bmp.png) as the reference, into the folder given.
set -e
out=$1
cd "$out"
export MAGICK_THREAD_LIMIT=1
convert -seed 5 -size 23x17 plasma:fractal src.png
convert src.png -type TrueColor BMP3:rgb24.bmp
convert src.png +dither -colors 200 -type Palette -compress None BMP3:pal8.bmp
convert src.png +dither -colors 200 -type Palette -compress RLE BMP3:rle8.bmp
convert src.png +dither -colors 12 -type Palette -compress None BMP3:pal4.bmp
convert src.png -monochrome BMP3:mono.bmp
convert src.png -alpha set -channel A -evaluate set 50% +channel BMP:rgba32.bmp
convert src.png -define bmp:subtype=RGB565 BMP:rgb565.bmp
convert src.png -define bmp:subtype=RGB555 BMP:rgb555.bmp
# The old 12-byte header, with a table of 3-byte colours.
convert src.png +dither -colors 200 -type Palette BMP2:core8.bmp
convert src.png -type TrueColor BMP2:core24.bmp
for f in *.bmp; do convert "$f" -alpha off PNG24:"$f.png"; done
rm src.png
