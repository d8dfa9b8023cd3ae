#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvandel in a ready working
# folder (default: ./run), where blinds.dat and the alert sounds live. The
# build folder's launcher makes the folder ready, as the installed one does
# on a desktop: it copies the sounds and the example blinds.dat that are absent.
set -euo pipefail
source "$(dirname "$0")/deps.sh"
orvandel_install_missing
(cd "$orvandel_root" && cmake --workflow --preset program)

export ORVANDEL_WORKDIR=${ORVANDEL_WORKDIR:-$orvandel_root/run}
exec "$orvandel_root/build/orvandel-launcher" "$@"
