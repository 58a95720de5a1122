#!/usr/bin/env python3
# Writes the seed picture of Fenlo's Paste: a 1 x 1 BMP of 24 bits per pixel (one white pixel).
import struct
import sys

pixels = bytes([255, 255, 255, 0])  # blue, green, red, and the row's padding to 4 bytes
info = struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
with open(sys.argv[1], "wb") as out:
    out.write(header + info + pixels)
