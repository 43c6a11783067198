#!/usr/bin/env bash
# The real kestrin.exe of the zip under Wine set up as a Chinese Windows, as a
# teacher uses it: started in its own folder in a screen-sized Wine desktop on
# a virtual X screen, the seven-term window opened with Ctrl+F7, the printer
# ticked as well as the file, and started with Alt+C on its defaults; then
# Ctrl+Q. The worksheet file it writes into its folder must be byte for byte the
# Linux build's; the job on the default printer (the Wine prefix's: the tests'
# cups-pdf queue KestrinPDF, which keeps what it receives as a PDF in ~/PDF,
# while this machine's default printer is left alone) must be the five pages of that run, each
# with the title, the 学校/姓名/成绩 line and its footer 第k页; and Ctrl+Q must
# end the program.
#   smoke.sh KESTRIN_EXE LINUX_FIRST_SHEETS
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"
exe="$(realpath "$1")"
linux_tool="$(realpath "$2")"

# shellcheck source=desktop.sh
source "$here/desktop.sh"
wine_desktop_in_xvfb "$0" "$@"

# shellcheck source=../../../scripts/lib.sh
source "$here/../../../scripts/lib.sh"
# A prefix of its own: ending the program ends everything under Wine in its
# prefix, and the test programs' shared prefix keeps its wineserver meanwhile.
export KESTRIN_WINEPREFIX="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}/wine-zh_CN-desktop-${KESTRIN_WINE_ARCH:-win32}"
# shellcheck source=env.sh
source "$here/env.sh"
name="学前段七笔加减速算.xls"

work=$(mktemp -d)
at_exit rm -rf "$work"
at_exit wine_desktop_stop
QT_QPA_PLATFORM=offscreen "$linux_tool" "$work/linux" > "$work/linux.log" 2>&1 \
  || { cat "$work/linux.log"; fail "the Linux build's first_sheets failed"; }
mkdir -p "$work/teacher"
cp "$exe" "$work/teacher/kestrin.exe"

# The prefix's default printer is the tests' own queue (env.sh), whatever this machine's is.
queue=$kestrin_wine_printer
LC_ALL=C lpstat -v "$queue" 2>/dev/null | grep -q 'cups-pdf:' \
  || { echo "wine-smoke: the tests' printer '$queue' is not a cups-pdf queue (scripts/setup-printer.sh)" >&2; exit 1; }
pdf_folder="$HOME/PDF"
before=$(date +%s)

# The program runs on Windows' own platform with the fonts Wine has, not the test setup's.
unset QT_QPA_PLATFORM QT_QPA_FONTDIR
started=$(date +%s.%N)
wine_desktop_start "$work/teacher" kestrin.exe
# In the seven-term window the focus starts on its start button; Tab goes round
# its settings to the printer box, which Space ticks.
wine_desktop_make_sheet "$work/teacher/$name" Tab Tab Tab Tab Tab Tab space || flaw "kestrin.exe wrote no $name"
elapsed=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')

# The print job: the program paints it after writing the file (under Wine's
# PostScript driver that takes a while), then cups-pdf makes its PDF.
pdf=""
for _ in $(seq 1 240); do
  if [ -z "$(LC_ALL=C lpstat -o "$queue" 2>/dev/null)" ]; then
    pdf=$(find "$pdf_folder" -maxdepth 1 -name '*.pdf' -newermt "@$before" -printf '%T@ %p\n' 2>/dev/null \
            | sort -n | tail -n 1 | cut -d' ' -f2- || true)
    [ -n "$pdf" ] && break
  fi
  sleep 0.5
done
wine_desktop_quit || flaw "Ctrl+Q did not end kestrin.exe"
wine_desktop_stop

if [ -f "$work/teacher/$name" ]; then
  cmp -s "$work/linux/$name" "$work/teacher/$name" || flaw "$name from kestrin.exe differs from the Linux build's"
fi
others=$(find "$work/teacher" -mindepth 1 -maxdepth 1 ! -name kestrin.exe ! -name "$name" -printf '%f ')
[ -z "$others" ] || flaw "unexpected files beside the exe: $others"

if [ -z "$pdf" ]; then
  flaw "no printed job from kestrin.exe came to $pdf_folder"
else
  title=$(head -n 1 "$work/linux/$name" | iconv -f GBK -t UTF-8 | tr -d '"\r')
  pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
  [ "$pages" = 5 ] || flaw "the printed job has $pages pages, not 5"
  for k in $(seq 1 "${pages:-0}"); do
    text=$(pdftotext -f "$k" -l "$k" -layout "$pdf" -)
    for wanted in "$title" "学校：" "姓名：" "成绩：" "第${k}页"; do
      grep -qF -- "$wanted" <<<"$text" || flaw "page $k of the printed job lacks '$wanted'"
    done
  done
  [ "$kestrin_flaws" -gt 0 ] || rm -f "$pdf"
fi

end_checks
printf 'wine-smoke: %s (%s bytes) byte-identical to the Linux build'"'"'s, written %s s after the start;' \
  "$name" "$(stat -c %s "$work/teacher/$name")" "$elapsed"
printf ' the printed job: %s pages with their titles, headers and footers; Ctrl+Q ended kestrin.exe\n' "$pages"
