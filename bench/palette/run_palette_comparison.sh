#!/usr/bin/env bash
# "Palette from picture" against the peers' quantizers, in one run: for each picture and colour
# count N, each quantizer makes a palette of at most N colours, every palette is applied by
# Tavlo's exact rule (nearest entry by squared RGB distance, ties to the lower index), and the
# table gives the mean CIEDE2000 loss, the share of pixels above 1.0, the GIF Tavlo writes and the
# time each quantizer took.
#
#   bench/palette/run_palette_comparison.sh                  # both photos and the flat graphic
#   PICTURES="small flat" COUNTS="16 256" REPS=3 bench/palette/run_palette_comparison.sh
#
# Peers (install them first: ../shared/bench/install_peers.sh, as root): libimagequant at speed 1
# without dithering (what `pngquant --speed 1 --nofs` computes) and at its default speed 4,
# ImageMagick `-colors N +dither`, Pillow `quantize(N)`. Every quantizer runs twice, on its own
# choice of threads and on one (--threads=1 for Tavlo, OMP_NUM_THREADS=1 for the peers).
# Environment: PEERS_DIR (default ../shared/bench beside the project), SCRATCH (default
# ${TMPDIR:-/tmp}/tavlo-palette-bench), TAVLO_BENCH_BUILD (default build-bench), REPS (runs per
# quantizer, taken in turns; the time is the median), TAVLO_BEFORE (a tavlo_palette_bench of an
# earlier version, for a row "tavlo-before": the before and after of a change in one run).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../lib.sh"
bench_paths tavlo-palette-bench
pictures="${PICTURES:-small big flat}"
counts="${COUNTS:-16 64 256}"
reps="${REPS:-1}"
python=/usr/bin/python3  # Debian's, which has python3-pil

[[ -x $peers/make_inputs.sh ]] || { echo "run_palette_comparison: no make_inputs.sh in $peers" >&2; exit 1; }
bench_copy_peers
mkdir -p "$scratch/out"
bench_build tavlo_palette_bench -DTAVLO_BUILD_BENCH=ON
tavlo="$build/bench/tavlo_palette_bench"
gcc -O2 -std=c11 -o "$scratch/liq_quantize" "$here/liq_quantize.c" -limagequant -lm
gcc -O2 -std=c11 -o "$scratch/magick_quantize" "$here/magick_quantize.c" \
  $(pkg-config --cflags --libs MagickWand)

"$scratch/peers/make_inputs.sh" >/dev/null
data="$scratch/peers/data"
[[ -f $data/big.rgb ]] || data="${TMPDIR:-/tmp}/remap-bench-data"  # where a read-only copy puts them
[[ -f $data/flat.rgb ]] || "$python" "$here/make_flat_graphic.py" "$data/flat.rgb"

echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
declare -A width=([small]=1280 [big]=3840 [flat]=1600) height=([small]=800 [big]=2160 [flat]=1000)
results="$scratch/results.tsv"
printf 'picture\tN\tquantizer\tcolours\tmedian_ms\tmin_ms\tmedian_ms_1t\tmin_ms_1t\tmean\tabove_one\tgif_bytes\n' >"$results"
quantizers=(tavlo)
[[ -n ${TAVLO_BEFORE:-} ]] && quantizers+=(tavlo-before)
quantizers+=(libimagequant libimagequant-s4 imagemagick pillow)

quantize() {  # quantizer picture N out.act threads (0: its own choice) -> its RESULT line
  local q=$1 p=$2 n=$3 out=$4 t=$5 in="$data/$2.rgb" w=${width[$2]} h=${height[$2]}
  local omp=()
  [[ $t == 1 ]] && omp=(env OMP_NUM_THREADS=1)
  case $q in
    tavlo) "$tavlo" quantize "$in" "$w" "$h" "$n" 1 "$out" "--threads=$t" ;;
    tavlo-before) "$TAVLO_BEFORE" quantize "$in" "$w" "$h" "$n" 1 "$out" "--threads=$t" ;;
    libimagequant) "${omp[@]}" "$scratch/liq_quantize" "$in" "$w" "$h" "$n" 1 "$out" 1 ;;
    libimagequant-s4) "${omp[@]}" "$scratch/liq_quantize" "$in" "$w" "$h" "$n" 1 "$out" 4 ;;
    imagemagick) "${omp[@]}" "$scratch/magick_quantize" "$in" "$w" "$h" "$n" 1 "$out" ;;
    pillow) "${omp[@]}" "$python" "$here/pil_quantize.py" "$in" "$w" "$h" "$n" 1 "$out" ;;
  esac
}
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }
middle() { local s=($(tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g)); echo "${s[$((${#s[@]} / 2))]} ${s[0]}"; }

for p in $pictures; do
  for n in $counts; do
    declare -A times=() times1=()
    for ((rep = 0; rep < reps; ++rep)); do  # the quantizers in turns, so that noise hits all alike
      for q in "${quantizers[@]}"; do
        line="$(quantize $q "$p" "$n" "$scratch/out/$q-$p-$n.act" 0)"
        times[$q]+="$(field median_ms <<<"$line") "
        line="$(quantize $q "$p" "$n" "$scratch/out/$q-$p-$n-1t.act" 1)"
        times1[$q]+="$(field median_ms <<<"$line") "
      done
    done
    for q in "${quantizers[@]}"; do
      figures="$("$tavlo" measure "$data/$p.rgb" "${width[$p]}" "${height[$p]}" "$scratch/out/$q-$p-$n.act")"
      read -r median minimum <<<"$(middle "${times[$q]}")"
      read -r median1 minimum1 <<<"$(middle "${times1[$q]}")"
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$p" "$n" "$q" \
        "$(($(stat -c %s "$scratch/out/$q-$p-$n.act") / 3))" "$median" "$minimum" "$median1" \
        "$minimum1" "$(field mean <<<"$figures")" "$(field above_one <<<"$figures")" \
        "$(field gif_bytes <<<"$figures")" >>"$results"
    done
    echo "run_palette_comparison: $p N=$n done ($(cut -d' ' -f1-3 /proc/loadavg))" >&2
  done
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
"$python" "$here/palette_table.py" "$results"
