#!/usr/bin/env bash
# Builds the release packages (scripts/package.sh) and checks what a user gets:
# the Debian package unpacks into a scratch root and its program runs; the zip
# holds the Windows program, the README and the presets, and the program runs
# under Wine. The manual page is checked too.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
packages=$root/build/packages
wineprefix=$root/build/windows/wineprefix
expected_first_line="Vestiga Lite v1.00 by Quorvane Software."

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

passed=0
failed=0
check() {
  local name=$1
  shift
  if "$@"; then
    echo "ok:   $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $name"
    failed=$((failed + 1))
  fi
}

# The one file in build/packages that matches the pattern, or nothing.
only_package() {
  local matches=("$packages"/$1)
  if [ ${#matches[@]} -eq 1 ] && [ -f "${matches[0]}" ]; then
    echo "${matches[0]}"
  else
    echo "no single package $1 in $packages: ${matches[*]}" >&2
  fi
}

# Runs a command; it must succeed and print the expected first line.
first_line_is() {
  local expected=$1 output first
  shift
  output=$("$@" 2>&1) || { echo "  '$*' failed: $output" >&2; return 1; }
  first=${output%%$'\n'*}
  first=${first%$'\r'}
  [ "$first" = "$expected" ] || { echo "  first line: '$first'" >&2; return 1; }
}

field_is() {
  local deb=$1 field=$2 expected=$3 actual
  actual=$(dpkg-deb -f "$deb" "$field")
  [ "$actual" = "$expected" ] || { echo "  $field: '$actual'" >&2; return 1; }
}

depends_on() {
  local deb=$1 library=$2 depends
  depends=$(dpkg-deb -f "$deb" Depends)
  grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || { echo "  Depends: '$depends'" >&2; return 1; }
}

# The listing is taken whole first: grep -q quitting early would break the pipe.
deb_holds() {
  local deb=$1 path=$2 listing
  listing=$(dpkg-deb -c "$deb" | awk '{print $NF}') || return 1
  grep -qxF "$path" <<<"$listing" || { echo "  $path not in the package" >&2; return 1; }
}

zip_holds() {
  local zip=$1 path=$2 listing
  listing=$(unzip -Z1 "$zip") || return 1
  grep -qxF "$path" <<<"$listing" || { echo "  $path not in the zip" >&2; return 1; }
}

# lintian takes seconds: it checks the package while the other checks run.
# Every tag it gives is shown; an error fails the check.
start_lintian() {
  lintian --fail-on error --tag-display-limit 0 "$1" >"$scratch/lintian.txt" 2>&1 &
  lintian_pid=$!
}
lintian_passes() {
  local status=0
  wait "$lintian_pid" || status=$?
  grep -v '^running with root privileges is not recommended!$' "$scratch/lintian.txt" | sed 's/^/  /' >&2
  return $status
}

# Runs a command quietly; its output is shown only when it fails.
quietly() {
  local output
  output=$("$@" 2>&1) || { echo "$output" | tail -n 40 >&2; return 1; }
}

# After a build of the program alone, as the Quick start makes it, an install
# by cmake puts every file in place, and the manual page it installs names the
# folder the presets are in.
install_after_program_build() {
  local build=$scratch/build installed=$scratch/install prefix=/usr/local path
  cmake -S . -B "$build" -G Ninja -DVESTIGA_BUILD_TESTS=OFF &&
    cmake --build "$build" -j2 --target vestiga &&
    DESTDIR=$installed cmake --install "$build" --prefix "$prefix" || return 1
  for path in bin/vestiga share/man/man1/vestiga.1.gz share/doc/vestiga/changelog.gz \
    share/vestiga/presets/linux-ignore.txt share/vestiga/presets/windows-ignore.txt; do
    [ -f "$installed$prefix/$path" ] || { echo "  $prefix/$path not installed" >&2; return 1; }
  done
  # grep reads to the end: with -q it may stop early and leave zcat to die of
  # a broken pipe, which pipefail counts as a failure.
  zcat "$installed$prefix/share/man/man1/vestiga.1.gz" | grep -F "$prefix/share/vestiga/presets/" >/dev/null ||
    { echo "  the manual page does not name $prefix/share/vestiga/presets/" >&2; return 1; }
}

check "scripts/package.sh builds the packages" quietly scripts/package.sh
check "cmake --install after a build of the program alone" quietly install_after_program_build

deb=$(only_package 'vestiga_*.deb')
check "one Debian package" test -n "$deb"
lintian_pid=
[ -z "$deb" ] || start_lintian "$deb"
check "manual page" quietly tests/packaging/check-manpage.sh
if [ -n "$deb" ]; then
  check "dpkg-deb -I reads the package" quietly dpkg-deb -I "$deb"
  check "package name vestiga" field_is "$deb" Package vestiga
  check "package version 1.0.0" field_is "$deb" Version 1.0.0
  check "maintainer" field_is "$deb" Maintainer "Quorvane Software <support@quorvane.com>"
  check "Depends names libc6" depends_on "$deb" libc6
  check "Depends names libstdc++6" depends_on "$deb" 'libstdc\+\+6'
  check "Depends names libattr1" depends_on "$deb" libattr1
  check "Depends names libssl3" depends_on "$deb" libssl3
  check "package holds /usr/bin/vestiga" deb_holds "$deb" ./usr/bin/vestiga
  check "package holds the manual page" deb_holds "$deb" ./usr/share/man/man1/vestiga.1.gz
  check "package holds the Linux preset" deb_holds "$deb" ./usr/share/vestiga/presets/linux-ignore.txt
  check "package holds the Windows preset" deb_holds "$deb" ./usr/share/vestiga/presets/windows-ignore.txt
  check "apt accepts the package and its dependencies" quietly apt-get install --simulate "$deb"
  check "package unpacks into a scratch root" dpkg -x "$deb" "$scratch/deb"
  check "unpacked vestiga -help" first_line_is "$expected_first_line" "$scratch/deb/usr/bin/vestiga" -help
fi

zip=$(only_package 'vestiga-*-win64.zip')
check "one Windows zip" test -n "$zip"
if [ -n "$zip" ]; then
  for path in vestiga.exe README.txt presets/windows-ignore.txt presets/linux-ignore.txt; do
    check "zip holds $path" zip_holds "$zip" "$path"
  done
  check "zip unpacks" unzip -q "$zip" -d "$scratch/zip"
  check "README.txt has Windows line ends" grep -q $'\r$' "$scratch/zip/README.txt"
  export WINEPREFIX=$wineprefix
  check "unzipped vestiga.exe -help under Wine" \
    first_line_is "$expected_first_line" scripts/wine-run "$scratch/zip/vestiga.exe" -help
  scripts/wine-run --stop
fi

[ -z "$lintian_pid" ] || check "lintian finds no error in the Debian package" lintian_passes

echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
