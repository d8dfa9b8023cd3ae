#!/bin/sh
# Synthesizes the four alert sounds sound1.wav .. sound4.wav and the warning
# sound warning.wav with sox.
#
#   sound1.wav  chime: three soft notes rising through a major chord
#   sound2.wav  bell: one struck bell with slightly inharmonic partials
#   sound3.wav  horn: a mellow two-tone horn, high-low-high-low
#   sound4.wav  beeps: four short beeps rising in pitch
#   warning.wav the minute's warning: two quick falling chirps, unlike any of
#               the four, so the room never takes it for a new level
#
# Each is 16-bit mono PCM at 44100 Hz and ends in a quarter second of silence:
# Qt's sound effect player has been seen to cut the last ~100 ms of a sound.
#
# Debian packages needed: sox
#
# Usage: resources/make-sounds.sh [output folder]   (default: this folder)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
rate=44100
tail_silence=0.25

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# -R: no random dither seed, -D: no dither at all, so the script always writes
# the same bytes and the trailing silence is true digital silence.
sx() { sox -R -D "$@"; }

# tone FILE LENGTH DELAY CURVE VOLUME FREQUENCY
# One sine that starts after DELAY seconds with a 5 ms attack and fades out
# over its LENGTH. CURVE "ring" is the square of a straight line, close to the
# ring of a struck bar or bell (-12 dB half way) but without sox's logarithmic
# fade, which dies away within a fraction of the length; "soft" is a half sine.
tone() {
    case $4 in
    ring) fade="fade t 0 $2 $2 fade t 0 $2 $2" ;;
    soft) fade="fade h 0 $2 $2" ;;
    esac
    # shellcheck disable=SC2086 # $fade is a list of words
    sx -n -r $rate -c 1 -b 32 -e floating-point "$work/$1" \
        synth "$2" sine "$6" vol "$5" fade q 0.005 $fade pad "$3"
}

# finish NAME PARTS...: mix the parts, bring the peak to -3 dBFS and add the
# trailing silence.
finish() {
    name=$1
    shift
    if [ $# -gt 1 ]; then
        sx -m "$@" -b 32 -e floating-point "$work/$name.mix.wav"
    else
        cp "$1" "$work/$name.mix.wav"
    fi
    sx "$work/$name.mix.wav" -r $rate -c 1 -b 16 -e signed-integer "$out/$name.wav" \
        norm -3 pad 0 $tail_silence
}

# sound1: E6, G6, C7 struck 0.18 s apart, each with a quiet octave overtone.
tone c1.wav 0.90 0.00 ring 1.0 1318.51
tone c1o.wav 0.50 0.00 ring 0.25 2637.02
tone c2.wav 0.90 0.18 ring 1.0 1567.98
tone c2o.wav 0.50 0.18 ring 0.25 3135.96
tone c3.wav 1.20 0.36 ring 1.0 2093.00
tone c3o.wav 0.60 0.36 ring 0.2 4186.01
finish sound1 "$work"/c*.wav

# sound2: a bell on C5. Partials at hum, prime, minor third, fifth, nominal
# and above, slightly off the harmonic series; high ones die away sooner.
tone b1.wav 2.00 0 ring 0.5 261.0
tone b2.wav 1.80 0 ring 1.0 523.3
tone b3.wav 1.40 0 ring 0.6 627.0
tone b4.wav 1.10 0 ring 0.4 784.0
tone b5.wav 0.90 0 ring 0.5 1052.0
tone b6.wav 0.60 0 ring 0.3 1330.0
tone b7.wav 0.40 0 ring 0.2 1590.0
finish sound2 "$work"/b*.wav

# sound3: two-tone horn, B4 and G#4 (a major third apart), 0.32 s each, twice.
# Two slightly detuned sawtooths softened by a low-pass filter, with short
# fades so the changes of tone do not click.
horn() {
    sx -n -r $rate -c 1 -b 32 -e floating-point "$work/$1" \
        synth 0.32 sawtooth "$2" sawtooth mix "$3" lowpass 1800 lowpass 1800 \
        fade h 0.02 0.32 0.04
}
horn h_hi.wav 493.88 494.6
horn h_lo.wav 415.30 415.9
sx "$work/h_hi.wav" "$work/h_lo.wav" "$work/h_hi.wav" "$work/h_lo.wav" "$work/horn.wav"
finish sound3 "$work/horn.wav"

# sound4: E5, G#5, B5, E6, 0.14 s each with 0.07 s between them; a touch of
# the third harmonic gives the beeps an edge without being harsh.
beep() {
    tone "$1.f.wav" 0.14 0 soft 1.0 "$2"
    tone "$1.h.wav" 0.14 0 soft 0.15 "$3"
    sx -m "$work/$1.f.wav" "$work/$1.h.wav" "$work/$1" fade h 0.01 0.14 0.03 pad 0 0.07
}
beep p1.wav 659.26 1977.78
beep p2.wav 830.61 2491.83
beep p3.wav 987.77 2963.31
beep p4.wav 1318.51 3955.53
sx "$work/p1.wav" "$work/p2.wav" "$work/p3.wav" "$work/p4.wav" "$work/beeps.wav" \
    trim 0 -0.07
finish sound4 "$work/beeps.wav"

# warning: two chirps falling from 1600 Hz to 700 Hz, 0.16 s each with 0.1 s
# between them; a sweep is the one shape none of the alerts has.
chirp() {
    sx -n -r $rate -c 1 -b 32 -e floating-point "$work/$1" \
        synth 0.16 sine 1600-700 fade h 0.005 0.16 0.04 pad 0 "$2"
}
chirp w1.wav 0.10
chirp w2.wav 0
sx "$work/w1.wav" "$work/w2.wav" "$work/warning.wav"
finish warning "$work/warning.wav"

for name in sound1 sound2 sound3 sound4 warning; do
    printf '%s.wav: %ss\n' "$name" "$(soxi -D "$out/$name.wav")"
done
