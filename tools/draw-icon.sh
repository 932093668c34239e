#!/bin/bash
# Draws Keyvane's icon, a game pad in front of which sits a keyboard key,
# into a Windows .ico with seven 32-bit images (16 to 128 pixels).
#
#   tools/draw-icon.sh OUT.ico
#
# The design lives in a 128-unit square and is drawn as vector shapes at
# every size, so the small images stay sharp instead of being shrunk.
set -euo pipefail

out="${1:?usage: $0 OUT.ico}"
sizes=(16 24 32 48 64 96 128)

# Pad body: a rounded slab with two grips, a d-pad on the left and two
# buttons on the right.
pad='
  fill #2f3b52 stroke #1a2130 stroke-width 3
  roundrectangle 6,54 106,104 24,24
  circle 28,102 28,120
  circle 84,102 84,120
  stroke none
  roundrectangle 8,56 104,102 22,22
  circle 28,102 28,118
  circle 84,102 84,118
  fill #dfe6f2
  rectangle 20,74 48,84
  rectangle 29,65 39,93
  fill #ff5a4e circle 80,72 80,79
  fill #3cc46a circle 92,86 92,93
'
# Key cap: a raised square key with an up arrow, overlapping the pad's
# top right corner.
key='
  fill #9aa6b8 stroke #1a2130 stroke-width 3
  roundrectangle 68,6 122,64 10,10
  stroke none fill #f5f7fb
  roundrectangle 74,10 116,50 7,7
  fill #2f3b52
  polygon 95,16 84,32 106,32
  rectangle 91,30 99,44
'

args=()
for n in "${sizes[@]}"; do
    s=$(awk -v n="$n" 'BEGIN { printf "%.6f", n / 128 }')
    args+=( '(' -size "${n}x${n}" xc:none -draw "scale $s,$s $pad $key" ')' )
done

# Direct colour with alpha, so every entry is a 32-bit BGRA bitmap; up to
# 128 pixels the ICO coder writes bitmaps, not PNG.
convert -background none "${args[@]}" -type TrueColorAlpha "$out"
