# shellcheck shell=bash
# Sourced, after wine-env.sh, by the scripts that use the real kestrin.exe as a
# teacher does: in a screen-sized Wine desktop on the virtual X screen they run
# in (xvfb-run), driven by keys sent with xdotool.
#   wine_desktop_start FOLDER PROGRAM [ARG...]  starts PROGRAM in the desktop, in FOLDER
#   wine_desktop_keys KEY...                     sends keys to the desktop's focused window
#   wine_desktop_make_sheet FILE [KEY...]        Ctrl+F7, then KEYs in the seven-term
#                                                window, then Alt+C, until FILE comes
#   wine_desktop_quit                            Alt+X back to the main window, Ctrl+Q;
#                                                fails unless kestrin.exe then ends
#   wine_desktop_stop                            ends everything running under Wine

# shellcheck disable=SC2154 # kestrin_wine comes from wine-env.sh
wine_desktop_window=""
wine_desktop_job=""

wine_desktop_start() {
  local folder="$1"
  shift
  kestrin_wine_prefix || return 1
  (cd "$folder" && exec "${kestrin_wine[@]}" explorer /desktop=kestrin,1280x1024 "$@") > /dev/null 2>&1 &
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

# Whether a kestrin.exe runs under Wine (Wine names its processes by their
# Windows paths).
kestrin_exe_runs() { pgrep -f '^[A-Z]:\\.*kestrin\.exe' > /dev/null; }

# The main window takes Ctrl+F7 once it is up; another try is made only while
# no file has come, so that one run is made.
wine_desktop_make_sheet() {
  local file="$1" _ __
  shift
  for _ in $(seq 1 40); do
    wine_desktop_keys ctrl+F7
    sleep 1
    wine_desktop_keys "$@" alt+c
    for __ in $(seq 1 20); do
      [ -f "$file" ] && { sleep 1; return 0; }
      sleep 0.25
    done
  done
  return 1
}

wine_desktop_quit() {
  kestrin_exe_runs || { echo "wine-desktop: kestrin.exe is not running" >&2; return 1; }
  wine_desktop_keys alt+x
  sleep 1
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
}
