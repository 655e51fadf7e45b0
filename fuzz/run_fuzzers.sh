#!/bin/sh
# Runs every fuzz target of a build made with -DLK_FUZZ=ON for a bounded time.
#
#   run_fuzzers.sh <build dir> [seconds per target] [target...]   (default: every target)
#
# Targets run side by side, FUZZ_JOBS at a time (default: one per processor). Each grows its corpus under
# <build dir>/fuzz/corpus/<target> from the seeds; a crash, sanitizer report, hang (10 s per
# input), leak or memory blow-up leaves its input under <build dir>/fuzz/artifacts/<target>/
# and makes the script exit non-zero. One line per target tells the executions run.
set -u
build=${1:?usage: run_fuzzers.sh <build dir> [seconds] [target...]}
seconds=${2:-60}
[ $# -ge 2 ] && shift 2 || shift $#
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
fuzz="$build/fuzz"
targets=${*:-"pipeline tground resume token readback th top wif shap hl workm handover stv1text"}
jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 1)}
# A small quarantine: each input frees its whole model, and handing those pages back soon
# makes the session targets about twice as fast; a use after free within one input is still
# caught.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"

# longest input per target: whole letter files for the letter readers, less for the rest
max_len() {
    case $1 in
        tground) echo 1048576 ;;   # the point table's capacity needs a file of about 1 MB
        hl) echo 131072 ;;         # 2501 bridges of raw doubles
        pipeline|readback|workm|handover) echo 65536 ;;
        resume|stv1text) echo 16384 ;;
        *) echo 4096 ;;
    esac
}

# inputs that differ a thousandfold in cost (a few letters against a full point table): the
# slow ones are picked less often
extra_flags() {
    case $1 in
        pipeline|tground) echo -entropic_scale_per_exec_time=1 ;;
    esac
}

run_one() {
    t=$1
    exe="$fuzz/fuzz_$t"
    [ -x "$exe" ] || { echo "$t: $exe missing (build the target lk_fuzzers)" >"$fuzz/logs/$t.log"; echo 2 >"$fuzz/logs/$t.rc"; return; }
    mkdir -p "$fuzz/corpus/$t" "$fuzz/artifacts/$t" "$fuzz/seeds/$t"
    # the paths are absolute: the session targets change the working folder
    "$exe" $(extra_flags "$t") -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -detect_leaks=1 \
        -max_len="$(max_len "$t")" -print_final_stats=1 -dict="$here/workfiles.dict" \
        -artifact_prefix="$fuzz/artifacts/$t/" "$fuzz/corpus/$t" "$fuzz/seeds/$t" \
        >"$fuzz/logs/$t.log" 2>&1
    echo $? >"$fuzz/logs/$t.rc"
}

mkdir -p "$fuzz/logs"
running=0
for t in $targets; do
    rm -f "$fuzz/logs/$t.rc"
    run_one "$t" &
    running=$((running + 1))
    if [ "$jobs" -gt 0 ] && [ "$running" -ge "$jobs" ]; then
        wait
        running=0
    fi
done
wait

status=0
for t in $targets; do
    rc=$(cat "$fuzz/logs/$t.rc" 2>/dev/null || echo 2)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$fuzz/logs/$t.log" | tail -n 1)
    found=$(find "$fuzz/artifacts/$t" -type f 2>/dev/null | wc -l)
    verdict=ok
    if [ "$rc" != 0 ] || [ "$found" != 0 ]; then
        verdict="FAILED (exit $rc, $found inputs in $fuzz/artifacts/$t)"
        status=1
        grep -m 3 -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|.*Timeout|.*out-of-memory|.*missing)' "$fuzz/logs/$t.log" | sed 's/^/    /'
    fi
    printf '%-9s %10s runs in %ss  %s\n' "$t" "${runs:-?}" "$seconds" "$verdict"
done
exit $status
