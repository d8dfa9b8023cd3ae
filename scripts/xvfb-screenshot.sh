#!/bin/bash
# Starts the real program on an Xvfb screen of W x H, starts the clock from
# the opening screen with xdotool, stretches the clock window over the whole
# screen (Xvfb has no window manager to maximize it) and saves a screenshot
# to docs/. Needs xvfb, xdotool and imagemagick, and a build in build/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# usage: scripts/xvfb-screenshot.sh W H DISPLAY-NUMBER
W=$1; H=$2; D=:$3
Xvfb $D -screen 0 ${W}x${H}x24 >/dev/null 2>&1 &
XPID=$!
sleep 1
export DISPLAY=$D
dir=$(mktemp -d)
cp "$root"/resources/sound*.wav "$dir"/
cp "$root"/resources/example-blinds.dat "$dir"/blinds.dat
cd "$dir"
"$root"/build/orvandel >/dev/null 2>&1 &
PID=$!
sleep 2
geo=$(xdotool search --name '^Orvandel$' getwindowgeometry %@ | grep -B1 'Geometry: 245x237' | grep Position | sed 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/')
read X Y <<<"$geo"
xdotool mousemove $((X+104)) $((Y+179)) click 1   # Yes, timed
xdotool mousemove $((X+65)) $((Y+87)) click 1     # Start Orvandel
xdotool mousemove $((X+71)) $((Y+120)) click 1    # OK
sleep 1.5
win=$(xdotool search --name '^Orvandel$' | while read w; do g=$(xdotool getwindowgeometry $w | grep Geometry); case "$g" in *1024x*) echo $w;; esac; done | head -1)
xdotool windowmove $win 0 0 windowsize $win $W $H
sleep 2.5
import -window root PNG24:"$root/docs/clock-${W}x${H}.png"
kill $PID; kill $XPID
