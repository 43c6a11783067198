#!/usr/bin/env bash
# Times two Windows builds of kestrin.exe against each other as a teacher uses
# them, in one warm Wine: a 64-bit Windows 10 prefix of its own (a 32-bit exe
# runs there through WoW64), one wineserver kept for the whole run, each exe in
# its own folder in the screen-sized Wine desktop, driven by keys.
#   start-up  from starting the exe until 重庆市Kestrin2.0 is shown and active
#             (window-probe.exe, started as soon as the Wine desktop is up);
#   multiply  中段乘算 (Ctrl+D), 6 × 5 digits, 50 per row × 200 rows × 40 pages:
#             400,000 questions into 中段6位乘5位速算.xls;
#   divide    综合除算 (F3), four groups of 50 at 5 ÷ 4 digits × 100 sets:
#             20,000 questions into 综合除算1.xls … 综合除算100.xls;
# both to the file only (the printer unticked, no answers), timed from Alt+C
# until the run's last file is there: the program writes each file under
# another name and gives it its own name only once it is complete on disk, the
# step before it shows the completion text. Polled every 50 ms.
# One warm-up round, then ROUNDS rounds (KESTRIN_BENCH_ROUNDS, default 5), the
# order old/new turned round every round; prints the median and the range of
# each step. Every run's files must be the size it asked for, and the same,
# byte for byte, for both exes and in every round (the random source starts
# from the same state at every start of the program).
#   bench/windows-exe.sh OLD_EXE NEW_EXE
# KESTRIN_WINDOW_PROBE: window-probe.exe (default: build-windows' test build).
# A 32-bit exe or probe needs Wine's 32-bit loader, a 32-bit Linux program: on a
# machine whose kernel runs no 32-bit programs the run stops at once.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
[ $# -eq 2 ] || { echo "usage: bench/windows-exe.sh OLD_EXE NEW_EXE" >&2; exit 2; }
export KESTRIN_WINDOW_PROBE="${KESTRIN_WINDOW_PROBE:-$root/build-windows/src/app/tests/window_probe.exe}"
for program in "$1" "$2" "$KESTRIN_WINDOW_PROBE"; do
  [ -f "$program" ] || { echo "bench/windows-exe: no $program" >&2; exit 1; }
  if file -b "$program" | grep -q '^PE32 ' && ! why=$(/usr/lib/wine/wine --version 2>&1); then
    echo "bench/windows-exe: $program is a 32-bit program, and Wine's 32-bit loader cannot run here: $why" >&2
    exit 1
  fi
done

# shellcheck source=../packaging/windows/wine/desktop.sh
source "$root/packaging/windows/wine/desktop.sh"
# As wine_desktop_in_xvfb, with room for all the rounds instead of one smoke run.
if [ -z "${KESTRIN_IN_XVFB:-}" ]; then
  exec env KESTRIN_IN_XVFB=1 timeout --kill-after=10 3600 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
wine_desktop_in_xvfb "$0" "$@"

# shellcheck source=../scripts/lib.sh
source "$root/scripts/lib.sh"
export KESTRIN_WINE_ARCH=win64
export KESTRIN_WINEPREFIX="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}/wine-zh_CN-bench"
# shellcheck source=../packaging/windows/wine/env.sh
source "$root/packaging/windows/wine/env.sh"
rounds="${KESTRIN_BENCH_ROUNDS:-5}"
unset QT_QPA_PLATFORM QT_QPA_FONTDIR

work=$(mktemp -d)
at_exit rm -rf "$work"
for which in old new; do
  [ "$which" = old ] && exe=$1 || exe=$2
  mkdir -p "$work/$which"
  cp "$exe" "$work/$which/kestrin.exe"
done
cp "$KESTRIN_WINDOW_PROBE" "$work/window-probe.exe"
KESTRIN_WINDOW_PROBE="$work/window-probe.exe"
kestrin_wineserver_keep || fail "no wineserver for $WINEPREFIX"
at_exit kestrin_wineserver_end

mul_file="中段6位乘5位速算.xls"
last_div_file="综合除算100.xls"

# Waits up to 600 s for FILE; says when it came.
wait_file() {
  local _
  for _ in $(seq 1 12000); do
    [ -f "$1" ] && { printf '%s' "$EPOCHREALTIME"; return 0; }
    sleep 0.05
  done
  return 1
}
# In the focused box: Shift+Tab, then its whole text replaced by the digits of VALUE.
set_here() {
  local keys=(ctrl+a) i
  for ((i = 0; i < ${#1}; i++)); do keys+=("${1:i:1}"); done
  wine_desktop_keys "${keys[@]}"
}
set_previous() { wine_desktop_keys shift+Tab; set_here "$1"; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# One round of one exe: its three times into $work/times.tsv, its files kept in
# $work/out-WHICH-ROUND.
run_exe() {
  local which="$1" round="$2" folder="$work/$1" t0 t1 t2 t3 t4 t5
  find "$folder" -mindepth 1 ! -name kestrin.exe -delete
  t0=$EPOCHREALTIME
  wine_desktop_start "$folder" kestrin.exe || fail "$which: no Wine desktop"
  wine_desktop_wait_window "$wine_desktop_main_title" 90 || fail "$which: no main window"
  t1=$EPOCHREALTIME

  wine_desktop_keys ctrl+d
  wine_desktop_wait_window "Kestrin-中段乘算" 30 || fail "$which: no 中段乘算 window"
  # The focus starts in 第一因数位数; the tab order runs on to 第二因数位数 and
  # comes round backwards to 每次页数, 每页行数, 每行题数.
  set_here 6
  wine_desktop_keys Tab
  set_here 5
  wine_desktop_keys shift+Tab
  set_previous 40
  set_previous 200
  set_previous 50
  t2=$EPOCHREALTIME
  xdotool key --window "$wine_desktop_window" alt+c
  t3=$(wait_file "$folder/$mul_file") || fail "$which: no $mul_file"

  wine_desktop_keys alt+x
  wine_desktop_wait_window "$wine_desktop_main_title" 30 || fail "$which: no main window after 返回"
  wine_desktop_keys F3
  wine_desktop_wait_window "Kestrin-综合除算" 30 || fail "$which: no 综合除算 window"
  # The focus starts in group 1's dividend digits; backwards from there come
  # 共生成几套, then group 4's questions, divisor and dividend digits, group 3's, …
  set_here 5
  wine_desktop_keys Tab
  set_here 4
  wine_desktop_keys shift+Tab
  set_previous 100
  local _
  for _ in 4 3 2; do
    set_previous 50
    set_previous 4
    set_previous 5
  done
  set_previous 50
  t4=$EPOCHREALTIME
  xdotool key --window "$wine_desktop_window" alt+c
  t5=$(wait_file "$folder/$last_div_file") || fail "$which: no $last_div_file"
  wine_desktop_quit || fail "$which: Ctrl+Q did not end kestrin.exe"
  # The Wine desktop closes once its last program has ended.
  for _ in $(seq 1 40); do
    kill -0 "$wine_desktop_job" 2>/dev/null || break
    sleep 0.25
  done
  kill -0 "$wine_desktop_job" 2>/dev/null && log "round $round $which: the Wine desktop stays after Ctrl+Q"

  mkdir "$work/out-$which-$round"
  find "$folder" -mindepth 1 -maxdepth 1 -name '*.xls' -exec mv -t "$work/out-$which-$round" {} +
  printf '%s\t%s\t%s\t%s\t%s\n' "$which" "$round" \
    "$(seconds "$t0" "$t1")" "$(seconds "$t2" "$t3")" "$(seconds "$t4" "$t5")" >> "$work/times.tsv"
  log "round $round $which: start-up $(seconds "$t0" "$t1") s, 乘算 $(seconds "$t2" "$t3") s, 除算 $(seconds "$t4" "$t5") s"
}

# What a run must have made: the 乘算 file of 2 + 200 × 40 records of 4 + 50 ×
# 36 characters, 100 除算 files of 2 + 200 / 5 records.
check_files() {
  local out="$1" n
  [ "$(wc -l < "$out/$mul_file")" -eq 8002 ] || fail "$out/$mul_file has not 8002 records"
  [ "$(sed -n 3p "$out/$mul_file" | iconv -f GBK -t UTF-8 | tr -d '"\r' | LC_ALL=C.UTF-8 wc -m)" -eq $((4 + 50 * 36 + 1)) ] \
    || fail "$out/$mul_file: its rows are not 50 questions of 6 × 5 digits"
  [ "$(find "$out" -name '综合除算*.xls' | wc -l)" -eq 100 ] || fail "$out: not 100 除算 files"
  for n in 1 100; do
    [ "$(wc -l < "$out/综合除算$n.xls")" -eq 42 ] || fail "$out/综合除算$n.xls has not 42 records"
  done
  grep -q '[0-9]\{5\}÷[0-9]\{4\}=' <(iconv -f GBK -t UTF-8 "$out/综合除算1.xls") \
    || fail "$out/综合除算1.xls: no 5 ÷ 4 digit questions"
}

log "old $1, new $2; prefix $WINEPREFIX; load: $(cut -d' ' -f1-3 /proc/loadavg)"
run_exe old 0
run_exe new 0
for round in $(seq 1 "$rounds"); do
  if [ $((round % 2)) -eq 1 ]; then order="old new"; else order="new old"; fi
  for which in $order; do run_exe "$which" "$round"; done
done

identical=yes
for out in "$work"/out-*; do
  check_files "$out"
  diff -rq "$work/out-old-0" "$out" > /dev/null || { identical=no; log "$(basename "$out")'s files differ from out-old-0's"; }
done

median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
range() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.2f–%.2f", lo, hi }'; }
log "load at the end: $(cut -d' ' -f1-3 /proc/loadavg); files of both exes byte-identical in every round: $identical"
times() { awk -F'\t' -v w="$1" -v c="$column" '$1 == w && $2 > 0 { print $c }' "$work/times.tsv"; }
printf '%-10s %22s %22s %8s\n' step "old median (range) s" "new median (range) s" new/old
column=3
within=yes
for step in start-up multiply divide; do
  old_median=$(times old | median)
  new_median=$(times new | median)
  ratio=$(awk -v o="$old_median" -v n="$new_median" 'BEGIN { printf "%.2f", n / o }')
  printf '%-10s %22s %22s %8s\n' "$step" "$old_median ($(times old | range))" "$new_median ($(times new | range))" "$ratio"
  awk -v r="$ratio" 'BEGIN { exit !(r <= 1.25) }' || within=no
  column=$((column + 1))
done
log "$rounds rounds after a warm-up; the new exe within 25% of the old on every step: $within"
