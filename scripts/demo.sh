#!/usr/bin/env bash
# The tool's main job on a built-in example: dump a small sample tree, change
# it as an installer would, dump it again and compare the two dumps, as text
# and as a report page.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target vestiga >/dev/null

vestiga=$PWD/build/native/vestiga
work=$PWD/build/demo
rm -rf "$work"
mkdir -p "$work/sample/app/bin" "$work/sample/app/share" "$work/sample/logs"
cd "$work"
echo "v1" >sample/app/bin/tool
echo "readme" >sample/app/share/README
echo "old" >sample/app/share/obsolete.txt
echo "start" >sample/logs/app.log
printf '%s\n' '.*\.log' >ignore.txt

echo "\$ vestiga -dump before.dat -dirs sample"
"$vestiga" -dump before.dat -dirs sample
echo
echo
echo "# An update: one file changed, one added, one directory added, one file removed, a log written."
sleep 1
echo "v2" >sample/app/bin/tool
echo "new" >sample/app/bin/helper
mkdir sample/app/plugins
echo "plugin" >sample/app/plugins/extra.so
rm sample/app/share/obsolete.txt
echo "more" >>sample/logs/app.log
echo
echo "\$ vestiga -dump after.dat -dirs sample"
"$vestiga" -dump after.dat -dirs sample
echo
echo
echo "\$ vestiga -compare before.dat after.dat -ignore ignore.txt -html report.html"
"$vestiga" -compare before.dat after.dat -ignore ignore.txt -html report.html
echo
echo "The same comparison as a page, to open in a browser: $work/report.html"
