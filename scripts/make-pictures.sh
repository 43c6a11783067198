#!/usr/bin/env bash
# Draws the two pictures of the main window with ImageMagick (Debian's
# imagemagick and fonts-noto-cjk) into src/app/pictures/:
#   banner.bmp  694 × 77, 24-bit uncompressed, 96 dpi: the program's name
#   small.gif   125 × 140, GIF89a, 16 colours, two frames of 0.15 s, loop count 1000
# (ImageMagick writes one less than -loop into the file, hence 1001.)
# The pictures are committed; run this only to draw them anew.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/src/app/pictures"
bold=/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc
regular=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 694x77 gradient:'#fff8d0-#ffd870' \
  -fill '#006060' -draw 'rectangle 0,0 693,5' -draw 'rectangle 0,71 693,76' \
  -font "$bold" -pointsize 38 -fill '#a00000' -annotate +16+54 'Kestrin' \
  -font "$bold" -pointsize 34 -fill '#004080' -annotate +190+53 '小学数学速算自动出题系统' \
  -font "$regular" -pointsize 16 -fill '#006060' -annotate +612+52 'V2.0' \
  -type TrueColor -density 96 -units PixelsPerInch "BMP3:$out/banner.bmp"

frame() { # background, digits colour, text
  convert -size 125x140 xc:"$1" \
    -fill white -stroke '#004080' -strokewidth 3 -draw 'roundrectangle 8,8 116,131 14,14' \
    -stroke none -font "$bold" -pointsize 30 -fill "$2" -annotate +20+52 "$3" \
    -font "$bold" -pointsize 26 -fill '#a00000' -annotate +22+100 '速算' \
    -font "$regular" -pointsize 13 -fill '#004080' -annotate +30+122 'Kestrin' \
    "$4"
}
frame '#008080' '#004080' '3+5=8' "$tmp/a.png"
frame '#40a0a0' '#c04000' '9-4=5' "$tmp/b.png"
convert -delay 15 -loop 1001 "$tmp/a.png" "$tmp/b.png" +dither -colors 16 "GIF:$out/small.gif"

identify "$out/banner.bmp" "$out/small.gif"
