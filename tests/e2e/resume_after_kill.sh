#!/usr/bin/env bash
# Runs the real program on a private X screen, starts a tournament of 1-minute
# levels, kills the program with SIGKILL in the middle of level 2, starts it
# again in the same working folder, answers the question to resume with Enter
# (Yes is the default) and checks that the clock stands where it stood. The
# clock runs ten times faster than real time (faketime) so that this takes
# seconds. Where the clock stands is read from its journal, not the screen.
# The program gets a screen, a session bus, settings, a journal folder and a
# working folder of its own (scripts/isolate.sh), so that neither the user's
# desktop nor the user's own Orvandel comes into it.
#
# Usage: resume_after_kill.sh PROGRAM. Exit 77 (skipped) without Xvfb,
# xdotool or faketime.
set -euo pipefail

program=$(realpath "$1")
isolate_scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
# shellcheck source=scripts/isolate.sh
. "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"
for tool in Xvfb xdotool faketime sha256sum pgrep; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
pid=     # faketime, which runs the program as its child
program_pid=
xvfb=
cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null || true
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$work/log" ] && sed 's/^/    program: /' "$work/log"
    exit 1
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

isolate_home "$work"
mkdir "$work/folder"
printf '3,1\r\n"$10","$20"\r\n"$20","$40"\r\n"$50","$100"\r\n0,0\r\n' >"$work/folder/blinds.dat"
folder=$(cd "$work/folder" && pwd -P)

# Xvfb takes the first display number no other server holds and says which.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
unset QT_QPA_PLATFORM
# In a sanitized build: faketime works by preloading its library, which the
# runtime refuses unless told that the order of the libraries is no fault;
# and the X keyboard library reads whole strings it hands to strndup, which
# only the strict string checks take for an overflow.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:strict_string_checks=0
journal=$XDG_DATA_HOME/Orvandel/journals/$(printf %s "$folder" | sha256sum | cut -c1-64).journal

field() { # field NAME: the value of a line of the journal
    sed -n "s/^$1 //p" "$journal" 2>/dev/null
}

# The shown top-level window of the program of size $1 (WxH), if any.
window_of_size() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Orvandel$' 2>/dev/null); do
        if xdotool getwindowgeometry "$w" 2>/dev/null | grep -q "Geometry: $1\$"; then
            echo "$w"
            return 0
        fi
    done
    return 1
}
# Any shown window of the program but the opening screen.
other_window() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Orvandel$' 2>/dev/null); do
        if ! xdotool getwindowgeometry "$w" 2>/dev/null | grep -q "Geometry: 245x237\$"; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

start_program() {
    (cd "$work/folder" && exec faketime -f '+0 x10' "$program") >>"$work/log" 2>&1 &
    pid=$!
    local opening
    wait_for 50 pgrep -P "$pid" >/dev/null || fail "the program did not start"
    program_pid=$(pgrep -P "$pid" | head -1)
    wait_for 150 window_of_size 245x237 >/dev/null || fail "no opening screen"
    opening=$(window_of_size 245x237)
    xdotool mousemove --window "$opening" 65 87 click 1 # "Start Orvandel"
    sleep 0.2
    xdotool mousemove --window "$opening" 71 120 click 1 # "OK"
}

# First run: from level 1 into the middle of level 2, then killed.
start_program
middle_of_level_2() {
    [ "$(field level)" = 2 ] && [ "$(field remaining-ms)" -le 35000 ]
}
wait_for 300 middle_of_level_2 || fail "the clock did not reach the middle of level 2"
kill -9 "$program_pid"
wait "$pid" 2>/dev/null || true
pid=
program_pid=
level=$(field level)
remaining=$(field remaining-ms)
written=$(field written-ms)
echo "killed at level $level with $remaining ms left"
[ "$(field paused)" = 0 ] || fail "the clock was paused"

# Second run: the question, answered with Enter.
start_program
wait_for 100 other_window >/dev/null || fail "no question to resume"
box=$(other_window)
[ -n "${E2E_DEBUG:-}" ] && { xdotool getwindowgeometry "$box"; cat "$journal"; }
xdotool windowfocus --sync "$box" key Return
rewritten() {
    [ "$(field written-ms)" != "$written" ] && [ "$(field paused)" = 1 ]
}
wait_for 100 rewritten || { [ -n "${E2E_DEBUG:-}" ] && cat "$journal"; fail "the clock did not resume paused"; }
[ "$(field level)" = "$level" ] || fail "resumed at level $(field level), not $level"
[ "$(field remaining-ms)" = "$remaining" ] ||
    fail "resumed with $(field remaining-ms) ms left, not $remaining"
sleep 1 # ten seconds of the clock: paused, it does not count
[ "$(field remaining-ms)" = "$remaining" ] || fail "the resumed clock is not paused"
echo "resumed paused at level $level with $remaining ms left"

# A click on the time and it counts on from there.
clock=$(window_of_size 1024x607) || fail "no clock window"
xdotool mousemove --window "$clock" 512 360 click 1
counting() {
    [ "$(field paused)" = 0 ] && [ "$(field remaining-ms)" -lt "$remaining" ] &&
        [ "$(field level)" = "$level" ]
}
wait_for 50 counting || fail "the clock did not count on after a click on the time"
echo "counting on: $(field remaining-ms) ms left"
echo "PASS"
