#!/usr/bin/env bash
# One edit of the palette to the result window's figures, against Pillow's quantize and GIF save
# of the same photo and palette, in the same run, on the peer comparison's photos.
#
#   bench/run_result_comparison.sh             # both photos, REPS=15, ROUNDS=3
#   IMAGES=small REPS=9 ROUNDS=1 bench/run_result_comparison.sh
#
# Each round runs, per photo: Tavlo with its own choice of threads, Tavlo on one thread, Pillow
# (one thread; it has no other). Per row the median of the round medians and the fastest single
# repetition; ratios are Pillow's time over Tavlo's. PEERS_DIR, SCRATCH and TAVLO_BENCH_BUILD as
# for run_peer_comparison.sh.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib.sh"
bench_paths tavlo-peer-bench
reps="${REPS:-15}"
rounds="${ROUNDS:-3}"
images="${IMAGES:-small big}"

bench_build tavlo_result_bench -DTAVLO_BUILD_BENCH=ON
bench_copy_peers
data="$scratch/peers/data"
[[ -f $data/big.rgb && -f $data/small.rgb ]] || "$scratch/peers/make_inputs.sh" >&2

log="$(mktemp)"
for round in $(seq 1 "$rounds"); do
  for image in $images; do
    case $image in
      big) size="3840 2160" ;;
      small) size="1280 800" ;;
      *) echo "unknown image $image" >&2; exit 1 ;;
    esac
    args=("$data/$image.rgb" $size "$data/palette.act" "$reps")
    "$build/bench/tavlo_result_bench" "${args[@]}" | sed "s/^/$image default /" >>"$log"
    "$build/bench/tavlo_result_bench" --threads=1 "${args[@]}" | sed "s/^/$image one /" >>"$log"
    /usr/bin/python3 "$here/pillow_gif.py" "${args[@]}" | sed "s/^/$image pillow /" >>"$log"
    echo "round $round $image done" >&2
  done
done
/usr/bin/python3 "$here/result_table.py" "$log"
rm -f "$log"
