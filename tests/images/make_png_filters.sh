#!/bin/bash
# ImageMagick PNGs with each row filter forced (0-4) and adaptive (5), over
# every kind of pixel, interlaced and not, into the folder given.
set -e
out=$1
export MAGICK_THREAD_LIMIT=1
src="$out/source.miff"
convert -seed 7 -size 37x23 plasma:fractal -seed 8 -attenuate 0.3 +noise Gaussian "$src"
for f in 0 1 2 3 4 5; do
  for i in none PNG; do
    d="-define png:compression-filter=$f -define png:exclude-chunk=date,time -interlace $i"
    convert "$src" $d -depth 8 PNG24:"$out/im_rgb8_f${f}_$i.png"
    convert "$src" $d -depth 16 PNG48:"$out/im_rgb16_f${f}_$i.png"
    convert "$src" -alpha set -channel A -evaluate set 60% +channel $d -depth 8 PNG32:"$out/im_rgba8_f${f}_$i.png"
    convert "$src" -alpha set -channel A -evaluate set 60% +channel $d -depth 16 PNG64:"$out/im_rgba16_f${f}_$i.png"
    convert "$src" -colorspace Gray $d -depth 8 PNG:"$out/im_grey8_f${f}_$i.png"
    convert "$src" -colorspace Gray $d -depth 16 PNG:"$out/im_grey16_f${f}_$i.png"
    convert "$src" -colorspace Gray -alpha set -channel A -evaluate set 60% +channel $d -depth 8 \
      -define png:color-type=4 PNG:"$out/im_greyalpha8_f${f}_$i.png"
    convert "$src" +dither -colors 200 $d PNG8:"$out/im_palette8_f${f}_$i.png"
  done
done
rm -f "$src"
