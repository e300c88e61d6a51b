#!/bin/bash
# Takes the pictures in docs/screenshots/: the main window over the sample
# collection, the Linkstone Properties dialog and the Options sheet, at 96 and
# at 192 dpi (the Wine prefix's LogPixels), each on a fresh Xvfb display.
#   tools/screenshots.sh      after ./build.sh test or run (uses build/win64)
# Needs xdotool and ImageMagick besides what build.sh installs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LK_BUILD_DIR:-$root/build}
out=$root/docs/screenshots
work=$build/screenshots
winshot=${WINSHOT:-/work/shared/tools/winshot}

for tool in xdotool import; do
    command -v $tool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xdotool imagemagick
done
cmake --build "$build/win64" --target lk lktool -j2 >/dev/null
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
"$root/cmake/wine-prefix.sh" "$WINEPREFIX"
mkdir -p "$work/run" "$out"
cp "$build/win64/app/lk.exe" "$work/run/"
xvfb-run -a wine "$build/win64/tools/lktool.exe" load "Z:$root/docs/sample-bookmarks.htm" >"$work/run/lk.htm"

# What the shot's driver does once the frame shows: keys typed into it.
cat >"$work/drive.sh" <<'DRIVE'
#!/bin/bash
wine "$1" &
program=$!
for _ in $(seq 100); do
    frame=$(xdotool search --name '^Ravozorizi$' 2>/dev/null | head -n 1) && [ -n "$frame" ] && break
    sleep 0.2
done
sleep 1
xdotool mousemove --window "$frame" 40 10
shift
for keys in "$@"; do
    xdotool key --clearmodifiers $keys
    sleep 0.5
done
wait $program
DRIVE
chmod +x "$work/drive.sh"

shot() {  # dpi name title keys...
    local dpi=$1 name=$2 title=$3
    shift 3
    # The same window size as the user sees it on either screen.
    printf '[General]\r\nFirst Run=0\r\n[Window Layout]\r\nFrame X=0\r\nFrame Y=0\r\nFrame Width=%d\r\nFrame Height=%d\r\n' \
        $((640 * dpi / 96)) $((420 * dpi / 96)) >"$work/run/lk.ini"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    "$winshot" -q -K -W -d 2 -s 1600x1200x24 -t "$title" "$out/$name-$dpi.png" -- "$work/drive.sh" "$work/run/lk.exe" "$@"
}

for dpi in 96 192; do
    shot $dpi main Ravozorizi
    shot $dpi properties "Linkstone Properties" Tab Down alt+Return
    shot $dpi options Options alt+f o
done
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
ls -l "$out"
