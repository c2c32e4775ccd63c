#!/usr/bin/env bash
# Installs the Debian packages a build needs, and only those that are missing.
#   install-deps.sh native   compiler, CMake, Boost.Regex, GoogleTest
#   install-deps.sh all      native, plus the mingw-w64 cross compiler, Wine,
#                            the packaging tools (dpkg-shlibdeps, man, unzip,
#                            lintian) and clang with libFuzzer for the fuzz targets
#   install-deps.sh bench    native and Windows, plus the tools the benchmark
#                            measures vestiga against (bfs, mtree, AIDE, GNU time)
set -euo pipefail

native=(cmake ninja-build g++ python3 libboost-regex1.81-dev libgtest-dev)
windows=(g++-mingw-w64-x86-64-posix googletest wine64)
packaging=(dpkg-dev file man-db groff-base unzip lintian)
hardening=(clang libclang-rt-14-dev)
bench=(bfs mtree-netbsd aide time findutils coreutils)
case "${1:-all}" in
  native) packages=("${native[@]}") ;;
  bench) packages=("${native[@]}" "${windows[@]}" "${bench[@]}") ;;
  *) packages=("${native[@]}" "${windows[@]}" "${packaging[@]}" "${hardening[@]}") ;;
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
