#!/bin/sh
# Renders the program's pictures from their SVG sources:
#   spade.svg -> spade.png  the window icon, 256 x 256
#   aces.svg  -> aces.png   the pair of aces in the clock window, 339 x 243
#                           (three times the 113 x 81 it is shown at)
#
# Debian packages needed: librsvg2-bin (rsvg-convert)
#
# Usage: resources/make-images.sh [output folder]   (default: this folder)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}

rsvg-convert --format=png --width=256 --height=256 \
    --output="$out/spade.png" "$here/spade.svg"
rsvg-convert --format=png --width=339 --height=243 \
    --output="$out/aces.png" "$here/aces.svg"

echo "wrote $out/spade.png and $out/aces.png"
