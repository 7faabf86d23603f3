#!/usr/bin/env python3
"""Tavlo's loss-budget GIFs against gifsicle's lossy GIFs at the same visible quality.

  lossy_comparison.py --build BUILD --scratch DIR [--pictures small,big,gradient,screenshot]
                      [--budgets 0.5,1,...] [--reps N]

For each picture: a 256-colour palette by "Palette from picture" (tavlo-cli palette), the exact
GIF (tavlo-cli reduce) and `gifsicle -O3 --lossy=N` of that exact GIF for N = 20, 40 and 80. Then
Tavlo's GIF for every budget of the grid (tavlo_lossy_bench, which also prints each file's mean and
blurred figures), and per gifsicle row the largest budget whose mean and blurred figures are both
no worse than gifsicle's, refined to a tenth. The chosen files are measured again with
../shared/bench/loss_metrics.py, the figures the table prints; a budget whose file fails that check
gives way to the next smaller one.

Inputs (made in DIR once and kept): small.png and big.png from the peer comparison's photos
(../shared/bench/make_inputs.sh), gradient.png (mate-backgrounds' Ubuntu-Mate-Cold-no-logo.png
resized to 1280 wide), screenshot.png (bench/lossy/screenshot.sh, or SCREENSHOT=path).

Prints one markdown table and a line per picture with the times of gifsicle's lossy pass.
BUDGET_* environment variables are handed to tavlo_lossy_bench (see BudgetTuning)."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SHARED = os.path.normpath(os.path.join(HERE, "..", "..", "..", "shared", "bench"))
CONVERT = "/usr/bin/convert"  # the real ImageMagick
SIZES = {"small": (1280, 800), "big": (3840, 2160)}
LEVELS = (20, 40, 80)


def run(args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw).stdout


def metrics(original, result):
    line = run(["/usr/bin/python3", os.path.join(SHARED, "loss_metrics.py"), original, result])
    values = dict(re.findall(r"(\w+) ([0-9.]+)%?", line))
    return {k: float(values[k]) for k in ("mean", "p99", "max", "blurred")}


def make_inputs(scratch, pictures):
    data = os.environ.get("TMPDIR", "/tmp") + "/remap-bench-data"
    for name in pictures:
        png = os.path.join(scratch, name + ".png")
        if os.path.exists(png):
            continue
        if name in SIZES:
            raw = os.path.join(data, name + ".rgb")
            if not os.path.exists(raw):
                run(["bash", os.path.join(SHARED, "make_inputs.sh")])
            w, h = SIZES[name]
            run([CONVERT, "-size", f"{w}x{h}", "-depth", "8", "rgb:" + raw, png])
        elif name == "gradient":
            source = "/usr/share/backgrounds/mate/desktop/Ubuntu-Mate-Cold-no-logo.png"
            run([CONVERT, source, "-resize", "1280x", "-strip", "PNG24:" + png])
        elif name == "screenshot":
            shot = os.environ.get("SCREENSHOT") or os.path.join(scratch, "screenshot-made.png")
            if not os.path.exists(shot):
                run(["bash", os.path.join(HERE, "screenshot.sh"), shot])
            run([CONVERT, shot, "-strip", "PNG24:" + png])


def tavlo_rows(build, scratch, name, budgets, reps):
    out = os.path.join(scratch, "out_" + name)
    os.makedirs(out, exist_ok=True)
    env = dict(os.environ, BUDGET_BLUR="1")
    text = run([os.path.join(build, "bench", "tavlo_lossy_bench"), os.path.join(scratch, name + ".png"),
                os.path.join(scratch, name + ".act"), out] + [f"{b:g}" for b in budgets] +
               [f"--reps={reps}"], env=env)
    rows = {}
    for line in text.splitlines():
        if line.startswith("GIF "):
            v = dict(re.findall(r"(\w+)=([0-9.]+)", line))
            rows[float(v["budget"])] = {"bytes": int(v["bytes"]), "mean": float(v["mean"]),
                                        "blurred": float(v["blurred"]),
                                        "file": os.path.join(out, f"T{float(v['budget']):g}.gif")}
    return rows


def largest_within(rows, peer):
    fits = [t for t, r in rows.items() if r["mean"] <= peer["mean"] and r["blurred"] <= peer["blurred"]]
    return max(fits) if fits else None


def compare(build, scratch, name, grid, reps):
    png = os.path.join(scratch, name + ".png")
    act = os.path.join(scratch, name + ".act")
    cli = os.path.join(build, "src", "tavlo-cli")
    run([cli, "palette", png, "--colors", "256", "--out", act, "--force", "--quiet"])
    run([cli, "reduce", png, "--palette", act, "--out", scratch, "--force", "--quiet"])
    exact = os.path.join(scratch, name + ".gif")
    peers, times = {}, {}
    for n in LEVELS:
        gif = os.path.join(scratch, f"{name}-gifsicle{n}.gif")
        best = None
        for _ in range(reps):
            start = time.perf_counter()
            run(["gifsicle", "-O3", f"--lossy={n}", exact, "-o", gif])
            best = min(best or 1e9, time.perf_counter() - start)
        peers[n] = dict(metrics(png, gif), bytes=os.path.getsize(gif))
        times[n] = best
    rows = tavlo_rows(build, scratch, name, grid, reps)
    result = []
    for n in LEVELS:
        peer = peers[n]
        chosen = largest_within(rows, peer)
        if chosen is not None:  # refine to a tenth above the grid's choice
            finer = [round(chosen + k / 10, 1) for k in range(1, 5) if chosen + k / 10 < 10.05]
            finer = [t for t in finer if t not in rows]
            if finer:
                rows.update(tavlo_rows(build, scratch, name, finer, 1))
            chosen = largest_within(rows, peer)
        while chosen is not None:  # confirmed by the shared reference figures
            m = metrics(png, rows[chosen]["file"])
            if m["mean"] <= peer["mean"] and m["blurred"] <= peer["blurred"]:
                break
            rows[chosen]["mean"] = m["mean"]  # so it is not chosen again
            chosen = largest_within({t: r for t, r in rows.items() if t < chosen}, peer)
        ours = dict(m, bytes=rows[chosen]["bytes"], budget=chosen) if chosen is not None else None
        result.append((n, peer, ours))
    return dict(exact=dict(metrics(png, exact), bytes=os.path.getsize(exact)), rows=result,
                times=times)


def fmt(m):
    return f"{m['mean']:.3f} / {m['p99']:.2f} / {m['max']:.2f} / {m['blurred']:.3f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--pictures", default="small,big,gradient,screenshot")
    parser.add_argument("--budgets", default=",".join(f"{k / 2:g}" for k in range(1, 21)))
    parser.add_argument("--reps", type=int, default=1)
    args = parser.parse_args()
    if not shutil.which("gifsicle"):
        sys.exit("lossy_comparison: gifsicle missing (scripts/install-deps.sh)")
    pictures = args.pictures.split(",")
    os.makedirs(args.scratch, exist_ok=True)
    make_inputs(args.scratch, pictures)
    grid = [float(b) for b in args.budgets.split(",")]
    print("| picture | gifsicle | bytes | mean / p99 / max / blurred | Tavlo T | bytes | "
          "mean / p99 / max / blurred | Tavlo / gifsicle |")
    print("|---|---|---:|---|---:|---:|---|---:|")
    notes = []
    for name in pictures:
        c = compare(args.build, args.scratch, name, grid, args.reps)
        e = c["exact"]
        print(f"| {name} | exact | {e['bytes']} | {fmt(e)} | | | | |")
        for n, peer, ours in c["rows"]:
            if ours is None:
                print(f"| {name} | --lossy={n} | {peer['bytes']} | {fmt(peer)} | none | | | |")
                continue
            print(f"| {name} | --lossy={n} | {peer['bytes']} | {fmt(peer)} | {ours['budget']:g} | "
                  f"{ours['bytes']} | {fmt(ours)} | {ours['bytes'] / peer['bytes']:.3f} |")
        sys.stdout.flush()
        notes.append(f"{name}: gifsicle -O3 --lossy pass " +
                     ", ".join(f"N={n} {t * 1000:.0f} ms" for n, t in c["times"].items()))
    print()
    for note in notes:
        print(note)


if __name__ == "__main__":
    main()
