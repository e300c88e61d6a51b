#!/bin/bash
# Runs a Windows program under Wine for CTest and passes its exit code on.
# The prefix lives in the build folder unless WINEPREFIX names another.
set -u
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX"

# Wine's helpers inherit our pipes and hold them open for seconds after the
# program ends; collect the output in files instead and print it afterwards.
out=$(mktemp)
err=$(mktemp)
wine "$exe" "$@" >"$out" 2>"$err"
rc=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $rc
