#!/bin/bash
# Builds a static libpng for one Windows target (i686 or x86_64) from
# Debian's libpng1.6 source package, into DEPS_DIR/TARGET/libpng. The source
# is unpacked once into DEPS_DIR/src for both targets and the native build
# (the sanitizer suite and the fuzz target).
# Nothing of it goes into git. The folders it was built in are mapped out of
# what it compiles, as the project's own are, so that Keyvane.exe is the
# same file wherever it was built.
#
# Changes to the system: adds a deb-src entry for Debian's main suite when
# apt lists none.
set -euo pipefail

deps_dir="$(realpath -m "$1")"
target="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
src_dir="$deps_dir/src"
mkdir -p "$src_dir"

# The source package needs a deb-src entry. Only the main suite is listed:
# its .dsc is served where the security suite's may not be.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    cat > /etc/apt/sources.list.d/debian-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq
fi

cd "$src_dir"
if ! ls -d libpng1.6-*/ >/dev/null 2>&1; then
    apt-get source -qq libpng1.6 >/dev/null 2>&1 || {
        # The newest candidate may not be served; fall back to any listed version.
        for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ {print $2}'); do
            apt-get source -qq "libpng1.6=$v" >/dev/null 2>&1 && break
        done
    }
fi
png_src="$(ls -d "$src_dir"/libpng1.6-*/ | head -n1)"
png_src="${png_src%/}"

build="$deps_dir/$target/build"
cmake -S "$png_src" -B "$build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$target-mingw.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_C_FLAGS="-ffunction-sections -fdata-sections -ffile-prefix-map=$png_src/= -ffile-prefix-map=$deps_dir/=" \
    -DCMAKE_INSTALL_PREFIX="$deps_dir/$target/libpng" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY=/usr/$target-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/$target-w64-mingw32/include >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
cmake --install "$build" >/dev/null
echo "setup: libpng for $target built into $deps_dir/$target/libpng"
