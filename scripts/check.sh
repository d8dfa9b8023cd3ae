#!/usr/bin/env bash
# Static checks: clang-format (the tree must be formatted) and clang-tidy
# (the checks in .clang-tidy, every warning an error) over our C++ sources,
# fuzz/ included. Every diagnostic is shown and fails the run.
set -euo pipefail
source "$(dirname "$0")/deps.sh"
orvandel_install_missing clang-format clang-tidy
cd "$orvandel_root"

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "clang-format: ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"

# clang-tidy needs the compile commands and the generated moc files: the tidy
# workflow makes only those, in build-tidy/. fuzz/*.cpp are there as the
# replay tests' sources.
cmake --workflow --preset tidy >/dev/null
mapfile -t units < <(git ls-files 'app/*.cpp' 'setup/*.cpp' 'clock/*.cpp' 'sound/*.cpp' \
    'tests/*.cpp' 'tests/*/*.cpp' 'bench/*.cpp' 'fuzz/*.cpp')
echo "clang-tidy: ${#units[@]} files"
# clang reports "N warnings generated." for the warnings of headers outside
# the filter; that line alone is dropped.
set +e
printf '%s\n' "${units[@]}" |
    xargs -P"$(nproc)" -n4 clang-tidy -p build-tidy --quiet 2>&1 |
    grep -v -E '^[0-9]+ warnings? generated\.$'
status=${PIPESTATUS[1]}
set -e
if [ "$status" -ne 0 ]; then
    echo "static checks: clang-tidy failed (exit $status)" >&2
    exit 1
fi
echo "static checks: clean"
