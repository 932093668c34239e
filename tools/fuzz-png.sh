#!/bin/bash
# Runs the PNG decoder's libFuzzer target for SECONDS, then prints the
# executions, the coverage and the findings. Fails when there are findings.
#
#   tools/fuzz-png.sh [--build NATIVE_BUILD_DIR] SECONDS
#
# NATIVE_BUILD_DIR is the native build that `make native-test` configures
# (default build/native). The corpus grows in NATIVE_BUILD_DIR/fuzz/corpus
# from run to run, from the seeds in tests/fuzz/seeds (every colour type and
# depth, plain, and interlaced with transparency, as tests/image/png_maker
# writes them); crashing inputs land in NATIVE_BUILD_DIR/fuzz/findings.
set -uo pipefail

build="build/native"
if [ "${1:-}" = "--build" ]; then build="$2"; shift 2; fi
seconds="${1:?usage: $0 [--build NATIVE_BUILD_DIR] SECONDS}"
root="$(cd "$(dirname "$0")/.." && pwd)"

fuzzer="$build/png_decoder_fuzz"
if [ ! -x "$fuzzer" ]; then
    echo "fuzz: no $fuzzer; build it with make native-test" >&2
    exit 2
fi
work="$build/fuzz"
mkdir -p "$work/corpus" "$work/findings"

log="$work/last-run.log"
before="$(find "$work/findings" -type f | sort)"
# libpng's messages go to the closed standard error; libFuzzer's own
# report still reaches the log.
ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=32:malloc_context_size=10}" \
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=2 \
    -print_final_stats=1 -dict="$root/tests/fuzz/png.dict" \
    -artifact_prefix="$work/findings/" "$work/corpus" "$root/tests/fuzz/seeds" 2>"$log"
rc=$?
new="$(comm -13 <(echo "$before") <(find "$work/findings" -type f | sort) | sed '/^$/d')"
findings=$(sed '/^$/d' <<<"$new" | wc -l)

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
last=$(grep -E '^#[0-9]+' "$log" | tail -n1)
cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
corpus=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
echo "fuzz: ${runs:-?} executions in $seconds s; coverage ${cov:-?} edges, ${ft:-?} features; corpus ${corpus:-?} inputs; findings $findings"
if ((findings > 0)) || [ "$rc" != 0 ]; then
    [ -n "$new" ] && echo "$new"
    grep -E 'ERROR|SUMMARY|deadly signal' "$log" | head -n 20
    echo "fuzz: failed (exit $rc); the run's log is $log"
    exit 1
fi
exit 0
