#!/bin/bash
# The time of the result window's update under a loss budget against the exact one and against
# gifsicle's lossy pass, in one run, rounds interleaved (the machine is shared and noisy).
#
#   bench/lossy/speed.sh BUILD_BENCH SCRATCH [BUDGET] [ROUNDS]
#
# BUILD_BENCH holds tavlo_result_bench; SCRATCH is lossy_comparison.py's (small.act, small.gif:
# the 256-colour palette and the exact GIF of the 1-Mpixel photo). Prints, per round, the median
# ms of one edit's figures at budget 0 and at BUDGET (default 2), and the best of three
# `gifsicle -O3 --lossy=N` passes for N = 20, 40, 80; then the medians over the rounds.
set -euo pipefail
build=$1 scratch=$2 budget=${3:-2} rounds=${4:-3}
raw=${TMPDIR:-/tmp}/remap-bench-data/small.rgb
[ -f "$raw" ] || bash "$(dirname "$0")/../../../shared/bench/make_inputs.sh"
bench=$build/bench/tavlo_result_bench
median_ms() { "$bench" --budget="$1" "$raw" 1280 800 "$scratch/small.act" 9 |
  sed -n 's/^RESULT .*median_ms=\([0-9.]*\).*/\1/p'; }
gifsicle_ms() {
  python3 - "$scratch/small.gif" "$1" <<'EOF'
import subprocess, sys, time
best = 1e9
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(["gifsicle", "-O3", f"--lossy={sys.argv[2]}", sys.argv[1], "-o", "/dev/null"],
                   check=True)
    best = min(best, time.perf_counter() - start)
print(f"{best * 1000:.1f}")
EOF
}
{
  for round in $(seq "$rounds"); do
    echo "$round $(median_ms 0) $(median_ms "$budget") $(gifsicle_ms 20) $(gifsicle_ms 40) $(gifsicle_ms 80)"
  done
} | python3 -c '
import statistics, sys
rows = [list(map(float, line.split()[1:])) for line in sys.stdin]
names = ["exact", "budget '"$budget"'", "gifsicle 20", "gifsicle 40", "gifsicle 80"]
for row in rows:
    print("round  " + "  ".join(f"{n} {v:.1f} ms" for n, v in zip(names, row)))
med = [statistics.median(col) for col in zip(*rows)]
print("median " + "  ".join(f"{n} {v:.1f} ms" for n, v in zip(names, med)))
print(f"budget / exact {med[1] / med[0]:.2f}; budget / gifsicle " +
      ", ".join(f"{med[1] / g:.2f}" for g in med[2:]))'
