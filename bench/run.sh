#!/usr/bin/env bash
# Builds orvandel-bench and runs it; the figures go to stdout, one a line.
#   bench/run.sh           every bench at full length (about 3 minutes)
#   bench/run.sh --short   only the drift bench, for 30 s (for CI)
#   bench/run.sh --soak [--short] [--factor N]
#                          the real program through a 12-hour tournament on a
#                          4K Xvfb screen under faketime (bench/soak.sh), then
#                          the cost bench; --short: an 8-minute tournament
#                          alone (for CI)
#   bench/run.sh --cost    a minute of running clock at 4K and 1080p next to
#                          the floor (bench/cost.sh)
#   bench/run.sh --live [--short]
#                          the live view with 200 viewers and under attack,
#                          on loopback (about 4 minutes; --short: 45 s)
# Further arguments go to orvandel-bench (see orvandel-bench --help).
# BUILD_DIR chooses the build folder (default: build/ at the repository root).
# Exit status: 0 every target met, 1 a target missed, 2 a measurement failed.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../scripts/deps.sh"
isolate_scripts=$orvandel_root/scripts
# shellcheck source=scripts/isolate.sh
source "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"
build=${BUILD_DIR:-$orvandel_root/build}

args=()
mode=bench
case ${1:-} in
--short)
    shift
    args=(--short --only drift)
    ;;
--live)
    shift
    args=(--only live)
    ;;
--soak) shift; mode=soak ;;
--cost) shift; mode=cost ;;
esac

# The bench preset's build, in build/ or, with the default preset, in
# BUILD_DIR. Build output goes to stderr so that stdout carries only the
# figures.
if [[ -n ${BUILD_DIR:-} ]]; then
    cmake -S "$orvandel_root" -B "$build" --preset default >&2
    cmake --build "$build" --target orvandel-bench orvandel orvandel-floorlabel >&2
else
    (cd "$orvandel_root" && cmake --workflow --preset bench) >&2
fi

export BUILD_DIR=$build
case $mode in
soak)
    # The soak, then (unless --short) the cost bench; both statuses count.
    status=0
    "$orvandel_root/bench/soak.sh" "$@" || status=$?
    if [[ " $* " != *" --short "* ]]; then
        cost=0
        "$orvandel_root/bench/cost.sh" || cost=$?
        ((cost > status)) && status=$cost
    fi
    exit "$status"
    ;;
cost) exec "$orvandel_root/bench/cost.sh" "$@" ;;
esac
# The children run the clock window, which keeps a journal, reads the voice
# settings and plays the alert: all of it in a home of the bench's own, with
# a sound server of its own, so that the user's Orvandel and sound are
# neither read nor disturbed.
home=$(mktemp -d "${TMPDIR:-/tmp}/orvandel-bench.XXXXXX")
# shellcheck disable=SC2317 # run by the trap
cleanup() {
    isolate_pulse_stop
    rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 2' HUP INT TERM # through the EXIT trap
isolate_home "$home"
isolate_pulse bench 60 ||
    echo "bench: no audio server ($(tail -1 "$isolate_pulse_dir/log")); the alert is silent" >&2
status=0
"$build/bench/orvandel-bench" "${args[@]}" "$@" || status=$?
exit "$status"
