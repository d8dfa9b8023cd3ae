#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# (the asan preset, in build-asan/) and runs the test suite there with the asan
# test preset, whose runtime options make any sanitizer report, a leak
# included, a failed test.
#
# Usage: scripts/sanitize.sh [extra ctest arguments, e.g. -L unit]
set -euo pipefail
source "$(dirname "$0")/deps.sh"
cd "$orvandel_root"

# Ninja where it is installed, for a folder configured afresh.
command -v ninja >/dev/null 2>&1 && export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
[ $# -eq 0 ] && exec cmake --workflow --preset asan
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan "$@"
