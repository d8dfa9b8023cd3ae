#!/bin/sh
# Plays the alert sounds through SoundPlayer into a private PulseAudio server
# with a null sink (scripts/isolate.sh: its own socket, cookie and state, on a
# session bus of its own, so that a sound server the user runs beside it is
# neither reached nor disturbed), records the sink's monitor and checks with
# sox that each
# recording holds the sound, about as long as the file's audible part. Then
# the clock window's own sounds: a level change with the new blinds spoken
# goes on well past the alert, without them it is the alert alone, and the
# warning sounds at 1:00 left.
# Also checks that a missing file is silent and quiet, that "Prev" then "Play"
# starts the sound over, and that with no audio server at all the player
# neither hangs nor complains.
#
# Usage: real_audio_test.sh PLAYSOUND RESOURCES-FOLDER [CLOCKVOICE]
# Exit: 0 pass, 1 fail, 77 skipped (no audio server can be started here);
# with ORVANDEL_AUDIO_REQUIRED=1 (the audio test preset) a skip is a failure.
# Debian packages needed: pulseaudio, pulseaudio-utils, sox
set -u

playsound=${1:?usage: real_audio_test.sh PLAYSOUND RESOURCES-FOLDER}
resources=${2:?usage: real_audio_test.sh PLAYSOUND RESOURCES-FOLDER}
clockvoice=${3:-}

isolate_scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
# shellcheck source=scripts/isolate.sh
. "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"

skip() {
    if [ "${ORVANDEL_AUDIO_REQUIRED:-0}" = 1 ]; then
        echo "FAIL: required, but $*"
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for tool in pulseaudio pactl parec sox timeout; do
    command -v "$tool" >/dev/null 2>&1 || skip "no audio server can be started: '$tool' is not installed"
done

# Everything of the server and the players lives in one private folder:
# socket, cookie, state, settings.
work=$(mktemp -d)
rec_pid=
# shellcheck disable=SC2317 # run by the trap
cleanup() {
    [ -n "$rec_pid" ] && kill "$rec_pid" 2>/dev/null
    isolate_pulse_stop
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

isolate_home "$work" || skip "cannot make a private folder in $work"
export QT_QPA_PLATFORM=offscreen
sink=orvandel_test
rate=44100

# measure FILE: sets m_len, m_rms and m_peak for FILE's audible part, leading
# and trailing stretches below -50 dBFS cut off; all 0 when nothing is audible.
measure() {
    sox "$1" -t wav "$work/audible.wav" \
        silence 1 0.005 -50d reverse silence 1 0.005 -50d reverse 2>/dev/null
    read -r m_len m_rms m_peak <<EOF
$(sox "$work/audible.wav" -n stat 2>&1 | awk '
        /^Length/ {len = $3} /^RMS +amplitude/ {rms = $3} /^Maximum amplitude/ {max = $3}
        /^Minimum amplitude/ {min = -$3}
        END {peak = (max > min ? max : min); if (len == "") len = 0
             printf "%.3f %.4f %.4f\n", len, (rms == "" || rms == "-nan" ? 0 : rms), peak}')
EOF
}

# --- No server at all: the player must not hang, fail or complain. -----------
# Pointing PulseAudio clients at a socket that does not exist stands for a
# machine without a sound server.
out=$(PULSE_SERVER="unix:$work/no-such-socket" timeout 20 "$playsound" "$resources/sound1.wav" 1 2>&1)
rc=$?
if [ $rc -ne 0 ]; then
    fail "no server: playsound exited $rc (124 = hung): $out"
elif [ -n "$out" ]; then
    # Qt's own warnings go to stderr; they do not stop anything, so they are
    # shown but do not fail the test.
    echo "note: no server: the player printed: $(echo "$out" | tr "\n" "/")"
fi
echo "no server: playsound ran and exited 0"

# --- Start the private server. ------------------------------------------------
if ! isolate_pulse "$sink" 20; then
    [ $failures -eq 0 ] || exit 1
    skip "no audio server can be started here: pulseaudio did not come up" \
        "($(grep -v '^$' "$isolate_pulse_dir/log" | tail -n 1))"
fi
# Every client started from here talks to this server and no other: its
# socket, holding only what was loaded at its start.
modules() { pactl list short modules | cut -f2 | sort | tr '\n' ' '; }
ours="module-native-protocol-unix module-null-sink "
server=$(pactl info | sed -n 's/^Server String: //p')
[ "${server#unix:}" = "$isolate_pulse_dir/native" ] || {
    fail "the sound clients reach $server, not the private server"
    exit 1
}
[ "$(modules)" = "$ours" ] || fail "the private server holds other modules: $(modules)"
pactl set-default-sink "$sink" || {
    fail "cannot make $sink the default sink"
    exit 1
}
echo "server: PulseAudio up with null sink $sink"

# record NAME -- TOOL-ARGS...: runs $player (playsound unless set) while
# recording the sink's monitor into $work/NAME.wav; the tool's output goes to
# $work/NAME.out.
record() {
    name=$1
    shift 2
    parec --device="$sink.monitor" --format=s16le --rate=$rate --channels=1 \
        --latency-msec=20 >"$work/$name.raw" 2>"$work/$name.parec" &
    rec_pid=$!
    sleep 0.5 # the recorder is connected before the sound starts
    timeout 30 "${player:-$playsound}" "$@" >"$work/$name.out" 2>&1
    play_rc=$?
    sleep 0.3
    kill "$rec_pid" 2>/dev/null
    wait "$rec_pid" 2>/dev/null
    rec_pid=
    sox -t raw -r $rate -e signed-integer -b 16 -c 1 "$work/$name.raw" "$work/$name.wav"
    return $play_rc
}

# within A B TOLERANCE: |A - B| <= TOLERANCE
within() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN {d = a - b; if (d < 0) d = -d; exit !(d <= t)}'; }
above() { awk -v a="$1" -v b="$2" 'BEGIN {exit !(a > b)}'; }

# --- The four alert sounds. ---------------------------------------------------
for n in 1 2 3 4; do
    file="$resources/sound$n.wav"
    [ -f "$file" ] || {
        fail "$file is missing"
        continue
    }
    measure "$file"
    want_len=$m_len want_rms=$m_rms
    total=$(soxi -D "$file")
    wait_s=$(awk -v t="$total" 'BEGIN {printf "%.2f", t + 0.7}')
    record "sound$n" -- "$file" "$wait_s"
    rc=$?
    measure "$work/sound$n.wav"
    got_len=$m_len got_rms=$m_rms got_peak=$m_peak
    echo "sound$n.wav: file ${total}s, audible ${want_len}s rms $want_rms;" \
        "recorded audible ${got_len}s rms $got_rms peak $got_peak"
    [ $rc -eq 0 ] || fail "sound$n: playsound exited $rc: $(cat "$work/sound$n.out")"
    [ -s "$work/sound$n.out" ] && fail "sound$n: playsound printed: $(cat "$work/sound$n.out")"
    above "$got_peak" 0.1 || fail "sound$n: recording peak $got_peak is not above 0.1"
    above "$got_rms" 0.01 || fail "sound$n: recording RMS $got_rms is not above 0.01"
    within "$got_len" "$want_len" 0.3 ||
        fail "sound$n: recorded ${got_len}s of sound, the file has ${want_len}s"
done

# --- A missing file: silence, exit 0, no message. -----------------------------
record missing -- "$work/no-such-sound.wav" 1.5
rc=$?
measure "$work/missing.wav"
echo "missing file: exit $rc, recorded audible ${m_len}s peak $m_peak"
[ $rc -eq 0 ] || fail "missing file: playsound exited $rc"
[ -s "$work/missing.out" ] && fail "missing file: playsound printed: $(cat "$work/missing.out")"
above 0.003 "$m_peak" || fail "missing file: the recording is not silent (peak $m_peak)"

# --- "Prev" then "Play" part-way through starts the sound over. ---------------
# The horn is steady, so its recording is one stretch: the part played before
# the restart, a short gap while the player starts again, then the whole sound.
# A player that carried on instead would give one sound's length, one that
# only stopped would give less.
file="$resources/sound3.wav"
measure "$file"
full=$m_len
restart=0.6
record restart -- --restart-after $restart "$file" 3.5
rc=$?
measure "$work/restart.wav"
got=$m_len
low=$(awk -v a="$restart" -v b="$full" 'BEGIN {printf "%.3f", a + b - 0.3}')
high=$(awk -v a="$restart" -v b="$full" 'BEGIN {printf "%.3f", a + b + 0.5}')
echo "Prev+Play after ${restart}s: recorded audible ${got}s, expected ${low}s to ${high}s"
[ $rc -eq 0 ] || fail "restart: playsound exited $rc"
[ -s "$work/restart.out" ] && fail "restart: playsound printed: $(cat "$work/restart.out")"
if ! above "$got" "$low" || ! above "$high" "$got"; then
    fail "restart: recorded ${got}s of sound, expected ${low}s to ${high}s"
fi

# --- The clock window: the alert, the new blinds spoken, the warning. ---------
if [ -n "$clockvoice" ]; then
    player=$clockvoice
    measure "$resources/sound1.wav"
    alert=$m_len
    record quiet -- level "$resources/sound1.wav" 7
    measure "$work/quiet.wav"
    quiet=$m_len
    export ORVANDEL_SPEAK=1
    record spoken -- level "$resources/sound1.wav" 9
    unset ORVANDEL_SPEAK
    measure "$work/spoken.wav"
    spoken=$m_len
    record warning -- warning 4
    measure "$work/warning.wav"
    warned=$m_len warned_peak=$m_peak
    measure "$resources/warning.wav"
    echo "clock: alert ${alert}s; level change ${quiet}s, with the blinds spoken ${spoken}s;" \
        "warning ${warned}s (file ${m_len}s)"
    within "$quiet" "$alert" 0.3 || fail "clock: without speaking, ${quiet}s of sound, the alert has ${alert}s"
    above "$spoken" "$(awk -v a="$alert" 'BEGIN {print a + 1.2}')" ||
        fail "clock: with speaking, ${spoken}s of sound, not well past the alert's ${alert}s"
    above "$warned_peak" 0.1 || fail "clock: the warning's recording peak $warned_peak is not above 0.1"
    within "$warned" "$m_len" 0.3 || fail "clock: ${warned}s of warning, the file has ${m_len}s"
    player=
fi

# Nothing the players did loaded anything into the server.
[ "$(modules)" = "$ours" ] || fail "modules loaded while playing: $(modules)"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all real audio checks passed"
exit 0
