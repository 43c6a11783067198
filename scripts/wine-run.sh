#!/usr/bin/env bash
# Runs a Windows program under Wine in Kestrin's own Wine prefix (made on first
# use), quietly, with Windows' CR LF line ends turned into LF on standard output.
# The Windows build's test programs run through it (CMAKE_CROSSCOMPILING_EMULATOR).
set -uo pipefail

export WINEPREFIX="${KESTRIN_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin/wine}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts to install Wine's .NET and HTML engines.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINELOADER=/usr/lib/wine/wine64
wine=/usr/lib/wine/wine64

# Wine keeps the host's QT_* variables from Windows programs unless they come
# as WINEQT_*: hand them over so (QT_QPA_PLATFORM=offscreen and the like).
# QtTest writes its report to the debugger on Windows unless told to use the
# standard streams.
export QT_FORCE_STDERR_LOGGING="${QT_FORCE_STDERR_LOGGING:-1}"
for variable in $(compgen -e); do
  case "$variable" in
    QT_*) export "WINE$variable=${!variable}" ;;
  esac
done

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi

"$wine" "$@" | tr -d '\r'
