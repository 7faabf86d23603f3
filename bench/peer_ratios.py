"""Tavlo's rows of a peer comparison (the results.tsv of run_peers.sh) against every peer row of
the same picture: how many times faster Tavlo is, by the median of the round medians and by the
fastest single repetition (the better figure on a busy machine).

    python3 peer_ratios.py RESULTS.tsv [OURS_NAME]
"""
import csv
import statistics
import sys


def main(path, ours="tavlo"):
    with open(path, newline="") as f:
        lines = list(csv.DictReader(f, delimiter="\t"))
    rows = {}
    for r in lines:
        key = (r["image"], r["peer"], r["variant"], r["threads"])
        agg = rows.setdefault(key, {"ms": [], "min": [], "dither": r["dither"]})
        agg["ms"].append(float(r["ms"]))
        agg["min"].append(float(r["min_ms"]))
    table = [["image", "tavlo row", "threads", "against", "peer threads", "x faster (median)",
              "x faster (min)"]]
    for (image, peer, variant, threads), a in rows.items():
        if peer != ours:
            continue
        mine_ms, mine_min = statistics.median(a["ms"]), min(a["min"])
        for (image2, peer2, variant2, threads2), b in rows.items():
            if image2 != image or peer2 == ours or b["dither"] != a["dither"] or variant2 == "memcpy":
                continue
            table.append([image, variant, threads, f"{peer2} {variant2}", threads2,
                          f"{statistics.median(b['ms']) / mine_ms:.2f}",
                          f"{min(b['min']) / mine_min:.2f}"])
    widths = [max(len(row[i]) for row in table) for i in range(len(table[0]))]
    for k, row in enumerate(table):
        print("  ".join(c.ljust(widths[i]) if i < 5 else c.rjust(widths[i])
                        for i, c in enumerate(row)).rstrip())
        if k == 0:
            print("  ".join("-" * w for w in widths))


if __name__ == "__main__":
    main(*sys.argv[1:])
