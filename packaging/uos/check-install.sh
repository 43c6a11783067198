#!/usr/bin/env bash
# The part of packaging/uos/check.sh that needs root (chroot, mount, apt-get):
#   check-install.sh PACKAGE.deb ROOT SHEET PDF_FOLDER SCREENSHOT FIRST_SHEETS NATIVE_SHEETS
# Into a fresh copy of the bare root ROOT (root.sh: bullseye-amd64, bullseye-arm64
# or trixie-amd64; no Qt in it), apt-get installs the package as a teacher does
# (with its recommended CJK fonts). The program, started by its menu entry as the
# calling user (SUDO_USER, or root) in the home folder, on the xcb platform of a
# virtual X screen under openbox, shows its main window (saved as the PNG SCREENSHOT); Ctrl+F7,
# the printer ticked, Alt+C: the seven-term file in the home folder must be SHEET
# byte for byte, and the job on the default printer (this machine's CUPS through
# /run/cups, LPDEST=KestrinPDF, a cups-pdf queue that writes into PDF_FOLDER) must
# come out as five pages, and the PDF CUPS took for it (its spool file) must hold
# the sheet's Chinese title, header and footer on each; Alt+X and Ctrl+Q end it,
# and apt-get remove leaves none of the package's files. Before that, the same
# build's FIRST_SHEETS program writes every kind's first files there, which must
# be those in the folder NATIVE_SHEETS byte for byte.
#
# Why the spool file: the cups-pdf queue turns the job into PostScript and back,
# and on the way every font becomes a Type 3 font whose glyphs no longer carry
# their characters (for any font, as the native printing tests explain), so the
# printed PDF gives pdftotext made-up characters. The job as submitted is the
# program's own painting.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
# shellcheck source=../../scripts/root-check.sh
source "$here/scripts/root-check.sh"
if [ $# -ne 7 ] || [ ! -f "$1" ]; then
  echo "usage: check-install.sh PACKAGE.deb ROOT SHEET PDF_FOLDER SCREENSHOT FIRST_SHEETS NATIVE_SHEETS" >&2
  exit 2
fi
[ "$(id -u)" -eq 0 ] || fail "needs root (packaging/uos/check.sh runs it through sudo)"
deb="$(realpath "$1")"
root_name="$2"
sheet="$(realpath "$3")"
pdf_folder="$4"
screenshot="$5"
first_sheets="$(realpath "$6")"
native_sheets="$(realpath "$7")"
appid=cn.kestrin.kestrin
cache="${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}"
bare=$("$here/packaging/uos/root.sh" path "$root_name" | tail -n 1)

check_folder uos
root="$work/root"
pid=''
xvfb=''
wm=''
mounted=()
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"; done
  rm -rf --one-file-system "$work"
}
at_exit cleanup
bind() { mkdir -p "$root$2"; mount --bind "$1" "$root$2"; mounted+=("$root$2"); }

cp -a "$bare" "$root"
case "$root_name" in
  *arm64)
    # arm64 programs run through qemu-user-static (binfmt_misc is not mounted at first here).
    mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    update-binfmts --enable qemu-aarch64 2>/dev/null || true
    ;;
esac
mount -t proc proc "$root/proc"
mounted+=("$root/proc")
log "$root_name: apt-get install ./$(basename "$deb")"
install_in_root "$deb" "$cache/archives-uos-$root_name"
# shellcheck disable=SC2016 # dpkg-query's own field name
qt=$(in_root dpkg-query -W -f='${Package}\n' | grep -E '^libqt|^qt' || true)
[ -z "$qt" ] || flaw "$root_name: Qt packages were installed with it: $qt"

# The user: the caller, so that CUPS's job lands in the caller's PDF folder.
user="${SUDO_USER:-root}"
uid=$(id -u "$user")
if [ "$uid" -eq 0 ]; then
  home=/root
else
  home="/home/$user"
  in_root useradd --uid "$uid" --create-home --shell /bin/sh "$user"
fi
gid=$(chroot "$root" id -g "$user")

# The virtual X screen, on this machine; its socket is bound into the root.
display=
for n in $(seq 70 99); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done
[ -n "$display" ] || fail "no free X display number"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.2; done
export DISPLAY="$display"
# A window manager, as every desktop has: the main window opens maximized through it.
openbox --sm-disable > "$work/wm.log" 2>&1 &
wm=$!
for _ in $(seq 1 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
bind /tmp/.X11-unix /tmp/.X11-unix
bind /run/cups /run/cups

entry="$root/opt/apps/$appid/entries/applications/$appid.desktop"
link="$root/usr/share/applications/$appid.desktop"
if [ ! -L "$link" ] || [ "$(readlink "$link")" != "${entry#"$root"}" ] || [ ! -f "$entry" ]; then flaw "$root_name: /usr/share/applications/$appid.desktop is no link to the package's entry"; fi
command=$(sed -n 's/^Exec=//p' "$entry" | sed -E 's/ ?%[fFuUdDnNickvm]//g')
sheet_name=$(basename "$sheet")
# The newest finished job of the test queue (CUPS keeps its files a day).
last_job() {
  LC_ALL=C lpstat -W completed -o KestrinPDF 2>/dev/null | sed -n 's/^KestrinPDF-\([0-9]*\) .*/\1/p' | sort -n | tail -n 1
}
job_before=$(last_job)
# Noto CJK draws an ideograph and its radical (小 and ⼩, 页 and ⻚) with one
# glyph, which Qt's PDF names by the lower code point, the radical's: read as
# the ideograph (the Kangxi radicals by their compatibility mapping).
radicals_as_ideographs() {
  python3 -c 'import sys, unicodedata
for c in sys.stdin.read():
    if "\u2f00" <= c <= "\u2fdf": c = unicodedata.normalize("NFKC", c)
    sys.stdout.write({"\u2eda": "\u9875"}.get(c, c))'
}
before=$(date +%s)
started=$(date +%s.%N)
chroot --userspec="$uid:$gid" "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" USER="$user" \
  LOGNAME="$user" LANG=C.UTF-8 DISPLAY="$display" QT_QPA_PLATFORM=xcb LPDEST=KestrinPDF \
  sh -c "cd \"\$HOME\" && exec $command" > "$work/program.log" 2>&1 &
pid=$!

# The window titled $1: Qt names its windows in _NET_WM_NAME only, which
# xdotool's search does not read; xwininfo lists it.
window() { xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }'; }
# Waits up to $2 s for the window titled $1, then gives it the keyboard.
wait_window() {
  local w _
  for _ in $(seq 1 $(($2 * 10))); do
    kill -0 "$pid" 2>/dev/null || return 1
    w=$(window "$1")
    if [ -n "$w" ]; then
      xdotool windowfocus --sync "$w" 2>/dev/null || true
      return 0
    fi
    sleep 0.1
  done
  return 1
}
keys() { local k; for k in "$@"; do xdotool key "$k"; sleep 0.3; done; }

if ! wait_window "重庆市Kestrin2.0" 60; then
  cat "$work/program.log"
  fail "$root_name: the program's main window did not come up"
fi
up=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
sleep 1
import -display "$display" -window root "$screenshot"
log "$root_name: the main window was up ${up} s after the start; screenshot $screenshot"
keys ctrl+F7
wait_window "Kestrin2.0 --低段加减" 30 || fail "$root_name: Ctrl+F7 opened no seven-term window"
# The focus starts on the start button; Tab goes round the settings to the
# printer box, which Space ticks.
keys Tab Tab Tab Tab Tab Tab space alt+c
made="$root$home/$sheet_name"
for _ in $(seq 1 200); do [ -f "$made" ] && break; sleep 0.2; done
if [ ! -f "$made" ]; then
  flaw "$root_name: no $sheet_name in $home"
elif ! cmp -s "$sheet" "$made"; then
  flaw "$root_name: $sheet_name differs from the native build's"
fi

pdf=""
for _ in $(seq 1 300); do
  if [ -z "$(LC_ALL=C lpstat -o KestrinPDF 2>/dev/null)" ]; then
    pdf=$(find "$pdf_folder" -maxdepth 1 -name '*.pdf' -newermt "@$before" -printf '%T@ %p\n' 2>/dev/null \
            | sort -n | tail -n 1 | cut -d' ' -f2- || true)
    [ -n "$pdf" ] && break
  fi
  sleep 0.2
done
if [ -z "$pdf" ]; then
  flaw "$root_name: no printed job came to $pdf_folder"
else
  title=$(head -n 1 "$sheet" | iconv -f GBK -t UTF-8 | tr -d '"\r')
  pages=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
  [ "$pages" = 5 ] || flaw "$root_name: the printed job has $pages pages, not 5"
  job=$(last_job)
  spool=/var/spool/cups/$(printf 'd%05d-001' "${job:-0}")
  if [ -z "$job" ] || [ "$job" -le "${job_before:-0}" ] || [ ! -f "$spool" ]; then
    flaw "$root_name: CUPS kept no file of the job (job ${job:-none}, the last before it ${job_before:-none})"
  else
    [ "$(pdfinfo "$spool" 2>/dev/null | sed -n 's/^Pages: *//p')" = 5 ] || flaw "$root_name: the job CUPS took has not 5 pages"
    for k in 1 2 3 4 5; do
      text=$(pdftotext -f "$k" -l "$k" -layout "$spool" - 2>/dev/null | radicals_as_ideographs)
      lacks=()
      for wanted in "$title" "学校：" "姓名：" "成绩：" "第${k}页"; do
        grep -qF -- "$wanted" <<<"$text" || lacks+=("$wanted")
      done
      [ ${#lacks[@]} -eq 0 ] || flaw "$root_name: the text of page $k of the job lacks: ${lacks[*]}"
    done
  fi
  rm -f "$pdf"
fi

keys alt+x
wait_window "重庆市Kestrin2.0" 30 || flaw "$root_name: Alt+X did not go back to the main window"
keys ctrl+q
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then flaw "$root_name: Ctrl+Q did not end the program"; fi
wait "$pid" 2>/dev/null || true
pid=

# Every kind's first files, from the same build with the installed libraries.
cp "$first_sheets" "$root/tmp/first_sheets"
chmod 755 "$root/tmp/first_sheets"
chroot --userspec="$uid:$gid" "$root" env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 DISPLAY="$display" \
  QT_QPA_PLATFORM=xcb /tmp/first_sheets /tmp/first-sheets > "$work/first_sheets.log" 2>&1 \
  || { cat "$work/first_sheets.log"; flaw "$root_name: first_sheets failed"; }
if ! diff -r "$native_sheets" "$root/tmp/first-sheets" > "$work/sheets.diff" 2>&1; then
  sed -e "s|$root||" "$work/sheets.diff" | head -n 20
  flaw "$root_name: the first files of the kinds differ from the native build's"
fi
kinds=$(find "$root/tmp/first-sheets" -type f | wc -l)

remove_leaves_nothing "$appid"
[ ! -e "$root/opt/apps/$appid" ] || flaw "$root_name: /opt/apps/$appid is still there"
end_checks
log "$root_name: installed, window up in ${up} s, $sheet_name and the $kinds first files of every kind byte for byte the native build's," \
  "a 5-page job with its Chinese text, Ctrl+Q, and removed without a trace"
