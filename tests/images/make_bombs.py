"""Writes small image files that announce huge pictures (image bombs) into the
folder given: each costs hundreds of megabytes or seconds to a decoder that
believes its header."""
import os
import struct
import sys
import zlib


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def wide_png():
    """40,000,000 x 1 pixels of 16-bit RGBA: 320 MB of rows in 311 KB."""
    width = 40_000_000
    packer = zlib.compressobj(9)
    zeros = bytes(8 << 20)
    parts = []
    left = 1 + width * 8
    while left > 0:
        parts.append(packer.compress(zeros[:min(left, len(zeros))]))
        left -= len(zeros)
    parts.append(packer.flush())
    header = struct.pack(">IIBBBBB", width, 1, 16, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", b"".join(parts)) +
            png_chunk(b"IEND", b""))


def gif_header(width, height):
    # A global table of two colours.
    return b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"


def gif_frame(width, height, data):
    """An image descriptor and `data` as LZW bytes (8-bit codes) in sub-blocks."""
    out = b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x08"
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes([len(block)]) + block
    return out + b"\0"


def gif(width, height, frames, frame_width, frame_height, data):
    return gif_header(width, height) + gif_frame(frame_width, frame_height, data) * frames + b";"


def rle8_bmp():
    """2,097,175 x 17 pixels, run-length coded in 1.7 KB."""
    width, height = 2_097_175, 17
    palette = b"".join(bytes([i, i, i, 0]) for i in range(256))
    rows = b"".join(b"\xff\x07" * 16 + b"\0\0" for _ in range(height)) + b"\0\x01"
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(rows), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + palette + rows


def main():
    out = sys.argv[1]
    files = {
        "bomb_wide_rgba16.png": wide_png(),
        # Two frames of 6000 x 6600 from a few bytes of data.
        "bomb_two_frames.gif": gif(6000, 6600, 2, 6000, 6600, bytes(range(1, 90))),
        # 300 frames of 2000 x 2000, about 23 bytes each.
        "bomb_300_frames.gif": gif(2000, 2000, 300, 2000, 2000, bytes(range(1, 12))),
        # A 4 x 2 screen with frames of 1024 x 512 that their data cannot fill.
        "bomb_small_screen.gif": gif(4, 2, 20, 1024, 512, bytes(range(1, 8))),
        # Frames whose data could fill them, but too many bytes together.
        "bomb_budget.gif": gif(6000, 6000, 2, 6000, 6000, bytes(16000)),
        "bomb_rle8_wide.bmp": rle8_bmp(),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


main()
