#!/usr/bin/env bash
# Configures and builds Wordlark in build/ (or the folder given as $BUILD_DIR).
#   scripts/build.sh                   everything: program, tests, benchmarks
#   scripts/build.sh --target wordlark only that target and what it needs
# Any other arguments go to the configuring cmake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
configure=()
targets=()
while (($#)); do
  case "$1" in
    --target) targets+=(--target "$2"); shift 2 ;;
    *) configure+=("$1"); shift ;;
  esac
done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configure[@]}" >/dev/null
cmake --build "$build" "${targets[@]}" -j"$(nproc)"
