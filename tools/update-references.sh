#!/bin/bash
# Draws the reference pictures again after a deliberate change of what the window looks
# like: the Qt face's (tests/references/qt) and the Windows face's under Wine
# (tests/references/win32; Wine 8's, and Wine 10's own as NAME-wine10.png where they
# differ). Look at every picture that changed before committing it.
# The tests draw in their own world (tests/world.sh: only the fonts install-deps.sh installs),
# but the libraries must be CI's too, so run it in a fresh root:
#   CIARLA_DEBIAN=12 tools/in-fresh-root.sh tools/update-references.sh   (first: Wine 8's)
#   tools/in-fresh-root.sh tools/update-references.sh                     (then Wine 10's own)
set -euo pipefail
cd "$(dirname "$0")/.."
export CIARLA_UPDATE_REFERENCES=1
# Build folders of their own: the root's tools are not this machine's.
cmake -S . -B build-references -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-references --target tst_qtface
ctest --test-dir build-references -R tst_qtface --output-on-failure
# With the tests' probe and reader's client, which the DPI session needs.
CIARLA_BUILD_TESTS=ON tools/build-windows.sh build-references/windows
tests/e2e/run-wine-references.sh build-references/windows/Ciarlatronix-1.0.0.0-win64.zip
tests/e2e/run-wine-dpi.sh build-references/windows/Ciarlatronix-1.0.0.0-win64.zip
git status --short -- tests/references
