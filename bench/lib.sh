#!/usr/bin/env bash
# What every comparison script sets up the same way; sourced, not run.
#
#   bench_paths SCRATCH_NAME [BUILD_NAME]   sets project, peers, scratch and build from PEERS_DIR,
#                                           SCRATCH and TAVLO_BENCH_BUILD or their defaults
#   bench_build TARGET [CMAKE_ARGS...]      configures a Release build without tests, builds TARGET
#   bench_copy_peers                        a private, writable copy of the shared comparison in
#                                           $scratch/peers (the shared folder is read-only; the
#                                           photos made there once are kept)

bench_paths() {
  project="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  peers="${PEERS_DIR:-$(cd "$project/.." && pwd)/shared/bench}"
  scratch="${SCRATCH:-${TMPDIR:-/tmp}/$1}"
  build="${TAVLO_BENCH_BUILD:-$project/${2:-build-bench}}"
}

bench_build() {
  local target=$1
  shift
  cmake -S "$project" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVLO_BUILD_TESTS=OFF "$@" >/dev/null
  cmake --build "$build" --target "$target" -j 2 >/dev/null
}

bench_copy_peers() {
  mkdir -p "$scratch/peers"
  cp -r "$peers/." "$scratch/peers/"
  chmod -R u+w "$scratch/peers"
}
