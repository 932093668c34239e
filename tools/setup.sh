#!/bin/bash
# Installs what the builds and the Wine test runs need, and builds libpng
# for each Windows target into the build tree. Quiet and quick when all is
# there.
#
# Changes to the system, made only when something is missing:
#   - Debian packages are installed with apt-get;
#   - on a host that runs 32-bit code, the i386 architecture is added to
#     dpkg for wine32;
#   - tools/build-libpng.sh adds a deb-src entry for Debian's main suite.
set -euo pipefail

build_dir="${1:-build}"
tools="$(dirname "$0")"

# Each package serves a command: the Windows builds (cmake, make, the
# MinGW-w64 compilers, zlib for them, googletest), the libpng source
# (dpkg-dev), the Wine runs (wine, wine64, xvfb), make native-test and make
# fuzz (clang and its sanitizer and fuzzer runtimes, zlib), the icon and
# the demo's screenshot (imagemagick) and the title-bar glyphs in it
# (fonts-wine: Wine's Marlett), make dist (zip). wine64 runs the
# x86-64 build everywhere; wine32 only where the host runs 32-bit code,
# because elsewhere it cannot start and only slows down every new 64-bit
# prefix.
packages=(wine wine64 xvfb cmake make googletest dpkg-dev imagemagick fonts-wine zip
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          libz-mingw-w64-dev zlib1g-dev clang libclang-rt-14-dev)
if "$tools/host-runs-i386.sh"; then
    packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    case " ${missing[*]} " in
        *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
    esac
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

for target in i686 x86_64; do
    if [ ! -f "$build_dir/deps/$target/libpng/lib/libpng16.a" ]; then
        "$tools/build-libpng.sh" "$build_dir/deps" "$target"
    fi
done
