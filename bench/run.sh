#!/usr/bin/env bash
# Builds orvandel-bench and runs it; the figures go to stdout, one a line.
#   bench/run.sh           every bench at full length (about 3 minutes)
#   bench/run.sh --short   only the drift bench, for 30 s (for CI)
# Further arguments go to orvandel-bench (see orvandel-bench --help).
# BUILD_DIR chooses the build folder (default: build/ at the repository root).
# Exit status: 0 every target met, 1 a target missed, 2 a measurement failed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}

args=()
if [[ ${1:-} == --short ]]; then
    shift
    args=(--short --only drift)
fi

# Build output goes to stderr so that stdout carries only the figures.
cmake -S "$root" -B "$build" >&2
cmake --build "$build" --target orvandel-bench -j"$(nproc)" >&2

exec "$build/bench/orvandel-bench" "${args[@]}" "$@"
