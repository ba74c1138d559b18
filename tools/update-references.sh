#!/bin/bash
# Draws the reference pictures again after a deliberate change of what the window looks
# like: the Qt face's (tests/references/qt) and the Windows face's under Wine
# (tests/references/win32). Look at every picture that changed before committing it.
# The tests draw in their own world (tests/world.sh: only the fonts install-deps.sh installs),
# but the libraries must be CI's too, so run it in a fresh root:
#   tools/in-fresh-root.sh tools/update-references.sh
set -euo pipefail
cd "$(dirname "$0")/.."
export CIARLA_UPDATE_REFERENCES=1
# Build folders of their own: the root's tools are not this machine's.
cmake -S . -B build-references -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-references --target tst_qtface
ctest --test-dir build-references -R tst_qtface --output-on-failure
CIARLA_BUILD_TESTS=OFF tools/build-windows.sh build-references/windows
tests/e2e/run-wine-references.sh build-references/windows/Ciarlatronix-1.0.0.0-win64.zip
git status --short -- tests/references
