#!/usr/bin/env bash
# The soak: the real program (build/orvandel) runs a whole tournament on a
# 3840x2160 Xvfb screen, its clock sped up by libfaketime, while the watcher
# (orvandel-bench --mode soak-watch, see bench/soak.cpp) reads its time label
# from Xvfb's framebuffer, pauses and resumes it, and prints the figures.
#   bench/soak.sh [--short] [--factor N]   (default factor 60; 30 with --short)
# --short: four 2-minute levels, the third a break, two pauses (for CI);
# otherwise ten 72-minute levels, the sixth a break of 72 minutes (12 hours),
# four pauses of 5 minutes. ORVANDEL_SOAK_DEBUG=1 makes the watcher print
# every display on stderr and save unreadable ones in /tmp.
# BUILD_DIR: the build folder (default build/).
# Exit status: 0 every target met, 1 a target missed, 2 a measurement failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
isolate_scripts=$root/scripts
# shellcheck source=scripts/isolate.sh
source "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"
build=${BUILD_DIR:-$root/build}
factor=
short=0
while [[ $# -gt 0 ]]; do
    case $1 in
    --short) short=1 ;;
    --factor) factor=$2; shift ;;
    *) echo "soak.sh: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done
width=3840 height=2160
# The fastest clocks at which this 2-core machine showed every second within
# its second (see bench/README.md); CI runs the short soak slower still, as
# other jobs may share the machine.
[[ -n $factor ]] || { [[ $short == 1 ]] && factor=30 || factor=60; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/orvandel-soak.XXXXXX")
pids=()
# shellcheck source=bench/x11.sh
source "$root/bench/x11.sh"
trap x11_cleanup EXIT
# The program's settings, journal and sound server are the bench's own, never
# the user's; its working folder is made below.
isolate_home "$dir"
# Xvfb's screen lives in a file; keep it in memory, not on disk.
[[ -d /dev/shm && -w /dev/shm ]] && fbdir=$(mktemp -d /dev/shm/orvandel-soak-fb.XXXXXX) || fbdir=$dir/fb
mkdir -p "$fbdir"
# The launcher puts the sounds beside this tournament when it starts.
mkdir -p "$dir/work"
crlf() { printf '%s\r\n' "$@"; }
if [[ $short == 1 ]]; then
    levels=4 minutes=2 break_level=3 break_minutes=2 pauses=2 pause_seconds=20
else
    levels=10 minutes=72 break_level=6 break_minutes=72 pauses=4 pause_seconds=300
fi
{
    crlf "$levels,$minutes"
    for ((level = 1; level <= levels; level++)); do
        if ((level == break_level)); then
            crlf '"Break","Time!"'
        else
            crlf "\"\$$((level * 25))\",\"\$$((level * 50))\""
        fi
    done
    crlf "$break_level,$break_minutes"
} >"$dir/work/blinds.dat"

printf 'load_average_1min %s\n' "$(cut -d' ' -f1 /proc/loadavg)"

x11_audio
x11_xvfb soak "$width" "$height" -fbdir "$fbdir"
export DISPLAY=$DISPLAY_soak
export QT_QPA_PLATFORM=xcb

(cd "$dir/work" && exec "$build/bench/orvandel-bench" --mode soak-watch \
    --framebuffer "$fbdir/Xvfb_screen0" --pid-file "$dir/pid" --ready-file "$dir/ready" \
    --factor "$factor" --pauses "$pauses" --pause-seconds "$pause_seconds") \
    >"$dir/figures" 2>"$dir/watch.log" &
watcher=$!
pids+=($watcher)
for _ in $(seq 600); do
    [[ -e $dir/ready ]] && break
    kill -0 "$watcher" 2>/dev/null || break
    sleep 0.1
done
[[ -e $dir/ready ]] || { cat "$dir/figures"; echo "error watcher not ready: $(tail -3 "$dir/watch.log")"; exit 2; }

# The program alone runs on the fake clock; Xvfb and the watcher keep real time.
(ORVANDEL_WORKDIR=$dir/work exec faketime -f "+0 x$factor" "$build/orvandel-launcher") >"$dir/orvandel.log" 2>&1 &
wrapper=$!
pids+=($wrapper)
program=
for _ in $(seq 100); do
    program=$(pgrep -P "$wrapper" -x orvandel || true)
    [[ -n $program ]] && break
    sleep 0.05
done
[[ -n $program ]] || { echo "error orvandel did not start"; exit 2; }
pids+=($program)
echo "$program" >"$dir/pid"

x11_start_clock "$width" "$height"

status=0
wait "$watcher" || status=$?
cat "$dir/figures"
printf 'load_average_1min_end %s\n' "$(cut -d' ' -f1 /proc/loadavg)"
if [[ $status != 0 ]]; then
    sed 's/^/soak watcher: /' "$dir/watch.log" >&2
fi
exit "$status"
