#!/usr/bin/env bash
# Static checks: clang-format (the tree must be formatted) and clang-tidy
# (the checks in .clang-tidy, every warning an error) over our C++ sources.
set -euo pipefail
source "$(dirname "$0")/deps.sh"
orvandel_install_missing clang-format clang-tidy
cd "$orvandel_root"
build=${BUILD_DIR:-$orvandel_root/build-tidy}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
echo "clang-format: ${#sources[@]} files"
clang-format --dry-run --Werror "${sources[@]}"

# clang-tidy needs the compile commands and the generated moc files.
cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
mapfile -t units < <(git ls-files 'app/*.cpp' 'setup/*.cpp' 'clock/*.cpp' 'sound/*.cpp' \
    'tests/*.cpp' 'tests/*/*.cpp' 'bench/*.cpp')
echo "clang-tidy: ${#units[@]} files"
printf '%s\n' "${units[@]}" |
    xargs -P"$(nproc)" -n4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "static checks: clean"
