#!/bin/bash
# Makes a fresh Debian root (mmdebstrap minbase, with git) in ROOT: Debian 13 (trixie) by
# default, or 12 (bookworm) with CIARLA_DEBIAN=12. The archive is the one this machine's apt
# sources name (one-line and deb822 style), whichever release they are for, with the
# release's own suites (-updates, -security) in place of theirs, and the apt settings it
# needs to reach them. Used by CI and tools/in-fresh-root.sh.
# Usage (as root): [CIARLA_DEBIAN=13|12] tools/make-root.sh ROOT
set -euo pipefail
root=${1:?usage: make-root.sh ROOT}
case ${CIARLA_DEBIAN:-13} in
13) suite=trixie ;;
12) suite=bookworm ;;
*) echo "make-root: CIARLA_DEBIAN is 13 or 12, not '$CIARLA_DEBIAN'" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The archive's addresses, each with the key that signs it: "URI SIGNED-BY SUFFIX" where
# SUFFIX is the suite's suffix ("", -updates, -security) it serves on this machine.
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '$1 == "deb" {
             uri = ""; key = "/usr/share/keyrings/debian-archive-keyring.gpg"
             for (i = 2; i <= NF; i++) {
                 if ($i ~ /^\[/) { if (match($0, /signed-by=[^] ]+/)) key = substr($0, RSTART + 10, RLENGTH - 10); continue }
                 if ($i ~ /\]$/) continue
                 if (uri == "") { uri = $i; suitef = $(i + 1); break }
             }
             if (match(suitef, /^(bookworm|trixie)(-[a-z]+)?$/)) { sub(/^(bookworm|trixie)/, "", suitef); print uri, key, suitef }
         }' "$f"
done >"$work/archives"
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = "" }
         /(^|\n)Types:[^\n]*deb( |\n|$)/ && !/(^|\n)Enabled: *no/ {
             uri = ""; key = "/usr/share/keyrings/debian-archive-keyring.gpg"; suites = ""
             n = split($0, lines, "\n")
             for (i = 1; i <= n; i++) {
                 if (lines[i] ~ /^URIs:/) { uri = lines[i]; sub(/^URIs: */, "", uri) }
                 if (lines[i] ~ /^Signed-By:/) { key = lines[i]; sub(/^Signed-By: */, "", key) }
                 if (lines[i] ~ /^Suites:/) { suites = lines[i]; sub(/^Suites: */, "", suites) }
             }
             m = split(suites, s, " ")
             for (i = 1; i <= m; i++)
                 if (s[i] ~ /^(bookworm|trixie)(-[a-z]+)?$/) { x = s[i]; sub(/^(bookworm|trixie)/, "", x); print uri, key, x }
         }' "$f"
done >>"$work/archives"
sort -u "$work/archives" -o "$work/archives"
[ -s "$work/archives" ] || { echo "make-root: no Debian archive in this machine's apt configuration" >&2; exit 1; }
while read -r uri key suffix; do
    printf 'Types: deb\nURIs: %s\nSuites: %s%s\nComponents: main\nSigned-By: %s\n\n' "$uri" "$suite" "$suffix" "$key"
done <"$work/archives" >"$work/$suite.sources"
# An archive snapshot has Release files past their Valid-Until; a proxy may be set.
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy)[ :]' >"$work/apt.conf" || true
echo "sources:"
sed 's/^/    /' "$work/$suite.sources"
echo "apt settings:"
sed 's/^/    /' "$work/apt.conf"
# /etc/hosts too: this machine may name its archive there. dpkg without fsync (as in
# Debian's container images) makes installing faster, not different.
mmdebstrap --variant=minbase --include=git,ca-certificates \
    --aptopt="$work/apt.conf" --dpkgopt=force-unsafe-io \
    --customize-hook='cp /etc/hosts "$1/etc/hosts"' \
    "$suite" "$root" "$work/$suite.sources" 2>&1
[ -x "$root/usr/bin/git" ] || { echo "make-root: the root has no git" >&2; exit 1; }
