#!/usr/bin/env python3
"""Animated GIFs: Tavlo's export against gifsicle -O3 and ImageMagick's -layers Optimize.

Makes two animations of 24 frames with one shared 256-colour palette (no dither):
  ui    a drawn application window: a pointer moving, text being typed, a progress bar (640 x 400);
  pan   a panning crop of the 8.3-Mpixel photo with a little noise (640 x 400).
Each is written by Pillow as full frames; then the same frames are written by
  tavlo   tavlo-cli reduce IN --palette P.act --range 1-N (the source's own table up to the last
          entry a pixel uses, as "Palette from picture" keeps the colours; the reduction is exact);
  gifsicle -O3 of the source;  magick   convert IN -layers Optimize;
  tavlo+O3  gifsicle -O3 of Tavlo's file: how much gifsicle still finds to take out of it.
Prints one row a tool: bytes, ratio to gifsicle, seconds (median of 3), and whether every
composed frame equals the source's (Pillow decodes both).

Then the budgeted comparison: gifsicle -O3 --lossy=20 against tavlo-cli reduce --lossy T, for the
largest T of a ladder whose mean and blurred loss over all frames (../shared/bench/loss_metrics.py,
against the source's frames) are both no worse than gifsicle's; ratio to gifsicle --lossy=20.

Usage: animation_comparison.py TAVLO_CLI [WORKDIR]
"""
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image, ImageDraw, ImageSequence

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.normpath(os.path.join(HERE, "..", "..", "..", "shared", "bench")))
import loss_metrics  # noqa: E402  the shared loss figures peers are compared by

PHOTO = "/usr/share/backgrounds/mate/abstract/Elephants_3840x2160.jpg"
W, H, N = 640, 400, 24


def ui_frames():
    frames = []
    for k in range(N):
        im = Image.new("RGB", (W, H), (236, 236, 236))
        d = ImageDraw.Draw(im)
        d.rectangle([0, 0, W, 28], fill=(48, 84, 150))
        d.text((10, 8), "Report - Editor", fill=(255, 255, 255))
        d.rectangle([20, 50, W - 20, 300], fill=(255, 255, 255), outline=(160, 160, 160))
        text = "The quarterly figures are in; the team met every target this time."
        d.text((30, 60), text[: 3 * k], fill=(20, 20, 20))
        d.rectangle([20, 330, W - 20, 350], outline=(120, 120, 120))
        d.rectangle([22, 332, 22 + (W - 44) * k // (N - 1), 348], fill=(60, 170, 90))
        x, y = 100 + 15 * k, 120 + 6 * k  # the pointer
        d.polygon([(x, y), (x, y + 16), (x + 4, y + 12), (x + 11, y + 11)], fill=(0, 0, 0))
        frames.append(im)
    return frames


def pan_frames():
    photo = Image.open(PHOTO).convert("RGB")
    rng = random.Random(25)
    frames = []
    for k in range(N):
        crop = photo.crop((1200 + 8 * k, 900 + 3 * k, 1200 + 8 * k + W, 900 + 3 * k + H))
        noise = Image.effect_noise((W, H), 6).convert("RGB")
        frames.append(Image.blend(crop, noise, 0.04))
        rng.random()
    return frames


def shared_palette(frames):
    sheet = Image.new("RGB", (W, H * len(frames)))
    for k, f in enumerate(frames):
        sheet.paste(f, (0, H * k))
    return sheet.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


def write_source(frames, path):
    pal = shared_palette(frames)
    indexed = [f.quantize(palette=pal, dither=Image.Dither.NONE) for f in frames]
    indexed[0].save(path, save_all=True, append_images=indexed[1:], duration=80, loop=0,
                    optimize=False, disposal=1)
    act = bytes(pal.getpalette()[:768]).ljust(768, b"\0")
    with open(path[:-4] + ".act", "wb") as out:
        out.write(act)
    # One more than the highest palette index a pixel of any frame has.
    used = 1 + max(max(f.getdata()) for f in indexed)
    return path[:-4] + ".act", used


def composed(path):
    im = Image.open(path)
    return [f.convert("RGB").tobytes() for f in ImageSequence.Iterator(im)]


def frame_arrays(path):
    return [np.asarray(f.convert("RGB")) for f in ImageSequence.Iterator(Image.open(path))]


def loss_over_frames(want, path):
    """Mean CIEDE2000 over every pixel of every frame, and the mean of the frames' blurred means."""
    got = frame_arrays(path)
    means = [loss_metrics.per_pixel(a, b).mean() for a, b in zip(want, got)]
    blurred = [loss_metrics.blurred_mean(a, b) for a, b in zip(want, got)]
    return float(np.mean(means)), float(np.mean(blurred))


def budgeted(name, cli, src, act, used, work):
    want = frame_arrays(src)
    lossy = os.path.join(work, name + "-lossy20.gif")
    seconds = timed(["gifsicle", "-O3", "--lossy=20", src, "-o", lossy])
    peer = os.path.getsize(lossy)
    peer_mean, peer_blurred = loss_over_frames(want, lossy)
    print(f"{name:9}  gifsicle -O3 --lossy=20 {peer:7d}  1.000  {seconds:7.3f}  "
          f"mean {peer_mean:.3f} blurred {peer_blurred:.3f}")
    best = None
    for budget in (0.5, 1, 1.5, 2, 3, 4, 5, 6, 7, 8, 9, 10):
        out_dir = os.path.join(work, f"{name}-T{budget}")
        os.makedirs(out_dir, exist_ok=True)
        command = [cli, "reduce", src, "--palette", act, "--range", f"1-{used}", "--lossy",
                   str(budget), "--out", out_dir, "--force", "--quiet"]
        subprocess.run(command, check=True)
        out = os.path.join(out_dir, name + ".gif")
        mean, blurred = loss_over_frames(want, out)
        if mean <= peer_mean and blurred <= peer_blurred:
            best = (budget, os.path.getsize(out), command, mean, blurred)
    if best:
        budget, size, command, mean, blurred = best
        seconds = timed(command)
        print(f"{name:9}  tavlo --lossy {budget:<4}      {size:7d}  {size / peer:5.3f}  "
              f"{seconds:7.3f}  mean {mean:.3f} blurred {blurred:.3f}")
    else:
        print(f"{name:9}  tavlo: no budget within gifsicle's loss")


def timed(command):
    times = []
    for _ in range(3):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    cli = sys.argv[1]
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()
    print("animation  tool      bytes   ratio  seconds  frames_exact")
    for name, make in (("ui", ui_frames), ("pan", pan_frames)):
        src = os.path.join(work, name + ".gif")
        act, used = write_source(make(), src)
        want = composed(src)
        out_dir = os.path.join(work, name + "-tavlo")
        os.makedirs(out_dir, exist_ok=True)
        runs = {
            "gifsicle": (["gifsicle", "-O3", src, "-o", os.path.join(work, name + "-O3.gif")],
                         os.path.join(work, name + "-O3.gif")),
            "magick": (["convert", src, "-layers", "Optimize",
                        os.path.join(work, name + "-im.gif")], os.path.join(work, name + "-im.gif")),
            "tavlo": ([cli, "reduce", src, "--palette", act, "--range",
                       f"1-{used}", "--out", out_dir, "--force", "--quiet"],
                      os.path.join(out_dir, name + ".gif")),
            "tavlo+O3": (["gifsicle", "-O3", os.path.join(out_dir, name + ".gif"), "-o",
                          os.path.join(work, name + "-tavlo-O3.gif")],
                         os.path.join(work, name + "-tavlo-O3.gif")),
        }
        rows = {}
        for tool, (command, out) in runs.items():
            seconds = timed(command)
            rows[tool] = (os.path.getsize(out), seconds, composed(out) == want)
        base = rows["gifsicle"][0]
        for tool, (size, seconds, exact) in rows.items():
            print(f"{name:9}  {tool:8} {size:7d}  {size / base:6.3f}  {seconds:7.3f}  {exact}")
        budgeted(name, cli, src, act, used, work)


if __name__ == "__main__":
    main()
