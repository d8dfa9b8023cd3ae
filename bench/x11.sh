# Shared by soak.sh and cost.sh (sourced): an Xvfb screen, and the real
# program's opening screen driven with xdotool up to the clock, stretched over
# the screen. Callers source scripts/isolate.sh first, set `dir` (a private
# folder) and the array `pids` (processes to end on exit).

# x11_xvfb NAME WIDTH HEIGHT [Xvfb options...]: starts an Xvfb screen of that
# size on the first display number no other server holds (Xvfb picks it and
# says which) and sets DISPLAY_<NAME> to it.
x11_xvfb() {
    local name=$1 width=$2 height=$3
    shift 3
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp "$@" \
        3>"$dir/display-$name" >"$dir/xvfb-$name.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [[ -s $dir/display-$name ]] && break; sleep 0.1; done
    [[ -s $dir/display-$name ]] || { echo "error Xvfb did not start: $(cat "$dir/xvfb-$name.log")"; exit 2; }
    printf -v "DISPLAY_$name" ':%s' "$(cat "$dir/display-$name")"
}

# x11_window GEOMETRY: the first shown window named Orvandel of that size
# (a grep pattern such as 245x237) on $DISPLAY; empty when there is none.
x11_window() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Orvandel$' 2>/dev/null); do
        xdotool getwindowgeometry "$w" | grep -q "Geometry: $1\$" && { echo "$w"; return 0; }
    done
    return 0
}

# x11_start_clock WIDTH HEIGHT: on $DISPLAY, with the program started, answers
# the opening screen (245x237 pixels) with "Yes" (a timed tournament, so the
# final level runs out), "Start Orvandel" and "OK", then stretches the clock
# over the screen (Xvfb has no window manager to maximize it).
x11_start_clock() {
    local width=$1 height=$2 opening= clock= x y
    for _ in $(seq 200); do opening=$(x11_window 245x237); [[ -n $opening ]] && break; sleep 0.05; done
    [[ -n $opening ]] || { echo "error no opening screen"; exit 2; }
    sleep 1 # mapped is not yet drawn and listening, least of all on a busy machine
    read -r x y < <(xdotool getwindowgeometry "$opening" |
        sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
    # A missed "Yes" would leave the final level untimed, with no end shown.
    xdotool mousemove $((x + 104)) $((y + 179)) click 1 sleep 0.3 click 1 sleep 0.3 \
        mousemove $((x + 65)) $((y + 87)) click 1 sleep 0.3 \
        mousemove $((x + 71)) $((y + 120)) click 1 mousemove 0 $((height - 1))
    for _ in $(seq 200); do
        clock=$(x11_window '1024x[0-9]*')
        [[ -n $clock && $clock != "$opening" ]] && break
        clock=
        sleep 0.02
    done
    [[ -n $clock ]] || { echo "error the clock window did not open"; exit 2; }
    # Until it holds: a resize that comes before the window is mapped is undone.
    for _ in $(seq 100); do
        xdotool windowmove "$clock" 0 0 windowsize "$clock" "$width" "$height"
        xdotool getwindowgeometry "$clock" | grep -q "Geometry: ${width}x${height}\$" && return 0
        sleep 0.02
    done
    echo "error the clock window cannot be stretched to ${width}x${height}"
    exit 2
}

# x11_audio: after isolate_home, a private audio server with a silent sink,
# so that the alert plays as in use; like Xvfb it keeps real time.
x11_audio() {
    isolate_pulse bench 60 ||
        echo "bench: no audio server ($(tail -1 "$isolate_pulse_dir/log")); the alert is silent" >&2
}

# x11_cleanup: ends what was started and removes the folders.
x11_cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    isolate_pulse_stop
    wait 2>/dev/null || true
    rm -rf "$dir" "${fbdir:-}"
}
