#!/bin/bash
# GIF files written by gifsicle, ImageMagick and gifbuild, into the folder
# given: interlaced, transparent, local colour tables, sub-rectangles, every
# disposal, loop counts, delay 0, more than 256 frames.
set -e
out=$1
cd "$out"
export MAGICK_THREAD_LIMIT=1
for i in 1 2 3 4; do convert -seed $i -size 37x23 plasma:fractal -colors $((i * 50)) f$i.gif; done
convert -seed 9 -size 37x23 plasma:fractal -colors 100 -interlace GIF im_interlaced.gif
convert -seed 10 -size 61x41 plasma:fractal +dither -colors 7 im_still_7colours.gif
convert -size 21x19 xc:none -fill red -draw 'circle 10,9 10,3' -fill blue -draw 'rectangle 0,0 4,4' im_transparent.gif
convert -delay 7 -dispose Background f1.gif f2.gif f3.gif -loop 0 im_dispose_background.gif
convert -delay 0 -dispose Previous f1.gif f2.gif -loop 3 im_dispose_previous_loop3.gif
convert -delay 5 f1.gif f2.gif f3.gif f4.gif -layers Optimize im_optimized.gif
gifsicle -w -i f1.gif f2.gif f3.gif > gs_interlaced.gif
gifsicle -w --loopcount=0 --delay=0 f1.gif f2.gif > gs_loop0.gif
gifsicle -w --loopcount=1 f1.gif f2.gif > gs_loop1.gif
gifsicle -w --loopcount=3 --disposal=previous f2.gif f3.gif f4.gif > gs_loop3.gif
gifsicle -w --no-loopcount f3.gif f4.gif > gs_noloop.gif
gifsicle -w --colors 16 --delay=3 f1.gif f4.gif > gs_local_tables.gif
gifsicle -w -O2 f1.gif f2.gif f3.gif f4.gif > gs_optimized.gif
frames=()
for i in $(seq 1 300); do frames+=("f$((i % 4 + 1)).gif"); done
gifsicle -w --loopcount=0 "${frames[@]}" > gs_300_frames.gif
# Every disposal, a frame larger than the screen and a local table.
gifbuild > gb_disposals.gif <<'SPEC'
screen width 4
screen height 2
screen colors 4
screen background 0
pixel aspect byte 0
screen map
	rgb 000 000 000 is a
	rgb 255 000 000 is r
	rgb 000 255 000 is g
	rgb 000 000 255 is b
end
netscape loop 2
graphics control
	disposal mode 0
	delay 4
	transparent index -1
end
image # 1
image left 0
image top 0
image bits 4 by 2
rrrr
rrrr
graphics control
	disposal mode 1
	delay 0
	transparent index 0
end
image # 2
image left 1
image top 0
image bits 2 by 2
ga
ag
graphics control
	disposal mode 2
	delay 2
	transparent index -1
end
image # 3
image left 2
image top 1
image bits 2 by 1
bb
graphics control
	disposal mode 3
	delay 3
	transparent index 3
end
image # 4
image left 0
image top 0
image map
	rgb 255 255 255 is W
	rgb 010 020 030 is x
	rgb 001 002 003 is y
	rgb 000 000 000 is z
end
image bits 2 by 2
Wx
yz
graphics control
	disposal mode 0
	delay 1
	transparent index -1
end
image # 5
image left 3
image top 1
image bits 3 by 2
rgb
bgr
SPEC
rm -f f?.gif
