#!/bin/bash
# Every check the project has: the unit, widget and end-to-end tests, the same tests built
# with AddressSanitizer and UndefinedBehaviorSanitizer, a bounded fuzzing run and the
# Windows program and its installer under Wine. Usage: tools/run-tests.sh [--quick]   (--quick: the first step only)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n=== %s\n' "$*"; }
# timed COMMAND...: runs it and keeps its time, printed with the others at the end.
times=()
timed() {
    local t0=$SECONDS word name=()
    "$@"
    for word in "$@"; do [[ $word == env || $word == *=* ]] || name+=("${word#tests/e2e/}"); done
    times+=("$(printf '%5d s  %s' $((SECONDS - t0)) "${name[*]:0:2}")")
}

step "build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
timed cmake --build build -j "$jobs"
timed ctest --test-dir build --output-on-failure -j "$jobs"
[ "${1:-}" = --quick ] && exit 0

step "the tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCIARLA_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
timed cmake --build build-sanitize -j "$jobs"
# The sessions drive the program as a user does, seen already; the emulated processors
# cannot run the sanitizers' runtime.
timed env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -E "e2e_session|a11y_session|orca_session|photo_shapes_session|core_on_"

step "fuzzing the phrase engine for ${CIARLA_FUZZ_SECONDS:-60} s"
timed env FUZZ_BUILD_DIR=$PWD/build-fuzz fuzz/run-fuzz.sh "${CIARLA_FUZZ_SECONDS:-60}"

step "Windows: the cross-built program and core tests, the core tests, user sessions, reference pictures, a screen reader's client, users' conditions, screens above 96 DPI, the command line and the installer under Wine"
timed env CIARLA_PACKAGE_VERSION=1.0.0.0 CIARLA_BUILD_TESTS=ON tools/build-windows.sh build-windows
timed tests/world.sh WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    ctest --test-dir build-windows/build --output-on-failure
timed tests/e2e/run-wine-e2e.sh build-windows/Ciarlatronix-1.0.0.0-win64.zip
timed tests/e2e/run-wine-references.sh build-windows/Ciarlatronix-1.0.0.0-win64.zip
timed tests/e2e/run-wine-conditions.sh build-windows/Ciarlatronix-1.0.0.0-win64.zip
timed tests/e2e/run-wine-photos.sh build-windows/Ciarlatronix-1.0.0.0-win64.zip
timed tests/e2e/run-wine-dpi.sh build-windows/Ciarlatronix-1.0.0.0-win64.zip
timed tests/e2e/run-wine-commandline.sh build-windows/Ciarlatronix-1.0.0.0-win64.zip
# A later version of the same program, to upgrade to: only the packages are made again.
timed env CIARLA_PACKAGE_VERSION=1.0.0.1 tools/build-windows.sh --exe build-windows/Ciarlatronix.exe build-windows/later
timed tests/e2e/run-wine-msi.sh build-windows/Ciarlatronix-1.0.0.0-win64.msi build-windows/later/Ciarlatronix-1.0.0.1-win64.msi

step "all checks passed"
printf '%s\n' "${times[@]}"
