#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
source "$(dirname "$0")/deps.sh"
orvandel_install_missing
orvandel_build "$orvandel_root/build"
cd "$orvandel_root/build"
ctest --output-on-failure
