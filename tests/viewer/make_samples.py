#!/usr/bin/env python3
# Writes one small picture in every kind of file Fenlo opens, made by ImageMagick and libtiff's
# tools rather than by our own writers: make_samples.py <folder> <convert> <tiffcp> <pamtotga>.
# The picture is 48 x 32: a red and a green block above, a blue-to-yellow ramp below.
import os
import subprocess
import sys

folder, convert, tiffcp, pamtotga = sys.argv[1:5]
os.makedirs(folder, exist_ok=True)
W, H = 48, 32


def pixel(x, y):
    if y < H // 2:
        return (200, 40, 40) if x < W // 2 else (40, 160, 60)
    t = x * 255 // (W - 1)
    return (30 + t * 200 // 255, 30 + t * 200 // 255, 200 - t * 160 // 255)


source = os.path.join(folder, "kilde.ppm")
with open(source, "wb") as out:
    out.write(b"P6\n%d %d\n255\n" % (W, H))
    out.write(bytes(c for y in range(H) for x in range(W) for c in pixel(x, y)))

# name -> ImageMagick's options and output (the output's kind by its prefix)
kinds = {
    "muster.bmp": ["-type", "TrueColor", "BMP3:"],
    "muster.dib": ["-type", "Palette", "-compress", "none", "BMP3:"],
    "muster.rle": ["-type", "Palette", "-compress", "RLE", "BMP3:"],
    "muster.jpg": ["-quality", "92", "JPEG:"],
    "muster.png": ["-define", "png:exclude-chunk=all", "PNG24:"],  # no gamma: kept as it is
    "muster.pcx": ["PCX:"],
    "muster.pbm": ["-threshold", "40%", "-compress", "none", "PBM:"],
    "muster.pgm": ["-colorspace", "Gray", "PGM:"],
    "muster.ppm": ["-compress", "none", "PPM:"],
}
for name, options in kinds.items():
    subprocess.run([convert, source] + options[:-1] + [options[-1] + os.path.join(folder, name)], check=True)
plain_tiff = os.path.join(folder, "plain.tif")
subprocess.run([convert, source, "-compress", "none", "TIFF:" + plain_tiff], check=True)
subprocess.run([tiffcp, "-c", "packbits", plain_tiff, os.path.join(folder, "muster.tif")], check=True)
os.remove(plain_tiff)
# ImageMagick 6.9 writes a Targa file's rows top-down under a descriptor that says bottom-up.
with open(source, "rb") as src, open(os.path.join(folder, "muster.tga"), "wb") as out:
    subprocess.run([pamtotga, "-rgb"], stdin=src, stdout=out, check=True)
