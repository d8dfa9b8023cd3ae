#!/usr/bin/env bash
# Runs a command on this tree inside a Debian 13 (trixie, Qt 6.8, GCC 14)
# root, so new code is proved on today's Debian as well as on Debian 12.
#
#   scripts/trixie.sh [--tree DIR] [command...]
#
# The root is made with debootstrap --variant=minbase the first time and kept
# in $ORVANDEL_TRIXIE_CACHE (default /var/cache/orvandel); one that a stopped
# run left half-made is made afresh. The tree's files known to git, edits
# included, are copied to /src/orvandel in the root, where the command runs
# as root (default: ORVANDEL_QUICK=1 scripts/test.sh, which installs what is
# missing, builds and runs the suite). The compiler's cache in the root is
# kept between runs, so a second run compiles little. --tree checks another
# work tree with this script.
# Needs root: debootstrap, mount and chroot.
set -euo pipefail
source "$(dirname "$0")/deps.sh"

tree=$orvandel_root
if [ "${1:-}" = --tree ]; then
    tree=$(cd "${2:?--tree needs a folder}" && pwd)
    shift 2
fi
[ $# -gt 0 ] || set -- env ORVANDEL_QUICK=1 scripts/test.sh

cache=${ORVANDEL_TRIXIE_CACHE:-/var/cache/orvandel}
root=$cache/trixie
made=$root/etc/orvandel-root-made # written once debootstrap has finished
mirror=http://deb.debian.org/debian

orvandel_install_missing debootstrap
mkdir -p "$cache"

# One run at a time uses the root: the mounts and the copy are per run.
exec 9>"$cache/trixie.lock"
flock -w 1800 9 || {
    echo "trixie: another run holds $cache/trixie.lock" >&2
    exit 1
}

if [ ! -e "$made" ]; then
    echo "trixie: making the Debian 13 root in $root"
    rm -rf "$root" "$root.new"
    debootstrap --variant=minbase trixie "$root.new" "$mirror" >"$cache/debootstrap.log" 2>&1 || {
        tail -20 "$cache/debootstrap.log" >&2
        echo "trixie: debootstrap failed; the log is $cache/debootstrap.log" >&2
        exit 1
    }
    date -u +%FT%TZ >"$root.new/etc/orvandel-root-made"
    mv "$root.new" "$root"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

# The tree as git sees it: tracked and new files, edits included, not the
# ignored build folders. The build starts afresh; ccache keeps it quick.
dest=$root/src/orvandel
rm -rf "$dest"
mkdir -p "$dest"
(cd "$tree" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf -) | tar -xf - -C "$dest"

# The mounts live in a mount namespace of this run's own, so none is left
# behind on the machine whatever happens; the trap also takes them down in
# order when the command ends.
export root
exec unshare --mount --propagation private bash -euo pipefail -c '
    mounted=()
    unmount() {
        local i
        for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
            umount -l "${mounted[i]}" || true
        done
    }
    trap unmount EXIT
    trap "exit 1" INT TERM HUP
    mountin() { # target mount-arguments...
        local target=$root$1
        shift
        mkdir -p "$target"
        mount "$@" "$target"
        mounted+=("$target")
    }
    mountin /proc -t proc proc
    mountin /sys --rbind /sys
    mountin /dev --bind /dev
    mountin /dev/pts --bind /dev/pts
    mountin /dev/shm -t tmpfs -o mode=1777 shm
    status=0
    env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb \
        CI="${CI:-}" CCACHE_DIR=/var/cache/ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache \
        chroot "$root" bash -c "cd /src/orvandel && . scripts/deps.sh && \
            orvandel_install_missing ccache >&2 && exec \"\$@\"" bash "$@" || status=$?
    exit "$status"
' trixie "$@"
