#!/bin/bash
# Builds, tests and runs the program on Debian 12 (as root).
#   ./build.sh run    build lk.exe and start it under Wine
#   ./build.sh test   build everything and run every test: native, sanitizers, Wine, fuzz targets
#   ./build.sh fuzz [SECONDS]   run each fuzz target that long (default 60) over its corpus
#   ./build.sh package   build the release packages (zips and setup program) into dist/
# All install what is missing first and reuse earlier builds.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
build=${LK_BUILD_DIR:-$root/build}
jobs=${LK_JOBS:-$(nproc)}

packages=(
    cmake make g++ python3 xvfb xauth
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 fonts-wine
    googletest libgtest-dev libbenchmark-dev libssl-dev openssl libutf8proc-dev libidn2-dev
    rapidjson-dev libsqlite3-dev
    clang libclang-rt-14-dev
    clang-format git nsis
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "== installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

configure() {  # folder, extra cmake arguments...
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$dir" -DLK_WERROR=ON "$@" >/dev/null
    fi
}

build_native() {
    echo "== native build"
    configure "$build/native"
    cmake --build "$build/native" -j"$jobs"
}

build_sanitized() {
    echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
    configure "$build/asan" -DLK_SANITIZE=ON
    cmake --build "$build/asan" -j"$jobs"
}

build_windows() {  # 64 or 32
    echo "== win$1 build"
    configure "$build/win$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw$1.cmake"
    cmake --build "$build/win$1" -j"$jobs"
}

# The fuzz targets and the portable libraries only, built by clang with libFuzzer.
build_fuzz() {
    echo "== fuzz targets build"
    CC=clang CXX=clang++ configure "$build/fuzz" -DLK_FUZZ=ON
    cmake --build "$build/fuzz" -j"$jobs"
}

fuzz_targets=(bookmark_file internet_shortcut search_expression url http_reply html_references chromium_bookmarks dropped_links url_normalise archive_reply)

# Each target in turn over its committed corpus; what it finds goes to a
# scratch folder, a crash's input to build/fuzz/artifacts.
run_fuzz() {  # seconds
    local seconds=${1:-60} failed=0
    build_fuzz
    mkdir -p "$build/fuzz/artifacts"
    for target in "${fuzz_targets[@]}"; do
        echo "== fuzz_$target for $seconds s"
        local found=$build/fuzz/found/fuzz_$target log=$build/fuzz/fuzz_$target.log rc=0 dict=()
        mkdir -p "$found"
        [ -f "$root/tests/fuzz/fuzz_$target.dict" ] && dict=(-dict="$root/tests/fuzz/fuzz_$target.dict")
        "$build/fuzz/tests/fuzz/fuzz_$target" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
            -artifact_prefix="$build/fuzz/artifacts/$target-" "$found" "$root/tests/fuzz/corpus/fuzz_$target" \
            >"$log" 2>&1 || rc=$?
        if [ $rc -eq 0 ]; then
            grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units' "$log" || true
        else
            tail -n 60 "$log"
            failed=1
        fi
    done
    return $failed
}

# Every tracked source file as .clang-format lays it out (code brought in
# from elsewhere, under third_party/, keeps its own layout).
check_format() {
    echo "== clang-format"
    local files
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h' ':!:third_party/**')
    local log
    log=$(mktemp)
    local rc=0
    clang-format --dry-run --Werror "${files[@]}" 2>"$log" || rc=1
    local drifted
    drifted=$({ grep -oE '^[^:]+\.(cpp|h):' "$log" || true; } | sort -u | wc -l)
    head -n 40 "$log"
    rm -f "$log"
    summary+=("format: ${#files[@]} files, $drifted drifting from .clang-format")
    return $rc
}

summary=()
total_passed=0
total_failed=0
run_ctest() {  # label, folder, ctest prefix command...
    local label=$1 dir=$2
    shift 2
    echo "== $label tests"
    local log
    log=$(mktemp)
    local rc=0
    "$@" ctest --test-dir "$dir" -j"$jobs" --output-on-failure 2>&1 | tee "$log" || rc=1
    grep -q '100% tests passed' "$log" || rc=1
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    summary+=("$label: ${line:-no test summary}")
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        total_failed=$((total_failed + BASH_REMATCH[1]))
        total_passed=$((total_passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
    rm -f "$log"
    return $rc
}

run_tests() {
    build_native
    build_sanitized
    build_windows 32
    build_windows 64
    build_fuzz
    local failed=0
    check_format || failed=1
    run_ctest native "$build/native" || failed=1
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        run_ctest sanitizers "$build/asan" || failed=1
    run_ctest wine "$build/win64" xvfb-run -a || failed=1
    run_ctest fuzz "$build/fuzz" || failed=1
    echo "== summary"
    printf '%s\n' "${summary[@]}"
    echo "tests: $total_passed passed, $total_failed failed"
    return $failed
}

run_program() {
    build_windows 64
    local dir=$build/run
    mkdir -p "$dir"
    cp "$build/win64/app/lk.exe" "$dir/"
    export WINEPREFIX=$build/win64/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
    "$root/cmake/wine-prefix.sh" "$WINEPREFIX"
    # A first look: a run folder without a collection starts with the sample,
    # turned into a collection file as the program would save it.
    if [ ! -f "$dir/lk.htm" ]; then
        echo "== sample collection: docs/sample-bookmarks.htm"
        wine "$build/win64/tools/lktool.exe" load "Z:$root/docs/sample-bookmarks.htm" >"$dir/lk.htm.new"
        mv "$dir/lk.htm.new" "$dir/lk.htm"
    fi
    if [ -n "${DISPLAY:-}" ]; then
        wine "$dir/lk.exe"
    else
        xvfb-run -a wine "$dir/lk.exe"
    fi
}

# Every Windows build makes its zip, the 64-bit one the setup program too
# (package/): gathered here, with the version in their names.
make_packages() {
    build_windows 64
    build_windows 32
    rm -rf "$root/dist"
    mkdir -p "$root/dist"
    cat "$build/win64/package/packages.txt" "$build/win32/package/packages.txt" | xargs cp -t "$root/dist/"
    echo "== packages in dist/"
    ls -l "$root/dist"
}

case "${1:-}" in
    run) install_missing && run_program ;;
    test) install_missing && run_tests ;;
    fuzz) install_missing && run_fuzz "${2:-60}" ;;
    package) install_missing && make_packages ;;
    *)
        echo "usage: $0 run|test|fuzz [SECONDS]|package" >&2
        exit 2
        ;;
esac
