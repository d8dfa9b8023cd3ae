#!/usr/bin/env bash
# Static checks: clang-format (the tree must be formatted) and clang-tidy
# (the checks in .clang-tidy, every warning an error) over our C++ sources,
# fuzz/ included. Every diagnostic is shown and fails the run.
set -euo pipefail
source "$(dirname "$0")/deps.sh"
orvandel_install_missing clang-format clang-tidy
cd "$orvandel_root"

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
[ ${#sources[@]} -gt 0 ] || { echo "static checks: git lists no sources here" >&2; exit 1; }
echo "clang-format: ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"

# clang-tidy reads the compile commands and the generated moc files of the
# tidy workflow's build-tidy/, where fuzz/*.cpp are the replay tests' sources.
# run-clang-tidy (from the clang-tidy package) runs it on every one of our
# sources in the compile commands, the generated ones left out, a job a core.
cmake --workflow --preset tidy >/dev/null
clang-tidy --version | grep -i version
run-clang-tidy -p build-tidy -quiet -j "$(nproc)" \
    "^$orvandel_root/(core|ui|app|setup|players|clock|sound|live|tests|bench|fuzz|docs)/" >build-tidy/tidy.log 2>&1 ||
    status=$?
# clang reports "N warnings generated." for the warnings of headers outside
# the filter, and run-clang-tidy each command it runs: only diagnostics are shown.
grep -v -E '^[0-9]+ warnings? generated\.$|^(\[ *[0-9]+/[0-9]+\].* )?(\S*/)?clang-tidy(-[0-9]+)? -' \
    build-tidy/tidy.log || true
echo "clang-tidy: $(grep -c -E -- '-p=build-tidy .*\.cpp$' build-tidy/tidy.log) files"
if [ "${status:-0}" -ne 0 ]; then
    echo "static checks: clang-tidy failed (exit $status)" >&2
    exit 1
fi
echo "static checks: clean"
