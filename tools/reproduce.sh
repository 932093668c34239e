#!/bin/bash
# Shows that the download is reproducible: clones the last commit twice,
# into two temporary folders of different names and depths, runs make dist
# in each, the second one later, in another time zone and under another
# umask, and compares Keyvane.exe and the zip byte for byte. Prints both
# builds' sums; fails when they differ.
#
#   tools/reproduce.sh [BUILD [JOBS]]
#
# Each clone builds its own libpng. Its source, when BUILD/deps/src has it
# unpacked, is copied into the clone instead of being fetched again.
# Uncommitted changes are not in the clones.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$root" && realpath -m "${1:-build}")"
jobs="${2:-$(nproc)}"
commit="$(git -C "$root" rev-parse HEAD)"
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "reproduce: uncommitted changes are left out: both builds are of $commit" >&2
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/keyvane-reproduce.XXXXXX")"
trap 'rm -rf "$work"' EXIT
clones=("$work/a" "$work/second/clone-in-a-longer-folder")
zones=(UTC Pacific/Auckland)
masks=(0022 0077)

for i in 0 1; do
    clone="${clones[$i]}"
    git clone -q "$root" "$clone"
    git -C "$clone" checkout -q --detach "$commit"
    if [ -d "$build/deps/src" ]; then
        mkdir -p "$clone/build/deps"
        cp -a "$build/deps/src" "$clone/build/deps/"
    fi
    echo "reproduce: make dist in $clone ($(date -u +%T) UTC, TZ=${zones[$i]}, umask ${masks[$i]})"
    if ! (cd "$clone" && umask "${masks[$i]}" && TZ="${zones[$i]}" make --no-print-directory dist JOBS="$jobs") \
        >"$work/dist-$i.log" 2>&1; then
        tail -n 30 "$work/dist-$i.log" >&2
        echo "reproduce: make dist failed in $clone" >&2
        exit 1
    fi
done

for i in 0 1; do
    echo "reproduce: build $((i + 1)), ${clones[$i]}:"
    sed 's/^/    /' "${clones[$i]}/dist/SHA256SUMS"
done
if cmp "${clones[0]}/dist/SHA256SUMS" "${clones[1]}/dist/SHA256SUMS" >/dev/null; then
    echo "reproduce: the two builds are byte for byte the same"
else
    for f in Keyvane.exe "$(cd "${clones[0]}/dist" && ls Keyvane-*.zip)"; do
        cmp "${clones[0]}/dist/$f" "${clones[1]}/dist/$f" >&2 || true
    done
    echo "reproduce: the two builds differ" >&2
    exit 1
fi
