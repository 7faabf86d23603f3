"""The table of run_result_comparison.sh from the lines its programs printed."""
import collections
import re
import statistics
import sys


def fields(line):
    return dict(re.findall(r"(\w+)=(\S+)", line))


def main(path):
    rows = collections.defaultdict(lambda: collections.defaultdict(list))
    extra = {}
    with open(path) as f:
        for line in f:
            image, who, kind = line.split()[:3]
            values = fields(line)
            if kind == "RESULT":
                rows[image][who].append((float(values["median_ms"]), float(values["min_ms"]),
                                         int(values["gif_bytes"])))
            elif kind in ("ANALYSE", "PHASE", "GIFLIB"):
                name = values.get("name", kind.lower())
                extra.setdefault((image, who), {}).setdefault(name, []).append(
                    float(values.get("median_ms", values.get("ms", 0))))
                if kind == "ANALYSE":
                    extra[(image, who)]["analysis bytes"] = [int(values["bytes"])]
    names = {"default": "Tavlo, own choice of threads", "one": "Tavlo, 1 thread",
             "pillow": "Pillow quantize + save GIF, 1 thread"}
    print("| photo | who | ms (median) | ms (min) | GIF bytes | Pillow / this (median) | "
          "Pillow / this (min) |")
    print("|---|---|---:|---:|---:|---:|---:|")
    for image, peers in rows.items():
        pillow = peers["pillow"]
        p_median = statistics.median(r[0] for r in pillow)
        p_min = min(r[1] for r in pillow)
        for who in ("default", "one", "pillow"):
            runs = peers[who]
            median = statistics.median(r[0] for r in runs)
            fastest = min(r[1] for r in runs)
            print(f"| {image} | {names[who]} | {median:.1f} | {fastest:.1f} | {runs[-1][2]} | "
                  f"{p_median / median:.2f} | {p_min / fastest:.2f} |")
    print()
    print("| photo | threads | analysis ms | analysis bytes | nearest ms | encode ms | "
          "giflib encode ms | engine reduce ms |")
    print("|---|---|---:|---:|---:|---:|---:|---:|")
    for (image, who), parts in extra.items():
        def m(name):
            return f"{statistics.median(parts[name]):.1f}" if name in parts else "-"
        print(f"| {image} | {who} | {m('analyse')} | {parts['analysis bytes'][0]} | {m('nearest')} | "
              f"{m('encode')} | {m('giflib')} | {m('reduce')} |")


if __name__ == "__main__":
    main(sys.argv[1])
