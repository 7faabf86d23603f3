#!/usr/bin/env bash
# The batch comparison of tavlo-cli reduce against Pillow, gifsicle and ImageMagick in one run
# (reduce_comparison.py describes the rows and columns).
#
#   bench/cli/run_reduce_comparison.sh             # 100 copies, 3 rounds
#   COUNT=20 ROUNDS=1 bench/cli/run_reduce_comparison.sh
#
# Environment: PEERS_DIR the shared bench folder (default ../shared/bench beside the project),
# SCRATCH a writable folder (default ${TMPDIR:-/tmp}/tavlo-cli-bench) for a copy of it, its
# photos and the pictures of the run, TAVLO_BENCH_BUILD the build folder (default build-release),
# TAVLO_BEFORE an earlier tavlo-cli for a row "tavlo-cli before" (the before and after of a change).
# Peers: ../shared/bench/install_peers.sh and gifsicle (apt-get install gifsicle), as root.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../lib.sh"
bench_paths tavlo-cli-bench build-release
command -v gifsicle >/dev/null || { echo "run_reduce_comparison: gifsicle missing" >&2; exit 1; }

bench_build tavlo-cli
bench_copy_peers  # for its photos and its exactness check
[[ -f $scratch/peers/data/small.rgb ]] || "$scratch/peers/make_inputs.sh" >&2
[[ -x $scratch/peers/ref_remap ]] ||
  g++ -O2 -march=x86-64-v2 -std=c++17 -o "$scratch/peers/ref_remap" "$scratch/peers/ref_remap.cpp"

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
/usr/bin/python3 "$here/reduce_comparison.py" --cli "$build/src/tavlo-cli" \
  --data "$scratch/peers/data" --ref "$scratch/peers/ref_remap" --work "$scratch/run" \
  --count "${COUNT:-100}" --rounds "${ROUNDS:-3}" ${TAVLO_BEFORE:+--before-cli "$TAVLO_BEFORE"}
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
