"""Pillow peer: Image.quantize(N) of an RGB picture (median cut, Pillow's default for RGB).

    /usr/bin/python3 pil_quantize.py IN.rgb WIDTH HEIGHT N REPS OUT.act

Times the quantize call in-process and writes the palette it made (count x RGB) to OUT.act.
Prints: RESULT peer=pillow colors=.. median_ms=.. min_ms=..
"""
import statistics
import sys
import time

from PIL import Image


def main(argv):
    if len(argv) != 7:
        sys.exit("usage: pil_quantize.py IN.rgb WIDTH HEIGHT N REPS OUT.act")
    path, w, h, n, reps, out_path = argv[1], int(argv[2]), int(argv[3]), int(argv[4]), int(argv[5]), argv[6]
    with open(path, "rb") as f:
        img = Image.frombytes("RGB", (w, h), f.read())
    times, out = [], None
    for _ in range(reps):
        t0 = time.perf_counter()
        out = img.quantize(n)
        times.append((time.perf_counter() - t0) * 1e3)
    used = max(index for _, index in out.getcolors(256)) + 1
    palette = bytes(out.getpalette()[: 3 * used])
    with open(out_path, "wb") as f:
        f.write(palette)
    print(f"RESULT peer=pillow colors={used} median_ms={statistics.median(times):.3f} min_ms={min(times):.3f}")


if __name__ == "__main__":
    main(sys.argv)
