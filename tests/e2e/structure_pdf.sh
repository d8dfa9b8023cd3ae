#!/usr/bin/env bash
# `orvandel --pdf` writes the sheet of 45 rounds without a window; pdftotext
# reads back its two pages. A structure that breaks a rule gets a message on
# stderr, a non-zero status and no PDF.
# Usage: structure_pdf.sh PROGRAM. Exit 77 (skipped) without poppler-utils.
set -euo pipefail

program=$1
for tool in pdftotext pdfinfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (poppler-utils)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Level n has the big blind n thousand, its half as the small blind and a big
# blind ante from level 3; rounds 7 and 41 are breaks.
{
    printf '{"orvandel": "structure", "version": 1, "name": "Friday deep stack", '
    printf '"ante": "bigBlind", "rounds": [\n'
    level=0
    for round in $(seq 1 45); do
        [ "$round" -gt 1 ] && printf ',\n'
        case $round in
        7) printf '{"break": 15, "note": "Colour up the 25s"}' ;;
        41) printf '{"break": 30, "note": "Dinner"}' ;;
        *)
            level=$((level + 1))
            ante=0
            [ "$level" -ge 3 ] && ante=$((level * 1000))
            printf '{"small": %d, "big": %d, "ante": %d, "minutes": 20}' \
                $((level * 500)) $((level * 1000)) "$ante"
            ;;
        esac
    done
    printf ']}\n'
} >"$work/friday.json"

# The C locale groups with commas; no screen is needed.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C \
    "$program" --pdf "$work/friday.json" "$work/friday.pdf" 2>"$work/stderr" ||
    fail "the sheet was not written: $(cat "$work/stderr")"
pages=$(pdfinfo "$work/friday.pdf" | sed -n 's/^Pages: *//p')
[ "$pages" = 2 ] || fail "the sheet has $pages pages, not 2"
pdftotext -layout -f 1 -l 1 "$work/friday.pdf" "$work/page1.txt"
pdftotext -layout -f 2 -l 2 "$work/friday.pdf" "$work/page2.txt"

expect() { # page pattern what
    grep -Eq -- "$2" "$work/page$1.txt" || {
        cat "$work/page$1.txt" >&2
        fail "page $1 lacks $3"
    }
}
for page in 1 2; do
    expect "$page" 'Friday deep stack' "the name"
    expect "$page" "Big blind ante +Page $page of 2" "the ante kind and the page"
    expect "$page" 'Level +Small blind +Big blind +BB ante +Minutes +Starts +Note' "the headings"
done
expect 1 '^ *1 +500 +1,000 +20 +0:00 *$' "level 1, no ante yet"
expect 1 '^ *3 +1,500 +3,000 +3,000 +20 +0:40 *$' "level 3 with its ante"
expect 1 '^ *Break +15 +2:00 +Colour up the 25s *$' "the first break"
expect 1 '^ *39 +19,500 +39,000 +39,000 +20 +12:55 *$' "round 40, the last of page 1"
expect 2 '^ *Break +30 +13:15 +Dinner *$' "round 41, the second break, first of page 2"
expect 2 '^ *43 +21,500 +43,000 +43,000 +20 +14:45 *$' "the last level"
if grep -Eq '^ *39 +19,500 ' "$work/page2.txt"; then
    fail "page 2 repeats page 1"
fi

# A refused structure: the rule on stderr, no PDF.
printf '%s' '{"orvandel": "structure", "version": 1, "rounds": [{"small": 25, "big": 50, "minutes": 20},
    {"small": 50, "big": 100, "minutes": 20}, {"small": 100, "big": 200, "minutes": 20},
    {"small": 300, "big": 200, "minutes": 20}]}' >"$work/wrong.json"
status=0
env LC_ALL=C "$program" --pdf "$work/wrong.json" "$work/wrong.pdf" 2>"$work/stderr" || status=$?
[ "$status" -ne 0 ] || fail "a refused structure gave status 0"
grep -q 'Round 4: the small blind 300 is above the big blind 200.' "$work/stderr" ||
    fail "the refusal does not name the round and the rule: $(cat "$work/stderr")"
[ ! -e "$work/wrong.pdf" ] || fail "a PDF was written for a refused structure"
echo "ok: a refused structure named on stderr, status $status, no PDF"
