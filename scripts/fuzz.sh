#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time, starting from
# the seed corpus checked in under fuzz/corpus/<target>. New inputs go to
# build/fuzz/corpus/<target>; findings are written to build/fuzz/findings.
#   fuzz.sh [seconds per target]        (default 20)
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j2 >/dev/null || { echo "fuzz: build failed"; exit 1; }

passed=0
failed=0
mkdir -p build/fuzz/findings
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  log=build/fuzz/$target.log
  if (cd build/fuzz && "./fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix=findings/"$target"- -print_final_stats=1 "corpus/$target" "../../$seeds") \
        >"$log" 2>&1; then
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz $target: ok, ${runs:-?} runs in ${seconds}s"
    passed=$((passed + 1))
  else
    echo "fuzz $target: FAILED (see $log)"
    tail -n 30 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
