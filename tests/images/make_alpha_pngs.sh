#!/bin/bash
# PNGs with an alpha channel that crosses half, RGBA and grey+alpha, written
# by ImageMagick and by python3-png, interlaced and not, into the folder given;
# beside each, ImageMagick's composite of it over #3366CC with alpha
# thresholded at half, as a PPM file.
set -e
out=$1
export MAGICK_THREAD_LIMIT=1
colors="gradient:#203040-#f0e0d0"
alpha="( -size 23x37 gradient: -rotate 90 -evaluate multiply 1.2 )"
for i in none PNG; do
  convert -size 37x23 "$colors" $alpha -alpha off -compose CopyOpacity -composite -interlace $i -depth 8 \
    PNG32:"$out/im_rgba8_$i.png"
  convert -size 37x23 "$colors" -colorspace Gray $alpha -alpha off -compose CopyOpacity -composite -interlace $i \
    -depth 8 -define png:color-type=4 PNG:"$out/im_greyalpha8_$i.png"
done
/usr/bin/python3 - "$out" <<'PY'
import os, random, sys
import png
rnd = random.Random(15)
for kind, planes in (("rgba8", 4), ("greyalpha8", 2)):
    for interlace in (0, 1):
        w, h = 29, 19
        rows = [[rnd.randint(0, 255) for _ in range(w * planes)] for _ in range(h)]
        for row in rows:  # alpha around the threshold too
            for x in range(w):
                if x % 5 == 0:
                    row[x * planes + planes - 1] = 126 + x % 4
        writer = png.Writer(width=w, height=h, greyscale=planes == 2, alpha=True, interlace=interlace)
        with open(os.path.join(sys.argv[1], "py_%s_i%d.png" % (kind, interlace)), "wb") as f:
            writer.write(f, rows)
PY
for f in "$out"/*.png; do
  convert "$f" -channel A -threshold 50% +channel -colorspace sRGB -background '#3366CC' -flatten -depth 8 \
    ppm:"${f%.png}.ppm"
done
