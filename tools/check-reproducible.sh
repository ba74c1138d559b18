#!/bin/bash
# Builds the last commit twice, from two clones in two different folders, one after the
# other and without ccache, and checks that the packages come out byte for byte the same:
# the Debian package and, where tools/build-windows.sh makes them, Ciarlatronix.exe, the
# zip and the installer. Every file that both builds made is compared; one made by a
# single build is a failure too.
# Usage: tools/check-reproducible.sh [--no-windows]
set -euo pipefail

windows=1
case ${1:-} in
    "") ;;
    --no-windows) windows= ;;
    *) echo "usage: $0 [--no-windows]" >&2; exit 2 ;;
esac

repo=$(git -C "$(dirname "$(readlink -f "$0")")" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
work=$(mktemp -d /tmp/ciarla-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Nothing from earlier builds, and no time from outside: the build takes its own.
export CCACHE_DISABLE=1
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER SOURCE_DATE_EPOCH

# build_once SOURCE_FOLDER OUT: clones the commit into SOURCE_FOLDER, builds there and
# puts what it made in OUT.
build_once() {
    local src=$1 out=$2 started=$SECONDS
    mkdir -p "$(dirname "$src")" "$out"
    git clone -q --no-hardlinks "$repo" "$src"
    git -C "$src" checkout -q --detach "$commit"
    echo "== building in $src"
    {
        cmake -S "$src" -B "$src/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCIARLA_BUILD_TESTS=OFF -DCIARLA_BUILD_BENCH=OFF &&
            cmake --build "$src/build" &&
            (cd "$src/build" && cpack -G DEB -B "$src/build/package")
    } >"$out.log" 2>&1 || {
        tail -n 40 "$out.log"
        echo "FAIL: the Debian package did not build in $src" >&2
        exit 1
    }
    cp "$src"/build/package/*.deb "$out/"
    if [ -n "$windows" ]; then
        CIARLA_BUILD_TESTS=OFF "$src/tools/build-windows.sh" "$src/build-windows" >>"$out.log" 2>&1 || {
            tail -n 40 "$out.log"
            echo "FAIL: the Windows build failed in $src" >&2
            exit 1
        }
        local made
        for made in "$src"/build-windows/Ciarlatronix.exe "$src"/build-windows/*-win64.zip \
            "$src"/build-windows/*-win64.msi; do
            [ -f "$made" ] && cp "$made" "$out/"
        done
    fi
    echo "   $((SECONDS - started)) s: $(cd "$out" && echo *)"
}

# The two clones differ in folder, in the length of its name and in time.
build_once "$work/first/ciarlatronix" "$work/out-first"
build_once "$work/the-second-clone/src" "$work/out-second"

# hint_deb A B: which members of the two packages differ, and for the archives, how.
hint_deb() {
    local a=$1 b=$2 member x y
    mkdir -p "$work/hint/a" "$work/hint/b"
    (cd "$work/hint/a" && ar x "$a")
    (cd "$work/hint/b" && ar x "$b")
    for member in $(ar t "$a"); do
        x=$work/hint/a/$member y=$work/hint/b/$member
        if [ ! -f "$y" ]; then
            echo "   member $member is only in the first"
        elif ! cmp -s "$x" "$y"; then
            echo "   member $member differs: $(cmp "$x" "$y" 2>&1 | head -n 1)"
            case $member in
                *.tar*)
                    # Names, modes, owners and times; then which files' contents differ.
                    diff <(tar -tvf "$x") <(tar -tvf "$y") | head -n 20 | sed 's/^/     /' || true
                    mkdir -p "$x.d" "$y.d"
                    tar -xf "$x" -C "$x.d" && tar -xf "$y" -C "$y.d"
                    diff -rq --no-dereference "$x.d" "$y.d" | sed "s|$work/hint/||g; s/^/     /" || true
                    ;;
            esac
        fi
    done
}

status=0
echo "== comparing"
for name in $(ls "$work/out-first" "$work/out-second" | grep -v -e "^/" -e "^$" | sort -u); do
    a=$work/out-first/$name b=$work/out-second/$name
    if [ ! -f "$a" ] || [ ! -f "$b" ]; then
        echo "FAIL: $name: made by one build only"
        status=1
        continue
    fi
    printf '%-40s %9d bytes  %s\n' "$name" "$(stat -c %s "$a")" "$(sha256sum "$a" | cut -c1-64)"
    if cmp -s "$a" "$b"; then
        echo "PASS: $name is the same in both builds"
        continue
    fi
    status=1
    printf '%-40s %9d bytes  %s\n' "  second build" "$(stat -c %s "$b")" "$(sha256sum "$b" | cut -c1-64)"
    echo "FAIL: $name differs: $(cd "$work" && cmp "out-first/$name" "out-second/$name" 2>&1 | head -n 1);" \
        "$(cmp -l "$a" "$b" 2>/dev/null | wc -l) bytes differ"
    case $name in
        *.deb) hint_deb "$a" "$b" ;;
        *.zip) diff <(unzip -Z -l -T "$a" | tail -n +2) <(unzip -Z -l -T "$b" | tail -n +2) | head -n 20 |
            sed 's/^/   /' || true ;;
        *.exe) diff <(x86_64-w64-mingw32-objdump -p "$a" 2>/dev/null | head -n 40 | grep -v "file format") \
            <(x86_64-w64-mingw32-objdump -p "$b" 2>/dev/null | head -n 40 | grep -v "file format") | sed 's/^/   /' || true ;;
    esac
done
[ -n "$(ls "$work/out-first")" ] || { echo "FAIL: nothing was made"; status=1; }
[ "$status" -eq 0 ] && echo "reproducible: both builds of $(git -C "$repo" log -1 --format=%h "$commit") made the same bytes"
exit "$status"
