#!/usr/bin/env bash
# A screenshot of a real desktop program for the lossy comparison: Tavlo itself on a virtual
# screen of 1280 x 800 with a window manager (../shared/tools/desktop), a photo opened, 64 colours
# from it in the palette window and the result window shown.
#
#   bench/lossy/screenshot.sh OUT.png [BUILD]        # BUILD: a build with src/tavlo (build)
set -euo pipefail
out=${1:?OUT.png}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build=${2:-$root/build}
[[ -x $build/src/tavlo ]] || { echo "screenshot.sh: no $build/src/tavlo (make build)" >&2; exit 1; }
desktop="$root/../shared/tools/desktop/session.sh"
work=$(mktemp -d)
export TMPDIR=$work  # a session of its own, beside any other on the machine
trap 'bash "$desktop" stop; rm -rf "$work"' EXIT

photo="$work/dandelion.png"
/usr/bin/convert -size 1280x800 -depth 8 "rgb:${BENCH_DATA:-/tmp/remap-bench-data}/small.rgb" \
  -resize 480x "$photo"
eval "$(bash "$desktop" start 1280x800)"
mkdir -p "$work/home"
HOME="$work/home" "$build/src/tavlo" >/dev/null 2>&1 &
timeout 60 xdotool search --sync --name '^Tavlo' windowactivate --sync >/dev/null
sleep 2
key() { xdotool key "$@"; sleep 1; }
key alt+f Return                      # Open image
xdotool type --delay 10 "$photo"; key Return
key alt+o Down Down Down Return       # Palette from picture, entries 1 to 64
xdotool type 1; key Return
xdotool type 64; key Return
sleep 2; key Return                   # its message
key ctrl+r                            # the result window
sleep 3
bash "$desktop" shot "$out" >/dev/null
