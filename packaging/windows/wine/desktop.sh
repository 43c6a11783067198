# shellcheck shell=bash
# Sourced, after env.sh, by the scripts that use the real kestrin.exe as a
# teacher does: in a screen-sized Wine desktop on the virtual X screen they run
# in (xvfb-run), driven by keys sent with xdotool.
#   wine_desktop_in_xvfb "$0" "$@"              the calling script again, in the X screen
#   wine_desktop_start FOLDER PROGRAM [ARG...]  starts PROGRAM in the desktop, in FOLDER
#   wine_desktop_keys KEY...                     sends keys to the desktop's focused window
#   wine_desktop_make_sheet FILE [KEY...]        Ctrl+F7 once the main window is up, then
#                                                KEYs in the seven-term window, then Alt+C;
#                                                fails unless FILE comes
#   wine_desktop_quit                            Alt+X back to the main window, Ctrl+Q;
#                                                fails unless kestrin.exe then ends
# (xdotool sends the keys; window-probe.exe, built with the tests and named by
# $KESTRIN_WINDOW_PROBE, finds the program's windows by their titles.)
#   wine_desktop_stop                            ends everything running under Wine (and
#                                                keeps the test run's wineserver again)

# shellcheck disable=SC2154 # kestrin_wine comes from env.sh
wine_desktop_window=""
wine_desktop_name=kestrin

# Runs the calling script (its path and arguments given) again inside a virtual
# X screen the size of the desktop, first of all, with a time limit inside CTest's.
wine_desktop_in_xvfb() {
  [ -z "${KESTRIN_IN_XVFB:-}" ] || return 0
  exec env KESTRIN_IN_XVFB=1 timeout --kill-after=10 280 xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}
wine_desktop_job=""

wine_desktop_start() {
  local folder="$1"
  shift
  kestrin_wine_prefix || return 1
  (cd "$folder" && exec "${kestrin_wine[@]}" explorer "/desktop=$wine_desktop_name,1280x1024" "$@") > /dev/null 2>&1 &
  wine_desktop_job=$!
  local _
  for _ in $(seq 1 120); do
    wine_desktop_window=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1 || true)
    [ -n "$wine_desktop_window" ] && return 0
    sleep 0.5
  done
  echo "wine-desktop: the Wine desktop did not come up" >&2
  return 1
}

wine_desktop_keys() {
  xdotool windowfocus --sync "$wine_desktop_window" 2>/dev/null || true
  local key
  for key in "$@"; do
    xdotool key --window "$wine_desktop_window" "$key"
    sleep 0.3
  done
}

# Whether a kestrin.exe runs under Wine in this prefix (Wine names its processes
# by their Windows paths; another run's, in another prefix, does not count).
kestrin_exe_runs() {
  local pid
  for pid in $(pgrep -f '^[A-Z]:\\.*kestrin\.exe'); do
    tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# The windows' titles.
wine_desktop_main_title="重庆市Kestrin2.0"
wine_desktop_seven_term_title="Kestrin2.0 --低段加减"

# Waits until the window titled TITLE is shown and active (up to SECONDS).
wine_desktop_wait_window() {
  local title="$1" seconds="$2"
  [ -n "${KESTRIN_WINDOW_PROBE:-}" ] || { echo "wine-desktop: KESTRIN_WINDOW_PROBE names no window-probe.exe" >&2; return 1; }
  "${kestrin_wine[@]}" "$KESTRIN_WINDOW_PROBE" "$wine_desktop_name" "$title" "$seconds" && return 0
  echo "wine-desktop: no active window \"$title\" within $seconds s" >&2
  return 1
}

# One key at a time once its window is the active one.
wine_desktop_make_sheet() {
  local file="$1" _
  shift
  wine_desktop_wait_window "$wine_desktop_main_title" 90 || return 1
  wine_desktop_keys ctrl+F7
  wine_desktop_wait_window "$wine_desktop_seven_term_title" 30 || return 1
  wine_desktop_keys "$@" alt+c
  for _ in $(seq 1 120); do
    [ -f "$file" ] && return 0
    sleep 0.25
  done
  return 1
}

wine_desktop_quit() {
  kestrin_exe_runs || { echo "wine-desktop: kestrin.exe is not running" >&2; return 1; }
  wine_desktop_keys alt+x
  wine_desktop_wait_window "$wine_desktop_main_title" 60 || return 1
  wine_desktop_keys ctrl+q
  local _
  for _ in $(seq 1 40); do
    kestrin_exe_runs || return 0
    sleep 0.25
  done
  return 1
}

wine_desktop_stop() {
  wineserver -k 2> /dev/null || true
  [ -z "$wine_desktop_job" ] || wait "$wine_desktop_job" 2> /dev/null || true
  wine_desktop_job=""
  # The test run keeps a wineserver for this prefix (env.sh): the programs after
  # this one get it back.
  if [ "${KESTRIN_WINESERVER_KEPT:-}" = "$WINEPREFIX" ]; then kestrin_wineserver_keep; fi
}
