#!/bin/bash
# Non-blank lines of the committed sources, the tests' (tests/, fuzz/) against everything
# else's, a line per language and the whole: C++, shell, Python, CMake and the packaging
# sources. Not counted: the fuzzer's seeds, pictures, sounds, text data and prose. The project
# keeps the C++ tests between a quarter and a third of the rest of the C++, counted by every
# line (printed last), and the tests in all languages at most half of the rest.
set -euo pipefail
cd "$(dirname "$0")/.."

# language FILE: the language a source file is counted in, or nothing.
language() {
    case $1 in
    fuzz/corpus/*) ;;
    *.cpp | *.h | *.c) echo C++ ;;
    *.sh | .ci/run) echo shell ;;
    *.py) echo Python ;;
    *CMakeLists.txt | *.cmake) echo CMake ;;
    packaging/*.in | packaging/*.desktop | packaging/*.xml | packaging/windows/*.rc | \
        packaging/windows/*.wxs | packaging/windows/*.manifest) echo packaging ;;
    esac
}

git ls-files | while read -r file; do
    lang=$(language "$file")
    [ -n "$lang" ] && [ -f "$file" ] || continue
    case $file in tests/* | fuzz/*) side=tests ;; *) side=rest ;; esac
    echo "$lang $side $(grep -c -v '^[[:space:]]*$' "$file" || true) $(wc -l <"$file")"
done | awk '
    { lines[$1, $2] += $3; total[$2] += $3; langs[$1] = 1; every[$1, $2] += $4 }
    function row(name, t, r) {
        printf "%-16s tests %5d  rest %5d  ratio %s\n", name, t, r, r ? sprintf("%.3f", t / r) : "-"
    }
    END {
        n = split("C++ shell Python CMake packaging", order, " ")
        for (i = 1; i <= n; i++) if (order[i] in langs) row(order[i], lines[order[i], "tests"], lines[order[i], "rest"])
        row("all", total["tests"], total["rest"])
        row("C++, every line", every["C++", "tests"], every["C++", "rest"])
    }'
