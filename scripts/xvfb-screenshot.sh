#!/usr/bin/env bash
# Starts the real program on an Xvfb screen of W x H, starts the clock from
# the opening screen with xdotool, stretches the clock window over the whole
# screen (Xvfb has no window manager to maximize it) and saves a screenshot
# to docs/. Needs xvfb, xdotool and imagemagick; builds the program with the
# default preset in build/. Xvfb and the program are stopped however it ends.
# Xvfb takes a display number no other server holds; the program gets a
# session bus, settings and a journal folder of its own, not the user's.
#
# Usage: scripts/xvfb-screenshot.sh W H
set -euo pipefail
source "$(dirname "$0")/deps.sh"
isolate_scripts=$orvandel_root/scripts
# shellcheck source=scripts/isolate.sh
source "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"
if [ $# -ne 2 ]; then
    echo "usage: $0 W H" >&2
    exit 2
fi
W=$1 H=$2
root=$orvandel_root

(cd "$root" && cmake --workflow --preset program >/dev/null)

scratch=$(mktemp -d)
pids=()
cleanup() {
    local status=$? pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [ "$status" -ne 0 ] && [ -s "$scratch/program.log" ]; then
        echo "--- the program's output:" >&2
        cat "$scratch/program.log" >&2
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM # through the EXIT trap

# Runs a command every tenth of a second until it succeeds, for at most the
# given number of seconds.
wait_for() { # seconds what command...
    local seconds=$1 what=$2 tenths=$(($1 * 10))
    shift 2
    while ! "$@"; do
        tenths=$((tenths - 1))
        if [ "$tenths" -le 0 ]; then
            echo "$0: no $what after ${seconds}s" >&2
            return 1
        fi
        sleep 0.1
    done
}

# Prints the visible Orvandel window of the given size (WxH, or a prefix).
window_sized() { # size
    local w
    for w in $(xdotool search --onlyvisible --name '^Orvandel$' 2>/dev/null); do
        case $(xdotool getwindowgeometry "$w") in
            *"Geometry: $1"*)
                echo "$w"
                return 0
                ;;
        esac
    done
    return 1
}

isolate_home "$scratch"
Xvfb -displayfd 3 -screen 0 "${W}x${H}x24" -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 10 "X server" test -s "$scratch/display"
DISPLAY=:$(cat "$scratch/display")
export DISPLAY

# The build folder's launcher readies the folder with the sounds and the
# example tournament, then becomes the program.
ORVANDEL_WORKDIR=$scratch/work "$root/build/orvandel-launcher" >"$scratch/program.log" 2>&1 &
pids+=($!)

opening=$(wait_for 20 "opening screen" window_sized 245x237)
geo=$(xdotool getwindowgeometry "$opening" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
read -r X Y <<<"$geo"
xdotool mousemove $((X + 104)) $((Y + 179)) click 1 # Yes, timed
xdotool mousemove $((X + 65)) $((Y + 87)) click 1   # Start Orvandel
xdotool mousemove $((X + 71)) $((Y + 120)) click 1  # OK

win=$(wait_for 20 "clock window" window_sized 1024x)
xdotool windowmove "$win" 0 0 windowsize "$win" "$W" "$H"
wait_for 10 "clock window at ${W}x${H}" window_sized "${W}x${H}" >/dev/null
# The clock lays itself out for the new size on the next paint.
sleep 1
import -window root PNG24:"$root/docs/clock-${W}x${H}.png"
echo "saved docs/clock-${W}x${H}.png"
