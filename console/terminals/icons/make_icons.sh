#!/usr/bin/env bash
# Draws the two row icons of the terminal list (16x16 PNG): a display with a
# lit green screen for a terminal that answers, a dark screen crossed in red
# for one that does not. Run again after changing a picture.
set -euo pipefail
cd "$(dirname "$0")"

draw() { # output screen-colour [extra drawing arguments...]
  local output=$1 screen=$2
  shift 2
  convert -size 16x16 xc:none \
    -fill '#3c3c3c' -stroke none -draw 'roundrectangle 0,1 15,12 2,2' \
    -fill "$screen" -draw 'rectangle 2,3 13,10' \
    -fill '#5a5a5a' -draw 'rectangle 6,12 9,13' \
    -fill '#3c3c3c' -draw 'rectangle 3,14 12,15' \
    "$@" \
    -define png:exclude-chunks=date,time -strip "PNG32:$output"
}

draw online.png '#38c038' -fill '#d8ffd8' -draw 'rectangle 3,4 6,5'
draw offline.png '#707070' -stroke '#e02020' -strokewidth 1.6 \
  -draw 'line 3,3 12,10' -draw 'line 12,3 3,10'
