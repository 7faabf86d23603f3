#!/usr/bin/env bash
# Runs the shared peer comparison (../shared/bench/run_peers.sh) with Tavlo's rows in the same run,
# then prints Tavlo against each peer as ratios.
#
#   bench/run_peer_comparison.sh                 # one round, both pictures
#   ROUNDS=3 bench/run_peer_comparison.sh        # three rounds (per row the median of the rounds)
#   IMAGES=small REPS=3 bench/run_peer_comparison.sh
#
# Environment: PEERS_DIR the shared bench folder (default ../shared/bench beside the project),
# SCRATCH a writable folder (default ${TMPDIR:-/tmp}/tavlo-peer-bench) that gets a copy of it (the
# shared folder is read-only; its photos are made once there and kept), TAVLO_BENCH_BUILD the build
# folder for the bench program (default build-bench in the project). Everything else (ROUNDS, REPS,
# IMAGES, ...) goes to run_peers.sh as it is. The peers must be installed first
# (install_peers.sh, as root).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib.sh"
bench_paths tavlo-peer-bench
[[ -x $peers/run_peers.sh ]] || { echo "run_peer_comparison: no run_peers.sh in $peers" >&2; exit 1; }

bench_build tavlo_remap_bench -DTAVLO_BUILD_BENCH=ON
bench_copy_peers

log="$scratch/last_run.txt"
OURS_CMD="$build/bench/tavlo_remap_bench" OURS_NAME=tavlo KEEP_OUTPUTS=1 \
  "$scratch/peers/run_peers.sh" 2> >(tee "$scratch/last_run.err" >&2) | tee "$log"
kept="$(sed -n 's/^run_peers: outputs kept in //p' "$scratch/last_run.err" | tail -n1)"
echo
/usr/bin/python3 "$here/peer_ratios.py" "$kept/results.tsv" | tee -a "$log"
rm -rf "$kept"
