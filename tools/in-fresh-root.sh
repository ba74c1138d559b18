#!/bin/bash
# Runs a command of this repository inside a fresh Debian root that has only what
# tools/install-deps.sh installs, as CI's roots have: what the command draws or builds there
# is what CI would draw or build. The work tree is mounted into the root at its own path,
# so whatever the command writes lands here.
# Usage (as root): [CIARLA_DEBIAN=13|12] tools/in-fresh-root.sh COMMAND [ARG...]
#   CIARLA_DEBIAN: the release, Debian 13 unless 12 is asked for.
#   CIARLA_ROOT=DIR reuses the root made in DIR by an earlier run (made there if missing).
set -euo pipefail
repo=$(git -C "$(dirname "$(readlink -f "$0")")" rev-parse --show-toplevel)
[ "$(id -u)" -eq 0 ] || { echo "in-fresh-root: run as root (mmdebstrap, chroot, mount)" >&2; exit 1; }
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }
root=${CIARLA_ROOT:-$(mktemp -d /tmp/ciarla-root.XXXXXX)/root}
mounts=()
cleanup() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"; done
    # Never remove through a mount that is still there: it would reach this work tree.
    [ -z "${CIARLA_ROOT:-}" ] || return 0
    if awk -v r="$root" 'index($5, r "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
        echo "in-fresh-root: still mounted under $root; left alone" >&2
    else
        rm -rf "$(dirname "$root")"
    fi
}
trap cleanup EXIT

release=${CIARLA_DEBIAN:-13}
if [ -e "$root/.ciarla-ready" ] && ! grep -qx "VERSION_ID=\"$release\"" "$root/etc/os-release"; then
    echo "in-fresh-root: $root is not a Debian $release root" >&2
    exit 1
fi
if [ ! -e "$root/.ciarla-ready" ]; then
    command -v mmdebstrap >/dev/null || apt-get install -y --no-install-recommends mmdebstrap
    rm -rf "$root"
    CIARLA_DEBIAN=$release "$repo/tools/make-root.sh" "$root"
    cp "$repo/tools/install-deps.sh" "$root/tmp/install-deps.sh"
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 bash /tmp/install-deps.sh
    touch "$root/.ciarla-ready"
fi

for dir in /proc /sys /dev /dev/pts /dev/shm "$repo"; do
    mkdir -p "$root$dir"
    mount --bind "$dir" "$root$dir"
    mounts+=("$root$dir")
    mount --make-private "$root$dir" 2>/dev/null || true
done
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root USER=root LOGNAME=root SHELL=/bin/bash LANG=C.UTF-8 TERM=dumb \
    /bin/bash -c 'cd "$0" && exec "$@"' "$repo" "$@"
