#!/bin/bash
# Sets up a Wine prefix once (guarded by a lock: tests start in parallel):
# no crash debugger dialog, no window manager decorations, fonts in place.
# Usage: wine-prefix.sh PREFIX
set -u
export WINEPREFIX=$1
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.lk-ready" ]; then
        wineboot -i >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
        wineserver -w
        touch "$WINEPREFIX/.lk-ready"
    fi
) 9>"$WINEPREFIX.lock"
