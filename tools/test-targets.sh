#!/bin/bash
# Runs the Wine suites of each built target: x86_64 always, i686 where the
# host runs 32-bit code. Ends with one line per target saying what ran; a
# target that ran and failed fails the whole run.
#
#   test-targets.sh BUILD_DIR [JOBS]
set -uo pipefail

build="$1"
jobs="${2:-2}"
tools="$(dirname "$0")"
summary=()
status=0

for target in x86_64 i686; do
    if [ "$target" = i686 ] && ! "$tools/host-runs-i386.sh"; then
        summary+=("i686: built, not run: this host runs no 32-bit code")
        continue
    fi
    echo "== Wine suites, $target"
    start=$SECONDS
    if (cd "$build/$target" && ctest --output-on-failure -j"$jobs"); then
        summary+=("$target: built, ran, passed ($((SECONDS - start)) s)")
    else
        summary+=("$target: built, ran, FAILED ($((SECONDS - start)) s)")
        status=1
    fi
done

printf '%s\n' "${summary[@]}"
exit $status
