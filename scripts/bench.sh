#!/usr/bin/env bash
# Runs every benchmark of bench/ and prints each figure beside its baseline
# (each benchmark names its own baseline in its label).
#
#   scripts/bench.sh           full size, as the baselines are meant
#   scripts/bench.sh --small   small inputs, each benchmark run briefly: only
#                              shows that they still build and run (CI)
#
# Builds in build/ (or $BUILD_DIR) with scripts/build.sh. Fails when a benchmark
# fails or reports an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
args=()
if [[ "${1:-}" == "--small" ]]; then
  export WORDLARK_BENCH_SMALL=1
  args=(--benchmark_min_time=0.01)
elif [[ -n "${1:-}" ]]; then
  echo "bench: unknown option $1" >&2
  exit 2
fi
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

results=$build/bench/results
mkdir -p "$results"
summary=()
failed=0
for source in "$root"/bench/*Bench.cpp; do
  name=$(basename "$source" .cpp)
  json=$results/$name.json
  rm -f "$json"
  echo "== $name"
  if ! "$build/bench/$name" "${args[@]}" --benchmark_out="$json" --benchmark_out_format=json; then
    echo "bench: $name failed" >&2
    failed=1
    continue
  fi
  # A benchmark that cannot run here (no accessibility bus, say) writes no
  # results and has said why.
  if [[ ! -s "$json" ]]; then
    continue
  fi
  if grep -q '"error_occurred": true' "$json"; then
    echo "bench: $name reported an error" >&2
    failed=1
  fi
  # One line per result: the CPU time and the real time (or the fitted
  # complexity, or the peak memory), the MB counter where there is one (a rate or a size, as the
  # benchmark defines it), and the label with the baseline. A benchmark run
  # with repetitions gives its median only.
  while IFS= read -r line; do
    summary+=("$line")
  done < <(awk '
    function flush() {
      if (name == "") return
      skip = (type == "iteration" && reps > 1) ||
             (type == "aggregate" && agg != "median" && bigo == "" && rms == "")
      if (!skip) {
        if (bigo != "") figure = sprintf("%.2f %s (fitted)", coef, bigo)
        else if (rms != "") figure = sprintf("RMS %.1f%%", rms * 100)
        else if (peak != "") figure = sprintf("peak %.1f MB", peak)
        else figure = sprintf("%.3f %s cpu, %.3f real", cpu, unit, t)
        if (mb != "") figure = figure sprintf("  MB %.4g", mb)
        printf "%-44s %-36s %s\n", name, figure, label
      }
      name = ""; t = ""; cpu = ""; unit = ""; mb = ""; label = ""; bigo = ""; coef = ""; rms = ""
      type = ""; agg = ""; reps = 1; peak = ""
    }
    /^    \{/ { flush() }
    /"name":/ { v = $0; sub(/.*"name": "/, "", v); sub(/",?$/, "", v); name = v }
    /"run_type":/ { v = $0; sub(/.*: "/, "", v); sub(/",?$/, "", v); type = v }
    /"aggregate_name":/ { v = $0; sub(/.*: "/, "", v); sub(/",?$/, "", v); agg = v }
    /"repetitions":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); reps = v + 0 }
    /"real_time":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); t = v }
    /"cpu_time":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); cpu = v }
    /"time_unit":/ { v = $0; sub(/.*: "/, "", v); sub(/",?$/, "", v); unit = v }
    /"peak_MB":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); peak = v }
    /"MB":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); mb = v }
    /"real_coefficient":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); coef = v }
    /"rms":/ { v = $0; sub(/.*: /, "", v); sub(/,$/, "", v); rms = v }
    /"big_o":/ { v = $0; sub(/.*: "/, "", v); sub(/",?$/, "", v); bigo = v }
    /"label":/ { v = $0; sub(/.*"label": "/, "", v); sub(/",?$/, "", v); label = v }
    END { flush() }' "$json")
done

echo
echo "== figures beside their baselines${WORDLARK_BENCH_SMALL:+ (small inputs: not comparable to the baselines)}"
printf '%s\n' "${summary[@]}"
exit "$failed"
