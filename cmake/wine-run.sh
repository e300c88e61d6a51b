#!/bin/bash
# Runs a Windows program under Wine for CTest and passes its exit code on.
# The prefix lives in the build folder (WINEPREFIX may override it) and is set
# up once: no crash debugger dialog, no window manager decorations, fonts.
set -u
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

(
    flock 9
    if [ ! -f "$WINEPREFIX/.lk-ready" ]; then
        wineboot -i >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
        wineserver -w
        touch "$WINEPREFIX/.lk-ready"
    fi
) 9>"$build_dir/.wineprefix.lock"

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
