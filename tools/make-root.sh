#!/bin/bash
# Makes a fresh Debian 12 root (mmdebstrap minbase, with git) in ROOT from this machine's
# Debian 12 package sources (sources.list and sources.list.d, one-line and deb822 style)
# and the apt settings it needs to reach them. Used by CI and tools/in-fresh-root.sh.
# Usage (as root): tools/make-root.sh ROOT
set -euo pipefail
root=${1:?usage: make-root.sh ROOT}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/bookworm.list"
: >"$work/bookworm.sources"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '$1 == "deb" && / bookworm(-[a-z]+)? /' "$f" >>"$work/bookworm.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Each enabled binary stanza for bookworm's suites.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb( |\n|$)/ && /(^|\n)Suites:[^\n]*bookworm/ && !/(^|\n)Enabled: *no/' \
        "$f" >>"$work/bookworm.sources"
done
sources=()
[ -s "$work/bookworm.list" ] && sources+=("$work/bookworm.list")
[ -s "$work/bookworm.sources" ] && sources+=("$work/bookworm.sources")
[ ${#sources[@]} -gt 0 ] || { echo "make-root: no Debian 12 sources in this machine's apt configuration" >&2; exit 1; }
# An archive snapshot has Release files past their Valid-Until; a proxy may be set.
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy)[ :]' >"$work/apt.conf" || true
echo "sources:"
sed 's/^/    /' "${sources[@]}"
echo "apt settings:"
sed 's/^/    /' "$work/apt.conf"
# /etc/hosts too: this machine may name its archive there. dpkg without fsync (as in
# Debian's container images) makes installing faster, not different.
mmdebstrap --variant=minbase --include=git,ca-certificates \
    --aptopt="$work/apt.conf" --dpkgopt=force-unsafe-io \
    --customize-hook='cp /etc/hosts "$1/etc/hosts"' \
    bookworm "$root" "${sources[@]}" 2>&1
[ -x "$root/usr/bin/git" ] || { echo "make-root: the root has no git" >&2; exit 1; }
