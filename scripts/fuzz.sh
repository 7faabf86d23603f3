#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer)
# and runs them.
#   scripts/fuzz.sh run SECONDS [TARGET...]   fuzz each target for SECONDS
#   scripts/fuzz.sh replay [TARGET...]        run every saved crash-regression input once
# Seeds: fuzz/seeds/<target>/ and, for the palette readers, the shared real-world corpus.
# New crashes land in build-fuzz/artifacts/<target>/; copy them to fuzz/regressions/<target>/
# once fixed, so that every CI run replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}
shift || true
seconds=20
if [ "$mode" = run ]; then seconds=${1:-20}; shift || true; fi

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVLO_BUILD_FUZZ=ON -DTAVLO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target tavlo_fuzzers >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*_fuzzer.cpp; do targets+=("$(basename "$f" _fuzzer.cpp)"); done
fi

corpus_root=../shared/corpus
extra_seeds() {  # real-world files for the readers that take them
  case "$1" in
    act) echo "$corpus_root/act" ;;
    pal) echo "$corpus_root/pal" ;;
    gif|picture) echo "$corpus_root/gif" ;;
    gpl|hex|aco|ase) echo "$corpus_root/$1" ;;
    png_palette|png_decoder) echo "$corpus_root/png" ;;
    riff_pal) echo "$corpus_root/pal" ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
replay() {  # every saved crash-regression input of target $1, once
  local t=$1 exe="$build/fuzz/${1}_fuzzer" inputs
  inputs=(fuzz/regressions/"$t"/*)
  [ -e "${inputs[0]}" ] || { echo "$t: no regression inputs"; return 0; }
  echo "$t: replaying ${#inputs[@]} regression inputs"
  "$exe" -runs=1 "${inputs[@]}" >"$build/$t-replay.log" 2>&1 || { tail -30 "$build/$t-replay.log"; return 1; }
}

fuzz_one() {  # target $1 for $seconds; its report goes to $build/$1.report
  local t=$1 exe="$build/fuzz/${1}_fuzzer" corpus="$build/corpus/$1" artifacts="$build/artifacts/$1/"
  local log="$build/$t.log" seeds=("fuzz/seeds/$t") extra runs
  rm -f "$build/$t.report"
  mkdir -p "$corpus" "$artifacts"
  extra=$(extra_seeds "$t")
  [ -n "$extra" ] && [ -d "$extra" ] && seeds+=("$extra")
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1048576 \
       -artifact_prefix="$artifacts" -print_final_stats=1 "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    # The last figure is the fuzzer's own; decoder children that die may print theirs first.
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo "?")
    echo "$t: $runs executions in ${seconds}s, no crash" >"$build/$t.report"
  else
    { echo "$t: FAILED, see $log and $artifacts"; tail -40 "$log"; } >"$build/$t.report"
    return 1
  fi
}

status=0
if [ "$mode" = replay ]; then
  for t in "${targets[@]}"; do replay "$t" || status=1; done
  exit $status
fi
# One target a processor, each for the full time: libFuzzer runs on one thread.
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$(nproc)" ]; then wait -n || status=1; running=$((running - 1)); fi
  fuzz_one "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do wait -n || status=1; running=$((running - 1)); done
for t in "${targets[@]}"; do cat "$build/$t.report"; done
exit $status
