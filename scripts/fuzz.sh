#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time on a copy of its
# seed corpus in the build folder. A finding fails the run; its input is
# copied to fuzz/regressions/<target>/, where the fuzz_replay_<target> test of
# the ordinary build replays it from then on.
#
# Usage: scripts/fuzz.sh [seconds per target, default 60]
# The build is the fuzz preset's, in build-fuzz/; fuzz/CMakeLists.txt names the
# targets and writes their list to build-fuzz/fuzz/targets.txt.
set -euo pipefail
source "$(dirname "$0")/deps.sh"

seconds=${1:-60}
case $seconds in
'' | *[!0-9]*)
    echo "usage: $0 [seconds per target]" >&2
    exit 2
    ;;
esac

root=$orvandel_root
build_dir=$root/build-fuzz

# Ninja where it is installed, for a folder configured afresh.
command -v ninja >/dev/null 2>&1 && export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
(cd "$root" && cmake --workflow --preset fuzz)
mapfile -t targets <"$build_dir/fuzz/targets.txt"

# UBSan aborts (-fno-sanitize-recover) and libFuzzer counts that as a crash;
# the stack trace tells where.
export ASAN_OPTIONS="detect_leaks=1:print_stacktrace=1"
export UBSAN_OPTIONS="print_stacktrace=1"

summary=()
found=0
for target in "${targets[@]}"; do
    work=$build_dir/fuzz-run/$target
    mkdir -p "$work/corpus" "$work/artifacts"
    # The corpus grows here between runs; the seeds in the repository stay few.
    for seed in "$root/fuzz/corpus/$target"/*; do
        [ -e "$work/corpus/${seed##*/}" ] || cp "$seed" "$work/corpus/"
    done
    # Kept findings are read too (libFuzzer writes only to the first folder),
    # so a fix that did not hold shows at once.
    extra=()
    [ -d "$root/fuzz/regressions/$target" ] && extra=("$root/fuzz/regressions/$target")
    find "$work/artifacts" -type f -delete

    echo "=== fuzz_$target for ${seconds}s"
    set +e
    "$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "${extra[@]}" 2>&1 | tee "$work/log"
    rc=${PIPESTATUS[0]}
    set -e

    execs=$(awk '/^stat::number_of_executed_units:/ {print $2}' "$work/log")
    rate=$(awk '/^stat::average_exec_per_sec:/ {print $2}' "$work/log")
    line="fuzz_$target: ${rate:-?} exec/s, ${execs:-?} executions"

    # crash-, leak-, timeout- and oom- files are findings; libFuzzer names
    # them after the input's hash, so a copy never overwrites another input.
    findings=()
    while IFS= read -r -d '' artifact; do
        findings+=("$artifact")
    done < <(find "$work/artifacts" -type f \
        \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) -print0)
    if [ "$rc" -ne 0 ] || [ ${#findings[@]} -gt 0 ]; then
        found=1
        line+=", FINDING (exit $rc)"
        keep=$root/fuzz/regressions/$target
        mkdir -p "$keep"
        for artifact in "${findings[@]}"; do
            cp "$artifact" "$keep/"
            line+=$'\n'"    kept $keep/$(basename "$artifact")"
        done
        [ ${#findings[@]} -gt 0 ] || line+=$'\n'"    no input was saved; see $work/log"
    fi
    summary+=("$line")
done

echo
echo "=== Summary"
printf '%s\n' "${summary[@]}"
exit $found
