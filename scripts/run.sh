#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvandel in a ready working
# folder (default: ./run), where blinds.dat and the alert sounds live.
set -euo pipefail
source "$(dirname "$0")/deps.sh"
orvandel_install_missing
orvandel_build "$orvandel_root/build"

workdir=${ORVANDEL_WORKDIR:-$orvandel_root/run}
mkdir -p "$workdir"
for n in 1 2 3 4; do
    [ -e "$workdir/sound$n.wav" ] || cp "$orvandel_root/resources/sound$n.wav" "$workdir/"
done
[ -e "$workdir/blinds.dat" ] || cp "$orvandel_root/resources/example-blinds.dat" "$workdir/blinds.dat"
cd "$workdir"
exec "$orvandel_root/build/orvandel" "$@"
