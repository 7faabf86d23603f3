"""Pillow's row of the batch comparison: every picture reduced to a fixed palette and saved as GIF,
one after the other in one process (Pillow works on one picture at a time, on one core).

    /usr/bin/python3 pil_reduce_batch.py PALETTE.act OUTDIR PICTURE...

The palette image is a 1x1 "P" image carrying the 768-byte ACT palette, as in the shared
comparison's pil_remap.py, so Pillow sees exactly the same 256 colours.
"""
import os
import sys

from PIL import Image


def main(argv):
    if len(argv) < 4:
        sys.exit("usage: pil_reduce_batch.py PALETTE.act OUTDIR PICTURE...")
    with open(argv[1], "rb") as f:
        act = f.read()
    palette = Image.new("P", (1, 1))
    palette.putpalette(act)
    for path in argv[3:]:
        name = os.path.splitext(os.path.basename(path))[0] + ".gif"
        with Image.open(path) as picture:
            reduced = picture.convert("RGB").quantize(palette=palette, dither=Image.Dither.NONE)
        reduced.save(os.path.join(argv[2], name), format="GIF")


if __name__ == "__main__":
    main(sys.argv)
