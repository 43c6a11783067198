#!/usr/bin/env bash
# The real kestrin.exe under Wine, as a teacher would use it: started in a
# screen-sized Wine desktop on a virtual X screen, the seven-term window opened
# with Ctrl+F7 and started with Alt+C on its defaults. The worksheet file it
# writes into its folder must be byte for byte the Linux build's.
#   wine-smoke.sh KESTRIN_EXE LINUX_FIRST_SHEETS
set -euo pipefail
exe="$1"
linux_tool="$2"
here="$(cd "$(dirname "$0")" && pwd)"
name="学前段七笔加减速算.xls"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$linux_tool" "$work/linux" > "$work/linux.log" 2>&1 \
  || { cat "$work/linux.log"; echo "wine-smoke: the Linux build's first_sheets failed"; exit 1; }
mkdir -p "$work/teacher"
cp "$exe" "$work/teacher/kestrin.exe"

if [ -z "${KESTRIN_SMOKE_IN_X:-}" ]; then
  exec env KESTRIN_SMOKE_IN_X=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
# From here on inside the virtual X screen.

export WINEPREFIX="${KESTRIN_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin/wine}"
# The program runs on Windows' own platform with Windows' fonts, not the test setup's.
unset QT_QPA_PLATFORM QT_QPA_FONTDIR
"$here/wine-run.sh" cmd /c exit 0   # makes the prefix on first use
started=$(date +%s.%N)
(cd "$work/teacher" && exec "$here/wine-run.sh" explorer /desktop=kestrin,1280x1024 kestrin.exe) &
wine_job=$!
stop() {
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  wait "$wine_job" 2>/dev/null || true
}
trap 'stop; rm -rf "$work"' EXIT

desktop=""
for _ in $(seq 1 120); do
  desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1 || true)
  [ -n "$desktop" ] && break
  sleep 0.5
done
[ -n "$desktop" ] || { echo "wine-smoke: the Wine desktop did not come up"; exit 1; }

# Ctrl+F7 opens the seven-term window once the main window is up; Alt+C there
# starts one run. Another run is asked for only while no file has come.
written=""
for _ in $(seq 1 60); do
  xdotool windowfocus --sync "$desktop" 2>/dev/null || true
  xdotool key --window "$desktop" ctrl+F7
  sleep 1
  xdotool key --window "$desktop" alt+c
  for _ in $(seq 1 20); do
    [ -f "$work/teacher/$name" ] && { written=yes; break; }
    sleep 0.25
  done
  [ -n "$written" ] && break
done
elapsed=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
[ -n "$written" ] || { echo "wine-smoke: kestrin.exe wrote no $name"; exit 1; }
sleep 1   # no second run may follow

if ! cmp "$work/linux/$name" "$work/teacher/$name"; then
  echo "wine-smoke: $name from kestrin.exe differs from the Linux build's"
  exit 1
fi
extra=$(cd "$work/teacher" && ls -A | grep -v -x -e kestrin.exe -e "$name" || true)
[ -z "$extra" ] || { echo "wine-smoke: unexpected files beside the exe: $extra"; exit 1; }
printf 'wine-smoke: %s (%s bytes) byte-identical to the Linux build'"'"'s, written %s s after the start\n' \
  "$name" "$(stat -c %s "$work/teacher/$name")" "$elapsed"
