#!/usr/bin/env bash
# Draws the program's icon for the desktop menu (Debian's librsvg2-bin and
# imagemagick) into packaging/icons/hicolor/:
#   scalable/apps/cn.kestrin.Kestrin.svg   the drawing itself, on a 256 × 256 grid
#   NxN/apps/cn.kestrin.Kestrin.png        rendered from it at the theme's usual sizes
# and the Windows program's packaging/windows/kestrin.ico from those (icoutils).
# A teal tile with the four operators; the bars are 24 units thick and lie on
# 8-unit steps, so they stay whole pixels at 16, 32, 64, 128 and 256.
# The icons are committed; run this only to draw them anew.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/packaging/icons/hicolor"
id=cn.kestrin.Kestrin
mkdir -p "$out/scalable/apps"
svg="$out/scalable/apps/$id.svg"

cat > "$svg" <<'EOF'
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#1a9a9a"/>
      <stop offset="1" stop-color="#006060"/>
    </linearGradient>
  </defs>
  <rect x="16" y="16" width="224" height="224" rx="48" fill="url(#tile)"/>
  <rect x="24" y="24" width="208" height="208" rx="40" fill="none" stroke="#ffffff" stroke-opacity="0.25" stroke-width="4"/>
  <!-- plus -->
  <rect x="40" y="68" width="80" height="24" rx="4" fill="#ffd870"/>
  <rect x="68" y="40" width="24" height="80" rx="4" fill="#ffd870"/>
  <!-- minus -->
  <rect x="136" y="68" width="80" height="24" rx="4" fill="#ffffff"/>
  <!-- times -->
  <g transform="rotate(45 80 176)" fill="#ffffff">
    <rect x="36" y="164" width="88" height="24" rx="4"/>
    <rect x="68" y="132" width="24" height="88" rx="4"/>
  </g>
  <!-- divided by -->
  <g fill="#ffffff">
    <rect x="136" y="164" width="80" height="24" rx="4"/>
    <circle cx="176" cy="146" r="12"/>
    <circle cx="176" cy="206" r="12"/>
  </g>
</svg>
EOF

for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$out/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$out/${size}x${size}/apps/$id.png"
done
identify "$out"/*/apps/"$id".png

# The Windows program's icon (icoutils): the same drawings, 256 px stored as PNG.
ico="$out/../../windows/kestrin.ico"
icotool -c -o "$ico" "$out"/{16x16,24x24,32x32,48x48,64x64,128x128}/apps/"$id".png \
  -r "$out/256x256/apps/$id.png"
