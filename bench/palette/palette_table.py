"""Formats the palette comparison's results.tsv: one row per picture, N and quantizer, then the
goal per picture and N: Tavlo's mean loss at or below the best peer's, its GIF no larger than that
peer's, in at most twice libimagequant's time.

    /usr/bin/python3 palette_table.py results.tsv
"""
import csv
import sys


def main(path):
    with open(path) as f:
        rows = list(csv.DictReader(f, delimiter="\t"))
    header = f"{'picture':<8}{'N':>4}  {'quantizer':<14}{'colours':>8}{'mean dE00':>11}" \
             f"{'> 1.0':>9}{'GIF bytes':>12}{'ms (median)':>13}{'ms (min)':>10}"
    print(header)
    print("-" * len(header))
    for r in rows:
        print(f"{r['picture']:<8}{r['N']:>4}  {r['quantizer']:<14}{r['colours']:>8}"
              f"{float(r['mean']):>11.4f}{float(r['above_one']):>8.2f}%{r['gif_bytes']:>12}"
              f"{float(r['median_ms']):>13.1f}{float(r['min_ms']):>10.1f}")
    print()
    print("| picture | N | best peer (mean) | Tavlo mean / peer | Tavlo GIF / peer | "
          "Tavlo time / libimagequant | goal |")
    print("|---|---|---|---|---|---|---|")
    groups = {}
    for r in rows:
        groups.setdefault((r["picture"], r["N"]), {})[r["quantizer"]] = r
    for (picture, n), by in groups.items():
        ours = by["tavlo"]
        peers = [r for q, r in by.items() if q != "tavlo"]
        best = min(peers, key=lambda r: float(r["mean"]))
        loss = float(ours["mean"]) / float(best["mean"]) if float(best["mean"]) > 0 else 1.0
        gif = (int(ours["gif_bytes"]) / int(best["gif_bytes"])
               if ours["gif_bytes"].isdigit() and best["gif_bytes"].isdigit() else float("nan"))
        time = float(ours["median_ms"]) / float(by["libimagequant"]["median_ms"])
        met = loss <= 1 and gif <= 1 and time <= 2
        print(f"| {picture} | {n} | {best['quantizer']} | {loss:.3f} | {gif:.3f} | {time:.2f} | "
              f"{'met' if met else 'not met'} |")


if __name__ == "__main__":
    main(sys.argv[1])
