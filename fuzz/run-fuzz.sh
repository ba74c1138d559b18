#!/usr/bin/env bash
# Builds the phrase core fuzzer and runs it for a bounded time.
#   fuzz/run-fuzz.sh [SECONDS]     (default 60; build dir from FUZZ_BUILD_DIR, default /tmp/ciarla-fuzz)
# Exits non-zero if the build fails or the fuzzer finds a crash or a mismatch.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${FUZZ_BUILD_DIR:-/tmp/ciarla-fuzz}"
# The newest versioned clang here, the one tools/install-deps.sh installs with libFuzzer.
llvm=$(ls /usr/bin/clang++-[0-9]* 2>/dev/null | sed 's/.*-//' | sort -n | tail -n 1)
cxx="${FUZZ_CXX:-clang++-${llvm:-14}}"
cc="${FUZZ_CC:-clang-${llvm:-14}}"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" >/dev/null
cmake --build "$build" --parallel "$(nproc 2>/dev/null || echo 2)"

# The fuzzer adds what it finds to its corpus: give it a copy, never the seeds themselves.
corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$corpus" "$artifacts"
cp "$here"/corpus/* "$corpus"/

log="$build/fuzz.log"
status=0
"$build/fuzz_phrases" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -dict="$here/phrases.dict" -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?

runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
echo "fuzz_phrases: ${runs:-?} executions, ${rate:-?} exec/s (log: $log)"

if [[ "$status" -ne 0 ]] || grep -q -e 'MISMATCH' -e 'ERROR: AddressSanitizer' -e 'runtime error:' "$log"; then
    grep -A 20 -e 'MISMATCH' -e 'ERROR:' -e 'runtime error:' "$log" | head -n 60 >&2 || true
    ls -1 "$artifacts" >&2 || true
    echo "fuzz_phrases: FAILED (exit $status); reproduce with $build/fuzz_phrases <artifact>" >&2
    exit 1
fi
echo "fuzz_phrases: clean"
