#!/usr/bin/env bash
# Builds the release packages into build/packages/: the Debian package from the
# native build and the zip archive from the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh all

out=$PWD/build/packages
rm -rf "$out"
mkdir -p "$out"

for preset in native windows; do
  echo "== $preset package =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  (cd "build/$preset" && cpack -B "$out")
done
rm -rf "$out/_CPack_Packages"

echo "Packages:"
ls -1 "$out"
