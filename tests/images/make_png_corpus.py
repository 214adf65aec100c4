"""Writes a PNG of every colour type and bit depth, interlaced and not, with
and without tRNS, at 1x1 and odd small sizes, into the folder given."""
import os
import random
import sys

import png

SIZES = [(1, 1), (3, 5), (7, 7), (13, 9), (33, 17)]
KINDS = [("grey", d) for d in (1, 2, 4, 8, 16)] + [("greyalpha", 8), ("greyalpha", 16)] + \
        [("rgb", 8), ("rgb", 16), ("rgba", 8), ("rgba", 16)] + [("palette", d) for d in (1, 2, 4, 8)]


def rows_for(kind, depth, w, h, rnd, key):
    top = (1 << depth) - 1
    channels = {"grey": 1, "greyalpha": 2, "rgb": 3, "rgba": 4, "palette": 1}[kind]
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            if key is not None and (x + y) % 3 == 0:
                row.extend(key)
            else:
                row.extend(rnd.randint(0, top) for _ in range(channels))
        rows.append(row)
    return rows


def write(out, kind, depth, w, h, interlace, trns, rnd):
    options = dict(width=w, height=h, bitdepth=depth, interlace=interlace)
    key = None
    if kind == "palette":
        count = 1 << depth
        entries = [(rnd.randint(0, 255), rnd.randint(0, 255), rnd.randint(0, 255)) for _ in range(count)]
        if trns:
            alphas = [0, 0, 100, 200] + [255] * count
            entries = [e + (alphas[i],) for i, e in enumerate(entries)]
        options["palette"] = entries
    else:
        options["greyscale"] = kind.startswith("grey")
        options["alpha"] = kind.endswith("alpha") or kind == "rgba"
        if trns:
            top = (1 << depth) - 1
            key = (rnd.randint(0, top),) if kind == "grey" else tuple(rnd.randint(0, top) for _ in range(3))
            options["transparent"] = key[0] if kind == "grey" else key
    name = "py_%s_d%d_%dx%d_i%d%s.png" % (kind, depth, w, h, interlace, "_trns" if trns else "")
    with open(os.path.join(out, name), "wb") as f:
        png.Writer(**options).write(f, rows_for(kind, depth, w, h, rnd, key))


def main():
    out = sys.argv[1]
    rnd = random.Random(1234)
    for kind, depth in KINDS:
        for w, h in SIZES:
            for interlace in (0, 1):
                for trns in ((False, True) if kind in ("grey", "rgb", "palette") else (False,)):
                    write(out, kind, depth, w, h, interlace, trns, rnd)


main()
