#!/bin/bash
# Installs what the build and the Wine test runs need, and builds the
# target's libpng into the build tree. Quiet and quick when all is there.
set -euo pipefail

build_dir="${1:-build}"
deps_dir="$build_dir/deps"

packages=(wine wine32 xvfb g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
          mingw-w64-i686-dev cmake googletest libz-mingw-w64-dev
          imagemagick x11-utils libpng-dev clang libclang-rt-14-dev
          make dpkg-dev)

missing=()
for p in "${packages[@]}"; do
    case "$p" in wine32) q="wine32:i386" ;; *) q="$p" ;; esac
    dpkg-query -W -f='${Status}' "$q" 2>/dev/null | grep -q "ok installed" || missing+=("$q")
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# libpng for the target, from Debian's source package.
if [ ! -f "$deps_dir/libpng/lib/libpng16.a" ] && [ ! -f "$deps_dir/libpng/lib/libpng.a" ]; then
    "$(dirname "$0")/build-libpng.sh" "$deps_dir"
fi
