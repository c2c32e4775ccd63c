#!/usr/bin/env bash
# Builds both programs and runs every test: the native build, the same build
# with AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build with
# its tests under Wine, bounded fuzzing runs, and the packages.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh all || exit 1

# The Wine server of the Windows tests serves the package check too; it and
# the services it started end with this script.
trap 'WINEPREFIX="$PWD/build/windows/wineprefix" scripts/wine-run --stop' EXIT

status=0
passed=0
failed=0

run_suite() {
  local preset=$1
  echo "== $preset build =="
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j2; then
    echo "$preset: build failed"
    status=1
    return
  fi
  echo "== $preset tests =="
  local log
  log=$(mktemp)
  ctest --preset "$preset" -j2 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line total bad
  line=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  else
    status=1
  fi
  rm -f "$log"
}

run_suite native
run_suite asan
run_suite windows

# The fuzzers run for a fixed time on one core; the package check runs beside
# them on the other, and its report follows theirs.
packages_log=$(mktemp)
tests/packaging/check-packages.sh >"$packages_log" 2>&1 &
packages=$!

echo "== fuzzing =="
if scripts/fuzz.sh "${VESTIGA_FUZZ_SECONDS:-12}"; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi

echo "== packages =="
if wait "$packages"; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
cat "$packages_log"
rm -f "$packages_log"

echo "check: $passed passed, $failed failed"
exit $status
