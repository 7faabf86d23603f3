#!/usr/bin/env bash
# The range operations of the Optimize menu ("Remove unused entries", "Merge near colours",
# "Reduce to target"), Tavlo against an earlier Tavlo in one run, taken in turns: on each photo of
# ../shared/bench, over the 256 entries of Tavlo's own palette of it. Prints per operation the
# median times (the picture's histogram and the operation), their ratio, whether both gave the
# same palette, and how many GIFs the reduction made.
#
#   TAVLO_BEFORE=path/to/tavlo_palette_bench bench/palette/run_range_comparison.sh
#
# Environment as for run_palette_comparison.sh (whose inputs it reuses): PEERS_DIR, SCRATCH,
# TAVLO_BENCH_BUILD, REPS (default 3), PICTURES (default "small big").
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../lib.sh"
bench_paths tavlo-palette-bench
reps="${REPS:-3}"
[[ -x ${TAVLO_BEFORE:-} ]] || { echo "run_range_comparison: set TAVLO_BEFORE" >&2; exit 1; }

bench_build tavlo_palette_bench -DTAVLO_BUILD_BENCH=ON
tavlo="$build/bench/tavlo_palette_bench"
bench_copy_peers
mkdir -p "$scratch/out"
"$scratch/peers/make_inputs.sh" >/dev/null
data="$scratch/peers/data"
[[ -f $data/big.rgb ]] || data="${TMPDIR:-/tmp}/remap-bench-data"

declare -A width=([small]=1280 [big]=3840) height=([small]=800 [big]=2160)
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '| picture | operation | kept | before ms | ms | before / now | same palette | GIFs made |\n'
printf '|---|---|---:|---:|---:|---:|---|---:|\n'
for p in ${PICTURES:-small big}; do
  in="$data/$p.rgb" w=${width[$p]} h=${height[$p]}
  palette="$scratch/out/range-$p.act"
  "$tavlo" quantize "$in" "$w" "$h" 256 1 "$palette" >/dev/null
  gif="$("$tavlo" measure "$in" "$w" "$h" "$palette" | field gif_bytes)"
  # Targets: two thirds of the GIF's size, and a share above 1.0 a fifth over today's.
  share="$("$tavlo" measure "$in" "$w" "$h" "$palette" | field above_one)"
  ops=("remove" "merge 1.0" "merge 3.0" "reduce <=$((gif * 2 / 3))"
       "reduce <=$(awk -v s="$share" 'BEGIN { v = s * 1.2; if (v > 100) v = 100; printf "%.1f", v }')%")
  for op in "${ops[@]}"; do
    declare -A ms=() result=()
    for ((rep = 0; rep < reps; ++rep)); do
      for who in before now; do
        bin=$tavlo
        [[ $who == before ]] && bin=$TAVLO_BEFORE
        line="$("$bin" range "$in" "$w" "$h" "$palette" 1 $op)"
        ms[$who]+="$(field median_ms <<<"$line") "
        result[$who]="$(field palette <<<"$line") $(field kept <<<"$line") $(field gif_encodes <<<"$line")"
      done
    done
    median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
    before="$(median "${ms[before]}")" now="$(median "${ms[now]}")"
    read -r hash_before kept _ <<<"${result[before]}"
    read -r hash_now _ encodes <<<"${result[now]}"
    printf '| %s | %s | %s | %.0f | %.0f | %.2f | %s | %s |\n' "$p" "$op" "$kept" "$before" "$now" \
      "$(awk -v b="$before" -v n="$now" 'BEGIN { print b / n }')" \
      "$([[ $hash_before == "$hash_now" ]] && echo yes || echo NO)" "$encodes"
  done
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
