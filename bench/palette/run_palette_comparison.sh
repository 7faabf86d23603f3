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
# without dithering (what `pngquant --speed 1 --nofs` computes), ImageMagick `-colors N +dither`,
# Pillow `quantize(N)`. Environment: PEERS_DIR (default ../shared/bench beside the project),
# SCRATCH (default ${TMPDIR:-/tmp}/tavlo-palette-bench), TAVLO_BENCH_BUILD (default build-bench),
# REPS (runs per quantizer, taken in turns; the time is the median), THREADS (Tavlo's threads,
# default its own choice).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
project="$(cd "$here/../.." && pwd)"
peers="${PEERS_DIR:-$(cd "$project/.." && pwd)/shared/bench}"
scratch="${SCRATCH:-${TMPDIR:-/tmp}/tavlo-palette-bench}"
build="${TAVLO_BENCH_BUILD:-$project/build-bench}"
pictures="${PICTURES:-small big flat}"
counts="${COUNTS:-16 64 256}"
reps="${REPS:-1}"
python=/usr/bin/python3  # Debian's, which has python3-pil

[[ -x $peers/make_inputs.sh ]] || { echo "run_palette_comparison: no make_inputs.sh in $peers" >&2; exit 1; }
mkdir -p "$scratch/peers" "$scratch/out"
cp -r "$peers/." "$scratch/peers/"
chmod -R u+w "$scratch/peers"

cmake -S "$project" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVLO_BUILD_BENCH=ON \
  -DTAVLO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target tavlo_palette_bench -j 2 >/dev/null
tavlo="$build/bench/tavlo_palette_bench"
gcc -O2 -std=c11 -o "$scratch/liq_quantize" "$here/liq_quantize.c" -limagequant -lm
gcc -O2 -std=c11 -o "$scratch/magick_quantize" "$here/magick_quantize.c" \
  $(pkg-config --cflags --libs MagickWand)

"$scratch/peers/make_inputs.sh" >/dev/null
data="$scratch/peers/data"
[[ -f $data/big.rgb ]] || data="${TMPDIR:-/tmp}/remap-bench-data"  # where a read-only copy puts them
[[ -f $data/flat.rgb ]] || "$python" "$here/make_flat_graphic.py" "$data/flat.rgb"

declare -A width=([small]=1280 [big]=3840 [flat]=1600) height=([small]=800 [big]=2160 [flat]=1000)
results="$scratch/results.tsv"
printf 'picture\tN\tquantizer\tcolours\tmedian_ms\tmin_ms\tmean\tabove_one\tgif_bytes\n' >"$results"
threads=()
[[ -n ${THREADS:-} ]] && threads=("--threads=$THREADS")

quantize() {  # quantizer picture N out.act -> its RESULT line
  local q=$1 p=$2 n=$3 out=$4 in="$data/$2.rgb" w=${width[$2]} h=${height[$2]}
  case $q in
    tavlo) "$tavlo" quantize "$in" "$w" "$h" "$n" 1 "$out" "${threads[@]}" ;;
    libimagequant) "$scratch/liq_quantize" "$in" "$w" "$h" "$n" 1 "$out" ;;
    imagemagick) "$scratch/magick_quantize" "$in" "$w" "$h" "$n" 1 "$out" ;;
    pillow) "$python" "$here/pil_quantize.py" "$in" "$w" "$h" "$n" 1 "$out" ;;
  esac
}
field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p"; }

for p in $pictures; do
  for n in $counts; do
    declare -A times=()
    for ((rep = 0; rep < reps; ++rep)); do  # the quantizers in turns, so that noise hits all alike
      for q in tavlo libimagequant imagemagick pillow; do
        line="$(quantize $q "$p" "$n" "$scratch/out/$q-$p-$n.act")"
        times[$q]+="$(field median_ms <<<"$line") "
      done
    done
    for q in tavlo libimagequant imagemagick pillow; do
      figures="$("$tavlo" measure "$data/$p.rgb" "${width[$p]}" "${height[$p]}" "$scratch/out/$q-$p-$n.act")"
      sorted=($(tr ' ' '\n' <<<"${times[$q]}" | sed '/^$/d' | sort -g))
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$p" "$n" "$q" \
        "$(($(stat -c %s "$scratch/out/$q-$p-$n.act") / 3))" "${sorted[$((${#sorted[@]} / 2))]}" \
        "${sorted[0]}" "$(field mean <<<"$figures")" "$(field above_one <<<"$figures")" \
        "$(field gif_bytes <<<"$figures")" >>"$results"
    done
    echo "run_palette_comparison: $p N=$n done" >&2
  done
done
"$python" "$here/palette_table.py" "$results"
