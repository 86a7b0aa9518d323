#!/usr/bin/env python3
"""Packs PNG files into one Windows icon (.ico) with PNG-compressed entries.

    pack-ico.py OUT.ico IN.png...
"""
import os
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main():
    out, inputs = sys.argv[1], sys.argv[2:]
    images = []
    for name in inputs:
        with open(name, "rb") as f:
            images.append(f.read())
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    offset = len(header) + 16 * len(images)
    for data in images:
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit("an icon is at most 256 pixels wide and high")
        # 256 is written as 0; 32 bits a pixel, one plane.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                               offset)
        offset += len(data)
    with open(out + ".part", "wb") as f:
        f.write(header + entries + b"".join(images))
    os.replace(out + ".part", out)


if __name__ == "__main__":
    main()
