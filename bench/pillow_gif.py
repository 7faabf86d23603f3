"""Pillow's way to the GIF of a picture with a given palette, timed in the same run as Tavlo's
result figures: quantize(palette=..., dither=NONE) and save(..., format="GIF") to memory, for the
same palette edits as tavlo_result_bench (one entry moved by a few units of red each repetition).

    python3 pillow_gif.py IN.rgb WIDTH HEIGHT PALETTE.act REPS

Prints  RESULT peer=pillow median_ms=.. min_ms=.. gif_bytes=..
"""
import io
import statistics
import sys
import time

from PIL import Image


def edited(act, rep):
    """The palette of repetition `rep`, as tavlo_result_bench edits it."""
    colours = bytearray(act[:768])
    entry = (rep * 37) % 256
    red = colours[3 * entry]
    colours[3 * entry] = red - 6 - rep % 5 if red >= 128 else red + 6 + rep % 5
    return bytes(colours)


def main(path, width, height, act_path, reps):
    width, height, reps = int(width), int(height), int(reps)
    with open(path, "rb") as f:
        picture = Image.frombytes("RGB", (width, height), f.read())
    with open(act_path, "rb") as f:
        act = f.read()
    times, size = [], 0
    for rep in range(reps):
        palette = Image.new("P", (1, 1))
        palette.putpalette(edited(act, rep))
        start = time.perf_counter()
        reduced = picture.quantize(palette=palette, dither=Image.Dither.NONE)
        out = io.BytesIO()
        reduced.save(out, format="GIF")
        times.append((time.perf_counter() - start) * 1000)
        size = out.tell()
    print(f"RESULT peer=pillow median_ms={statistics.median(times):.2f} "
          f"min_ms={min(times):.2f} gif_bytes={size}")


if __name__ == "__main__":
    main(*sys.argv[1:6])
