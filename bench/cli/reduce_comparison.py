"""The batch comparison of `tavlo-cli reduce`: COUNT copies of a photo reduced to a fixed
256-colour palette and written as GIF files, by tavlo-cli and by its peers, in one run.

    /usr/bin/python3 reduce_comparison.py --cli PATH --data DIR --ref PATH [--count 100]
        [--rounds 3] [--work DIR] [--before-cli PATH]

DIR holds the shared comparison's small.rgb (1280x800) and palette.act / palette.png; PATH of
--ref is its ref_remap program (the exactness check). Rows, each the whole batch timed from start
to end (wall clock) with fresh, empty output folders:

  tavlo-cli         tavlo-cli reduce IN/*.png --palette palette.act --out OUT (one job per core)
  tavlo-cli -j1     the same with --jobs 1
  tavlo-cli GIF in  the same on gifsicle's inputs (below)
  tavlo-cli before  --before-cli PATH, an earlier tavlo-cli, as the first row (when given)
  pillow loop       quantize(palette=..., dither=NONE) + save(GIF), picture after picture
  gifsicle -P       xargs -P <cores> gifsicle --use-colormap palette.gif, one process per picture
  imagemagick -P    xargs -P <cores> convert IN +dither -remap palette.png OUT.gif

gifsicle reads GIF files only: its inputs are the photo as a 256-colour GIF made beforehand
(untimed, ImageMagick's own palette), so it maps 256 colours rather than a photo's and decodes
a GIF rather than a PNG; the row "tavlo-cli GIF in" does that same job. The exactness of these two
rows is measured against the pixels of that GIF.

Columns: seconds (median over the rounds), fastest round, ms per picture, CPU ms per picture
(user + system time of the row's processes; what the row costs however loaded the machine is),
CPU use (that time over wall time: 2.0 means both cores busy all along), tavlo-cli's time
divided by the row's (below 1: tavlo-cli faster), the size of the first output file, and
non-nearest: pixels of the first output that are not the palette colour nearest to the input's
pixel (ref_remap check; ties accepted).
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

from PIL import Image

WIDTH, HEIGHT = 1280, 800
CONVERT = "/usr/bin/convert"  # the real ImageMagick, whatever stands earlier in PATH


def cores():
    return len(os.sched_getaffinity(0))


def prepare(work, data, count):
    inputs = os.path.join(work, "in")
    gif_inputs = os.path.join(work, "in-gif")
    os.makedirs(inputs, exist_ok=True)
    os.makedirs(gif_inputs, exist_ok=True)
    photo_png = os.path.join(work, "photo.png")
    photo_gif = os.path.join(work, "photo.gif")
    if not os.path.exists(photo_png):
        Image.frombytes("RGB", (WIDTH, HEIGHT), open(os.path.join(data, "small.rgb"), "rb").read()).save(photo_png)
    if not os.path.exists(photo_gif):
        subprocess.run([CONVERT, photo_png, "+dither", "-colors", "256", photo_gif], check=True)
    palette_gif = os.path.join(work, "palette.gif")
    if not os.path.exists(palette_gif):
        subprocess.run([CONVERT, os.path.join(data, "palette.png"), palette_gif], check=True)
    pngs, gifs = [], []
    for i in range(count):
        png = os.path.join(inputs, f"photo-{i:03d}.png")
        gif = os.path.join(gif_inputs, f"photo-{i:03d}.gif")
        if not os.path.exists(png):
            shutil.copyfile(photo_png, png)
        if not os.path.exists(gif):
            shutil.copyfile(photo_gif, gif)
        pngs.append(png)
        gifs.append(gif)
    return pngs, gifs, palette_gif


def xargs(command, files, extension, out):
    """xargs -P <cores> running the shell `command` once per file, which names the picture "$1"
    and its output "$o". Returns the command line and what it reads on stdin."""
    per_file = f'o="{out}/$(basename "$1" {extension}).gif"; exec {command}'
    return ["xargs", "-P", str(cores()), "-I{}", "sh", "-c", per_file, "sh", "{}"], "\n".join(files) + "\n"


def rows(args, pngs, gifs, palette_gif):
    act = os.path.join(args.data, "palette.act")
    png_palette = os.path.join(args.data, "palette.png")
    here = os.path.dirname(os.path.abspath(__file__))
    before = []
    if args.before_cli:
        before = [("tavlo-cli before", lambda out: ([args.before_cli, "reduce", *pngs, "--palette", act, "--out",
                                                     out, "--quiet"], None))]
    return before + [
        ("tavlo-cli", lambda out: ([args.cli, "reduce", *pngs, "--palette", act, "--out", out, "--quiet"], None)),
        ("tavlo-cli -j1", lambda out: ([args.cli, "reduce", *pngs, "--palette", act, "--out", out, "--quiet",
                                        "--jobs", "1"], None)),
        ("tavlo-cli GIF in", lambda out: ([args.cli, "reduce", *gifs, "--palette", act, "--out", out, "--quiet"],
                                          None)),
        ("pillow loop", lambda out: ([sys.executable, os.path.join(here, "pil_reduce_batch.py"), act, out, *pngs], None)),
        ("gifsicle -P", lambda out: xargs(f'gifsicle --no-warnings --use-colormap {palette_gif} "$1" -o "$o"',
                                          gifs, ".gif", out)),
        ("imagemagick -P", lambda out: xargs(f'{CONVERT} "$1" +dither -remap {png_palette} "$o"', pngs, ".png", out)),
    ]


def timed(command, stdin):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, input=stdin, text=True, check=True, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def raw_rgb(picture_path, rgb_path):
    with Image.open(picture_path) as picture:
        open(rgb_path, "wb").write(picture.convert("RGB").tobytes())


def non_nearest(args, gif, work, gif_input):
    rgb = os.path.join(work, "check.rgb")
    raw_rgb(gif, rgb)
    reference = os.path.join(args.data, "small.rgb")
    if gif_input:
        reference = os.path.join(work, "photo-gif.rgb")
        raw_rgb(os.path.join(work, "photo.gif"), reference)
    line = subprocess.run([args.ref, "check", reference,
                           os.path.join(args.data, "palette.act"), rgb],
                          check=True, capture_output=True, text=True).stdout
    fields = dict(f.split("=", 1) for f in line.split()[1:])
    return int(fields["non_nearest"])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--ref", required=True)
    parser.add_argument("--count", type=int, default=100)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--work", default=os.path.join(os.environ.get("TMPDIR", "/tmp"), "tavlo-cli-bench"))
    parser.add_argument("--before-cli")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)
    pngs, gifs, palette_gif = prepare(args.work, args.data, args.count)
    table = rows(args, pngs, gifs, palette_gif)
    results = {name: [] for name, _ in table}
    checked = {}
    for round_ in range(args.rounds):
        for name, command in table:  # every round runs every row, so a slow spell hits all alike
            out = os.path.join(args.work, "out-" + name.replace(" ", "_"))
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            results[name].append(timed(*command(out)))
            produced = sorted(os.listdir(out))
            if len(produced) != args.count:
                sys.exit(f"{name}: {len(produced)} outputs instead of {args.count}")
            if name not in checked:
                first = os.path.join(out, produced[0])
                gif_input = name in ("tavlo-cli GIF in", "gifsicle -P")
                checked[name] = (os.path.getsize(first), non_nearest(args, first, args.work, gif_input))
            print(f"round {round_ + 1} {name}: {results[name][-1][0]:.2f} s", file=sys.stderr)
    ours = statistics.median(w for w, _ in results["tavlo-cli"])
    print(f"{args.count} copies of the {WIDTH}x{HEIGHT} photo, 256-colour palette, GIF out; "
          f"{cores()} cores; median of {args.rounds} rounds\n")
    print("| row | s (median) | s (min) | ms / picture | CPU ms / picture | CPU use | tavlo-cli / row | "
          "GIF bytes | non-nearest px |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    for name, _ in table:
        walls = [w for w, _ in results[name]]
        median = statistics.median(walls)
        cpu = statistics.median(c / w for w, c in results[name])
        cpu_ms = statistics.median(c for _, c in results[name]) * 1000 / args.count
        size, wrong = checked[name]
        print(f"| {name} | {median:.2f} | {min(walls):.2f} | {median * 1000 / args.count:.1f} | "
              f"{cpu_ms:.1f} | {cpu:.2f} | {ours / median:.2f} | {size} | {wrong} |")


if __name__ == "__main__":
    main()
