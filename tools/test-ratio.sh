#!/bin/bash
# Lines of C++ in the tests (tests/, fuzz/) against lines of C++ everywhere else in the
# repository, as committed. The project keeps the ratio between a quarter and a third.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    git ls-files -- "$@" | grep -E '\.(cpp|h|c)$' | while read -r file; do
        [ -f "$file" ] && cat "$file"
    done | wc -l
}
tests=$(count tests fuzz)
all=$(count .)
rest=$((all - tests))
printf 'tests %d, rest %d, ratio %.2f\n' "$tests" "$rest" "$(echo "$tests / $rest" | bc -l)"
