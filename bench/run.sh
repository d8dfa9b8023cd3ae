#!/usr/bin/env bash
# Builds orvandel-bench and runs it; the figures go to stdout, one a line.
#   bench/run.sh           every bench at full length (about 3 minutes)
#   bench/run.sh --short   only the drift bench, for 30 s (for CI)
# Further arguments go to orvandel-bench (see orvandel-bench --help).
# BUILD_DIR chooses the build folder (default: build/ at the repository root).
# Exit status: 0 every target met, 1 a target missed, 2 a measurement failed.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../scripts/deps.sh"
build=${BUILD_DIR:-$orvandel_root/build}

args=()
if [[ ${1:-} == --short ]]; then
    shift
    args=(--short --only drift)
fi

# The default preset's build. Build output goes to stderr so that stdout
# carries only the figures.
orvandel_build default "${BUILD_DIR:-}" --target orvandel-bench >&2

exec "$build/bench/orvandel-bench" "${args[@]}" "$@"
