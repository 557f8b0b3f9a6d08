#!/usr/bin/env python3
"""Writes the small PNG files that the Windows GUI-frame tests embed as resources.

Run from this folder: python3 make_test_pngs.py. The output is committed under data/.
"""
import struct
import zlib


def chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, bit_depth, colour_type, rows, extra=b""):
    header = struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", zlib.compress(raw)) +
            chunk(b"IEND", b""))


def write(name, data):
    with open("data/" + name, "wb") as f:
        f.write(data)


# 2 x 1 RGBA: a fully transparent pixel and an opaque white one.
rgba = png(2, 1, 8, 6, [bytes([10, 20, 30, 0, 255, 255, 255, 255])])
write("rgba2x1.png", rgba)
# 3 x 2 RGB without a transparency chunk.
write("rgb3x2.png", png(3, 2, 8, 2, [bytes([200, 100, 50] * 3), bytes([1, 2, 3] * 3)]))
# 2 x 1 palette image whose second entry is half transparent (tRNS).
palette = chunk(b"PLTE", bytes([0, 0, 255, 0, 255, 0])) + chunk(b"tRNS", bytes([255, 128]))
write("palette2x1.png", png(2, 1, 8, 3, [bytes([0, 1])], palette))
# 1 x 1 16-bit RGBA: the high bytes must survive.
write("rgba16.png", png(1, 1, 16, 6, [struct.pack(">HHHH", 0x1234, 0x5678, 0x9ABC, 0xFFFF)]))
# 8 x 8 opaque red, for blending.
write("red8x8.png", png(8, 8, 8, 2, [bytes([255, 0, 0] * 8)] * 8))
# Truncated in the middle of the image data: decoding must read past the end.
write("truncated.png", rgba[: len(rgba) - 20])
# Image data that is not a valid zlib stream.
bad_idat = chunk(b"IDAT", b"\x00\x01\x02\x03\x04\x05")
header = struct.pack(">IIBBBBB", 4, 4, 8, 6, 0, 0, 0)
write("corrupt.png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + bad_idat + chunk(b"IEND", b""))
