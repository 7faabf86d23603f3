"""Formats the palette comparison's results.tsv: one row per picture, N and quantizer, then per
picture and N Tavlo against the others, and the goals.

    /usr/bin/python3 palette_table.py results.tsv

Goals: Tavlo's mean loss at or below the best peer's and its GIF no larger; with the row
"tavlo-before", its mean loss no higher than before's to within 0.5 %; on its own choice of
threads at most 0.5 s (1-Mpixel photo "small") and 1.5 s (8.3-Mpixel photo "big") at 256
colours; on one thread no slower than libimagequant at speed 1.
"""
import csv
import sys

LIMIT_MS = {("small", "256"): 500, ("big", "256"): 1500}


def ratio(x, y):
    return float(x) / float(y) if float(y) > 0 else float("nan")


def main(path):
    with open(path) as f:
        rows = list(csv.DictReader(f, delimiter="\t"))
    header = f"{'picture':<8}{'N':>4}  {'quantizer':<17}{'colours':>8}{'mean dE00':>11}" \
             f"{'> 1.0':>9}{'GIF bytes':>12}{'ms':>9}{'ms (min)':>10}{'ms 1 thr':>10}{'(min)':>9}"
    print(header)
    print("-" * len(header))
    for r in rows:
        print(f"{r['picture']:<8}{r['N']:>4}  {r['quantizer']:<17}{r['colours']:>8}"
              f"{float(r['mean']):>11.4f}{float(r['above_one']):>8.2f}%{r['gif_bytes']:>12}"
              f"{float(r['median_ms']):>9.1f}{float(r['min_ms']):>10.1f}"
              f"{float(r['median_ms_1t']):>10.1f}{float(r['min_ms_1t']):>9.1f}")
    print()
    print("| picture | N | mean / before | mean / best peer | GIF / best peer | ms | before ms / ms "
          "| ms, 1 thread / libimagequant speed 1 | goals |")
    print("|---|---|---|---|---|---|---|---|---|")
    groups = {}
    for r in rows:
        groups.setdefault((r["picture"], r["N"]), {})[r["quantizer"]] = r
    for (picture, n), by in groups.items():
        ours = by["tavlo"]
        before = by.get("tavlo-before")
        peers = [r for q, r in by.items() if not q.startswith("tavlo")]
        best = min(peers, key=lambda r: float(r["mean"]))
        loss = ratio(ours["mean"], best["mean"])
        gif = ratio(ours["gif_bytes"], best["gif_bytes"])
        against_before = ratio(ours["mean"], before["mean"]) if before else float("nan")
        speedup = ratio(before["median_ms"], ours["median_ms"]) if before else float("nan")
        one_thread = ratio(ours["median_ms_1t"], by["libimagequant"]["median_ms_1t"])
        missed = []
        if loss > 1 or gif > 1:
            missed.append("peer")
        if before and against_before > 1.005:
            missed.append("loss")
        if float(ours["median_ms"]) > LIMIT_MS.get((picture, n), float("inf")):
            missed.append("time")
        if one_thread > 1:
            missed.append("1 thread")
        print(f"| {picture} | {n} | {against_before:.4f} | {loss:.3f} ({best['quantizer']}) | "
              f"{gif:.3f} | {float(ours['median_ms']):.0f} | {speedup:.2f} | {one_thread:.2f} | "
              f"{'met' if not missed else 'missed: ' + ', '.join(missed)} |")


if __name__ == "__main__":
    main(sys.argv[1])
