#!/usr/bin/env bash
# Fuzzing gate: builds the libFuzzer targets of fuzz/ with clang 14 in
# build-fuzz/ (CMake preset "fuzz") and runs each one in turn, starting from its
# seed corpus in fuzz/corpus/<target>/.
#
#   scripts/gates-fuzz.sh              every target for 60 seconds
#   scripts/gates-fuzz.sh 600          every target for 600 seconds
#   FUZZ_RUNS=10000000 scripts/gates-fuzz.sh
#                                      every target for that many inputs instead
#   scripts/gates-fuzz.sh 60 SynIniSynFuzz
#                                      one target only
#
# Inputs found along the way go to build-fuzz/corpus/<target>/ (the seeds in the
# source tree stay as they are). A crash, a failed check, a leak, a hang or a
# blown memory limit fails the gate; the input is kept in build-fuzz/findings/.
# To keep it as a regression seed, copy it into fuzz/corpus/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
seconds=${1:-60}
shift || true
"$root/scripts/setup.sh" --gates

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"${JOBS:-$(nproc)}"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$root"/fuzz/*Fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
limit=(-max_total_time="$seconds")
if [[ -n "${FUZZ_RUNS:-}" ]]; then
  limit=(-runs="$FUZZ_RUNS")
fi
failed=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  mkdir -p "$corpus" "$findings"
  log=$build/$target.log
  echo "gates-fuzz: $target (${limit[*]})"
  if "$build/fuzz/$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "gates-fuzz: $target ran ${runs:-?} inputs with no finding"
  else
    tail -n 60 "$log" >&2
    echo "gates-fuzz: $target found a fault; the input is in $findings/ (log: $log)" >&2
    failed=1
  fi
done
exit "$failed"
