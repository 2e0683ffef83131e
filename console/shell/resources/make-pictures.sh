#!/usr/bin/env bash
# Draws the console's splash (475 x 300 JPEG) and About pictures with
# ImageMagick. The results are committed; run this again after a change here.
set -euo pipefail
cd "$(dirname "$0")"
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
light=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
hei=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

# A wall of display screens split into play windows, as a template splits
# a screen, on a night-blue ground.
convert -size 475x300 gradient:'#0b1e3f'-'#1d4f8a' \
  -fill '#0a1426' -draw 'roundrectangle 250,46 452,176 6,6' \
  -fill '#e8a33d' -draw 'rectangle 258,54 344,112' \
  -fill '#3fa7d6' -draw 'rectangle 348,54 444,112' \
  -fill '#59c36a' -draw 'rectangle 258,116 444,150' \
  -fill '#d65a5a' -draw 'rectangle 258,154 444,168' \
  -fill '#0a1426' -draw 'rectangle 344,176 358,196' \
  -fill '#0a1426' -draw 'roundrectangle 314,194 388,202 3,3' \
  -fill white -draw 'circle 301,83 301,97' -fill '#e8a33d' -draw 'polygon 297,75 297,91 309,83' \
  -fill '#ffffff' -draw 'rectangle 356,66 436,70' -draw 'rectangle 356,78 420,82' -draw 'rectangle 356,90 430,94' \
  -fill '#ffffff' -font "$sans" -pointsize 11 -annotate +266+137 'NEWS  10:24  公告' \
  -fill white -font "$sans" -pointsize 46 -annotate +26+110 'Quorvel' \
  -fill '#9cc7f0' -font "$hei" -pointsize 20 -annotate +28+146 '数字标牌控制台' \
  -fill '#9cc7f0' -font "$light" -pointsize 12 -annotate +29+172 'Digital signage console' \
  -fill '#ffffff30' -draw 'rectangle 0,232 475,233' \
  -fill white -font "$sans" -pointsize 14 -annotate +28+266 '[Lumacast]' \
  -fill '#9cc7f0' -font "$hei" -pointsize 13 -annotate +28+286 '版本: 2.0' \
  -fill '#9cc7f0' -font "$hei" -pointsize 12 -gravity southeast -annotate +20+16 '正在启动...' \
  -quality 90 splash.jpg

# The About picture: one screen split into four play windows.
convert -size 96x96 xc:none \
  -fill '#1d4f8a' -draw 'roundrectangle 2,6 93,74 8,8' \
  -fill '#e8a33d' -draw 'rectangle 9,13 47,43' \
  -fill '#3fa7d6' -draw 'rectangle 51,13 86,43' \
  -fill '#59c36a' -draw 'rectangle 9,47 86,59' \
  -fill '#d65a5a' -draw 'rectangle 9,62 86,67' \
  -fill '#1d4f8a' -draw 'rectangle 41,74 55,84' -draw 'roundrectangle 26,83 70,90 3,3' \
  -fill white -draw 'polygon 22,20 22,36 35,28' \
  about.png
