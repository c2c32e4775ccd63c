#!/usr/bin/env bash
# The manual page renders without a single warning from man/groff, and
# documents every flag of the program.
set -uo pipefail
cd "$(dirname "$0")/../.."
page=docs/vestiga.1
status=0

warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "manpage: $page renders with warnings:"
  echo "$warnings"
  status=1
fi

text=$(MANWIDTH=100 man -l "$page" 2>/dev/null | sed "s/.\x08//g")
for flag in -dump -dirs -regdirs -compare -verify -ignore -print -html -json -help; do
  if ! grep -Eq "^ {7}$flag( |$)" <<<"$text"; then
    echo "manpage: no entry for $flag under OPTIONS"
    status=1
  fi
done
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "IGNORE FILES" "DUMP FILE FORMAT" OUTPUT "REPORT PAGE" "JSON LINES" "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
  grep -q "^$section\$" <<<"$text" || { echo "manpage: section $section missing"; status=1; }
done

[ $status -eq 0 ] && echo "manpage: ok"
exit $status
