#!/bin/bash
# What a player downloads: dist/Keyvane.exe, the 32-bit program, and
# dist/Keyvane-<version>.zip with it, the licence and docs/README.txt (the
# player's read, given Windows line ends here for every Notepad); then
# dist/SHA256SUMS of the two, whose lines it prints.
#
#   tools/dist.sh BUILD      (after Keyvane is built in BUILD/i686)
#
# Only the commit decides the zip's bytes, so that anyone can rebuild it
# and compare (tools/reproduce.sh): its entries come in a fixed order, with
# fixed permissions and the last commit's time, and without the extra
# fields (owner, the file system's own times) that zip adds by default.
set -euo pipefail

build="$1"
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^KEYVANE_VERSION:[A-Z]*=//p' "$build/i686/CMakeCache.txt")"
test -n "$version" || { echo "dist: no KEYVANE_VERSION in $build/i686" >&2; exit 1; }
# Outside a git clone, SOURCE_DATE_EPOCH or the first time a zip can hold.
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}"

dist="$root/dist"
zip="Keyvane-$version.zip"
mkdir -p "$dist"
cp "$build/i686/bin/Keyvane.exe" "$dist/Keyvane.exe"

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
cp "$dist/Keyvane.exe" "$root/docs/README.txt" "$root/LICENSE" "$staging/"
chmod 644 "$staging"/*
# A zip keeps local times: in UTC they are the same in every time zone.
export TZ=UTC0
touch -d "@$epoch" "$staging"/*
rm -f "$dist/$zip"
(cd "$staging" && zip -q -X "$dist/$zip" Keyvane.exe && zip -q -X -l "$dist/$zip" README.txt LICENSE)

(cd "$dist" && sha256sum Keyvane.exe "$zip" >SHA256SUMS)
echo "dist: dist/Keyvane.exe dist/$zip, their SHA-256 sums in dist/SHA256SUMS:"
sed 's/^/    /' "$dist/SHA256SUMS"
