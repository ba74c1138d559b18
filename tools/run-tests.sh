#!/bin/bash
# Every check the project has: the unit, widget and end-to-end tests, the same tests built
# with AddressSanitizer and UndefinedBehaviorSanitizer, a bounded fuzzing run and the
# Windows build check. Usage: tools/run-tests.sh [--quick]   (--quick: the first step only)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n=== %s\n' "$*"; }

step "build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
[ "${1:-}" = --quick ] && exit 0

step "the tests again under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCIARLA_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitize -j "$jobs"
# The soak's memory figures mean nothing under the sanitizers' own bookkeeping.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -E "e2e_session|a11y_session"

step "fuzzing the phrase engine for ${CIARLA_FUZZ_SECONDS:-60} s"
FUZZ_BUILD_DIR=$PWD/build-fuzz fuzz/run-fuzz.sh "${CIARLA_FUZZ_SECONDS:-60}"

step "Windows build check with MinGW-w64"
packaging/windows/check-mingw.sh

step "all checks passed"
