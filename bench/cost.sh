#!/usr/bin/env bash
# The cost of a running clock: CPU time of the real program (build/orvandel)
# over a minute of its clock running in real time (no faketime), on Xvfb
# screens of 3840x2160 and 1920x1080, each next to the floor
# (orvandel-floorlabel: one full-screen label in the clock's time font,
# repainted once a second). All four run at once, each on its own screen.
#   bench/cost.sh [--seconds N]   (default 60)
# CPU from /proc/PID/stat (utime + stime), counted from 5 s after the clock
# window was stretched over the screen. BUILD_DIR: the build folder.
# Exit status: 0 every target met, 1 a target missed, 2 a measurement failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
isolate_scripts=$root/scripts
# shellcheck source=scripts/isolate.sh
source "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"
build=${BUILD_DIR:-$root/build}
seconds=60
while [[ $# -gt 0 ]]; do
    case $1 in
    --seconds) seconds=$2; shift ;;
    *) echo "cost.sh: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done
ratio_limit=1.5
cpu_limit_4k=150 # ms a minute

dir=$(mktemp -d "${TMPDIR:-/tmp}/orvandel-cost.XXXXXX")
pids=()
# shellcheck source=bench/x11.sh
source "$root/bench/x11.sh"
trap x11_cleanup EXIT
# The program's settings, journal and sound server are the bench's own, never
# the user's; its working folder is made below.
isolate_home "$dir"
export QT_QPA_PLATFORM=xcb
x11_audio

printf 'load_average_1min %s\n' "$(cut -d' ' -f1 /proc/loadavg)"
sizes=(3840x2160 1920x1080)
declare -A pid
for size in "${sizes[@]}"; do
    w=${size%x*} h=${size#*x}
    x11_xvfb "clock$w" "$w" "$h"
    x11_xvfb "floor$w" "$w" "$h"
    folder=$dir/work$w
    var=DISPLAY_clock$w
    # The launcher readies the folder: the sounds and the example tournament.
    (ORVANDEL_WORKDIR=$folder DISPLAY=${!var} exec "$build/orvandel-launcher") >"$dir/clock$w.log" 2>&1 &
    pid[clock$w]=$!
    pids+=($!)
    DISPLAY=${!var} x11_start_clock "$w" "$h"
    var=DISPLAY_floor$w
    DISPLAY=${!var} "$build/bench/orvandel-floorlabel" >"$dir/floor$w.log" 2>&1 &
    pid[floor$w]=$!
    pids+=($!)
done
sleep 5 # start-up and the first full paints are not the running clock's cost

cpu_ms() { # utime + stime of a process, in ms
    local ticks
    ticks=$(awk '{print $14 + $15}' "/proc/$1/stat")
    echo $((ticks * 1000 / $(getconf CLK_TCK)))
}
declare -A before
for name in "${!pid[@]}"; do before[$name]=$(cpu_ms "${pid[$name]}"); done
start=$(date +%s%N)
sleep "$seconds"
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
status=0
for size in "${sizes[@]}"; do
    w=${size%x*}
    for name in clock$w floor$w; do
        [[ -e /proc/${pid[$name]} ]] || { echo "error $name ended: $(tail -2 "$dir/$name.log")"; exit 2; }
    done
    clock=$(($(cpu_ms "${pid[clock$w]}") - before[clock$w]))
    floor=$(($(cpu_ms "${pid[floor$w]}") - before[floor$w]))
    read -r clock_min floor_min ratio < <(awk -v c="$clock" -v f="$floor" -v e="$elapsed_ms" \
        'BEGIN { cm = c * 60000 / e; fm = f * 60000 / e; printf "%.0f %.0f %.2f\n", cm, fm, (f > 0 ? c / f : 99) }')
    tag=${size/x/_}
    if [[ $w == 3840 ]]; then
        ok=$(awk -v v="$clock_min" -v l="$cpu_limit_4k" 'BEGIN { print (v < l ? "ok" : "MISS") }')
        echo "cost_cpu_ms_per_min_$tag $clock_min target<$cpu_limit_4k $ok"
        [[ $ok == ok ]] || status=1
    else
        echo "cost_cpu_ms_per_min_$tag $clock_min"
    fi
    echo "cost_floor_cpu_ms_per_min_$tag $floor_min"
    ok=$(awk -v v="$ratio" -v l="$ratio_limit" 'BEGIN { print (v <= l ? "ok" : "MISS") }')
    echo "cost_ratio_to_floor_$tag $ratio target<=$ratio_limit $ok"
    [[ $ok == ok ]] || status=1
done
printf 'load_average_1min_end %s\n' "$(cut -d' ' -f1 /proc/loadavg)"
exit "$status"
