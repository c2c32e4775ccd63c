#!/usr/bin/env bash
# Benchmarks vestiga against the tools people use instead (GNU find, bfs, mtree,
# AIDE, comm, Wine's reg) and writes the tables to docs/benchmarks.md.
#   scripts/bench.sh [--runs N] [--entries N] [--big-entries N] [--skip-usr] [--skip-registry]
# Installs what is missing, builds the optimised native program (build/release)
# and the Windows program, generates once into build/bench-cache a tree of
# 1,000,000 entries and plain dumps of 1,000,000 and 5,000,000 entries (475 MB
# each at 5,000,000) with their sorted listings, builds the C merge of two dumps
# that gives the floor, and takes about half an hour on two cores.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
cmake --preset release >/dev/null
cmake --build --preset release -j2
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target vestiga

export WINEPREFIX=$PWD/build/windows/wineprefix
trap 'scripts/wine-run --stop' EXIT
python3 scripts/bench/run.py "$@"
