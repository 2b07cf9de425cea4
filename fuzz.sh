#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ and runs each one for SECONDS (60
# unless given) on a copy of its seed corpus in fuzz/corpus/, then prints
# what each did: executions, executions per second and libFuzzer's last
# coverage numbers (cov: edges, ft: features).
#
#   ./fuzz.sh [SECONDS] [TARGET...]
#
# Exits non-zero when a target crashed, broke a promise or timed out; the
# input that did it is kept under build-fuzz/crashes/TARGET/ and printed.
# FUZZ_JOBS sets the build's parallel jobs (all cores unless set).
set -euo pipefail
cd "$(dirname "$0")"

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: ./fuzz.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi
shift $(( $# > 0 ? 1 : 0 ))
all=(numtext codec paper_ini input_file design_file flight marker recovery measured)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

scripts/deps.sh
compiler=clang++-16
symbolizer=/usr/bin/llvm-symbolizer-16
jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}

echo "== fuzz build (build-fuzz, $compiler)"
start=$SECONDS
mkdir -p build-fuzz
if ! { cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER="$compiler" &&
       cmake --build build-fuzz -j "$jobs"; } >build-fuzz/build.log 2>&1; then
  tail -40 build-fuzz/build.log
  echo "fuzz build failed: build-fuzz/build.log" >&2
  exit 1
fi
for t in "${targets[@]}"; do
  [ -x "build-fuzz/fuzz_$t" ] || { echo "no fuzz target: $t" >&2; exit 2; }
done
echo "built in $((SECONDS - start)) s"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
[ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=$symbolizer
export QT_QPA_PLATFORM=offscreen

failed=0
passed=0
rows=()
for t in "${targets[@]}"; do
  run=build-fuzz/run/$t
  crashes=build-fuzz/crashes/$t
  rm -rf "$run"
  mkdir -p "$run/corpus" "$crashes"
  cp -r "fuzz/corpus/$t/." "$run/corpus/"
  # The sample designs and the paper catalogue are seeds as they stand.
  case $t in
    design_file) cp examples/*.kx "$run/corpus/" ;;
    paper_ini) cp examples/Paper.ini "$run/corpus/" ;;
  esac
  echo "== $t: ${seconds} s"
  status=0
  "build-fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$run/corpus" >"$run/log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$run/log" | tail -1)
  last=$(grep -E '^#[0-9]+.*cov: ' "$run/log" | tail -1 || true)
  [ -n "$execs" ] || execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$last")
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  result=ok
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$run/log" | tail -1)
    result="FAILED (exit $status)${input:+, input kept: $input}"
    # The broken promise with its whole detail, and the input itself when it
    # is small: a run on another machine leaves enough here to replay it.
    { sed -n '/promise broken/,/^==[0-9]*==/p' "$run/log" | head -40
      grep -E 'ERROR: (AddressSanitizer|libFuzzer)|runtime error|SUMMARY' "$run/log" | head -5
    } | awk '!seen[$0]++' | cut -c1-300 | sed 's/^/   /'
    echo "   log: $run/log"
    if [ -n "$input" ] && [ -f "$input" ] && [ "$(stat -c %s "$input")" -le 4096 ]; then
      echo "   input (base64): $(base64 -w0 "$input")"
    fi
  fi
  rows+=("$(printf '%-12s %10s %8s %7s %7s  %s' "$t" "${execs:--}" "${speed:--}" "${cov:--}" \
    "${ft:--}" "$result")")
done

echo
printf '%-12s %10s %8s %7s %7s  %s\n' target execs exec/s cov ft result
printf '%s\n' "${rows[@]}"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
