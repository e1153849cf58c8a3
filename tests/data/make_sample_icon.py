#!/usr/bin/env python3
"""Writes sample.ico: a 16x16 32-bit bitmap image and a 32x32 PNG image, the two kinds
of image an icon file holds. Run again only to change the sample; the tests read the
committed file."""
import struct
import sys
import zlib
from pathlib import Path


def bitmap_image(size, bgra):
    # An icon's bitmap: its header gives twice the height (colour rows, then mask rows).
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(bgra) for _ in range(size * size))
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + bytes(mask_row * size)


def png_image(size, rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + bytes(rgba) * size for _ in range(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def icon(images):
    # images: (width, bit count, data); each lies after the directory, in order.
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, bits, data in images:
        out += struct.pack("<BBBBHHII", width % 256, width % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("sample.ico")
    target.write_bytes(icon([(16, 32, bitmap_image(16, (0x20, 0x40, 0xC0, 0xFF))),
                             (32, 32, png_image(32, (0x10, 0xA0, 0x30, 0xFF)))]))
