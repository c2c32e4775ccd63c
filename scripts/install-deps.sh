#!/usr/bin/env bash
# Installs the Debian packages a build needs, and only those that are missing.
#   install-deps.sh native   compiler, CMake, Boost.Regex, libattr, OpenSSL, GoogleTest, and the
#                            tools the save tests use (setfacl, setfattr, strace) and
#                            those that read the JSON Lines back (jq)
#   install-deps.sh all      native, plus the mingw-w64 cross compiler, Wine,
#                            the packaging tools (dpkg-shlibdeps, man, unzip,
#                            lintian), clang with libFuzzer for the fuzz targets
#                            and Chromium, in which the tests open the report page
#   install-deps.sh bench    native and Windows, plus the tools the benchmark
#                            measures vestiga against (bfs, mtree, AIDE, GNU time),
#                            Chromium, which opens the report page, and hyperfine
#                            for measuring by hand
set -euo pipefail

native=(cmake ninja-build g++ python3 libboost-regex1.81-dev libattr1-dev libssl-dev libgtest-dev acl attr strace jq)
windows=(g++-mingw-w64-x86-64-posix googletest wine64)
packaging=(dpkg-dev file man-db groff-base unzip lintian)
hardening=(clang libclang-rt-14-dev)
browser=(chromium)
bench=(bfs mtree-netbsd aide time findutils coreutils hyperfine)
case "${1:-all}" in
  native) packages=("${native[@]}") ;;
  bench) packages=("${native[@]}" "${windows[@]}" "${bench[@]}" "${browser[@]}") ;;
  *) packages=("${native[@]}" "${windows[@]}" "${packaging[@]}" "${hardening[@]}" "${browser[@]}") ;;
esac

# One query for all: the names of those installed.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  awk '$2 == "install" && $3 == "ok" && $4 == "installed" {print $1}' || true)
missing=()
for package in "${packages[@]}"; do
  grep -qxF "$package" <<<"$installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
