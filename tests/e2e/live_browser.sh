#!/usr/bin/env bash
# The live page in a real browser: a real clock window, counting in real time,
# feeds the live view (liveclock); Debian's headless Chromium opens the page on
# loopback, and its DOM must show the window's time and blinds, then a later
# second's time. Then it draws the page on a phone (390x844) and a TV
# (1920x1080); with a folder as second argument the pictures are kept there as
# live-phone.png and live-tv.png. Both programs get a session bus, a home,
# settings and a journal folder of their own (scripts/isolate.sh), and the
# view listens on ports found free, never on the program's own 8088 to 8108.
#
# Usage: live_browser.sh LIVECLOCK [PICTURE-FOLDER]. Exit 77 (skipped)
# without Chromium.
set -euo pipefail

server=$(realpath "$1")
pictures=${2:-}
isolate_scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
# shellcheck source=scripts/isolate.sh
. "$isolate_scripts/isolate.sh"
isolate_bus "$0" "$@"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "SKIP: chromium is not installed"
    exit 77
fi

work=$(mktemp -d)
isolate_home "$work"
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    sed 's/^/    clock: /' "$work/log"
    exit 1
}

printf '2,20\r\n"$10","$20"\r\n"$20","$40"\r\n0,0\r\n' >"$work/blinds.dat"
(cd "$work" && QT_QPA_PLATFORM=offscreen exec "$server" --seconds 90) \
    >"$work/log" 2>&1 &
pid=$!
# Up, and the window has counted its first second.
for ((i = 0; i < 100; i++)); do
    (($(grep -c '^face ' "$work/log") >= 2)) && break
    sleep 0.1
done
port=$(sed -n 's/^port //p' "$work/log")
[ -n "$port" ] || fail "the live view did not start"
url=http://127.0.0.1:$port/

# Each run gets a fresh profile. The virtual time budget gives the page time
# to load, but its WebSocket runs in real time: on a busy machine the face may
# not be in yet, so a page still connecting is opened again, a few times.
browse() {
    local profile
    profile=$(mktemp -d -p "$work")
    "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --hide-scrollbars --virtual-time-budget=3000 "$@" "$url" \
        2>>"$work/browser.log"
}

# The text of the page's control NAME in a dumped DOM.
shown() { # shown DOM NAME
    sed -n "s/.*data-name=\"$2\"[^>]*>\\([^<]*\\)<.*/\\1/p" <<<"$1"
}

seconds() { # "mm:ss" -> seconds
    local t=${1// /}
    echo $((10#${t%%:*} * 60 + 10#${t##*:}))
}

live_dom() {
    local dom tries
    for ((tries = 0; tries < 10; tries++)); do
        dom=$(browse --dump-dom) || return 1
        if grep -q 'data-state="live"' <<<"$dom"; then
            echo "$dom"
            return 0
        fi
    done
    echo "$dom"
    return 1
}

first=$(live_dom) || fail "the page never went live: $first"
time1=$(shown "$first" lblTime)
grep -qF "face $time1|" "$work/log" || fail "the page shows \"$time1\", which the window never did"
window=$(grep "^face $time1|" "$work/log" | tail -1)
[ "$(shown "$first" lblCurrentSmall)|$(shown "$first" lblCurrentBig)" = "${window#*|}" ] ||
    fail "the page's blinds are not the window's (${window#*|})"

sleep 1.2
second=$(live_dom) || fail "the page did not go live again: $second"
time2=$(shown "$second" lblTime)
grep -qF "face $time2|" "$work/log" || fail "the page shows \"$time2\", which the window never did"
(($(seconds "$time2") < $(seconds "$time1"))) ||
    fail "the page did not move on: \"$time1\", then \"$time2\""
echo "page showed \"$time1\", then \"$time2\", blinds ${window#*|}"

for shot in phone:390,844 tv:1920,1080; do
    browse --window-size="${shot#*:}" --screenshot="$work/live-${shot%%:*}.png" >/dev/null ||
        fail "no picture of the page at ${shot#*:}"
    [ -s "$work/live-${shot%%:*}.png" ] || fail "the picture at ${shot#*:} is empty"
    [ -z "$pictures" ] || cp "$work/live-${shot%%:*}.png" "$pictures/"
done
echo "PASS"
