#!/usr/bin/env bash
# Runs a Windows program under Wine set up as a Chinese Windows (env.sh),
# in Kestrin's own Wine prefix (made on first use), quietly, with Windows' CR LF
# line ends turned into LF on standard output. The Windows build's test programs
# run through it (CMAKE_CROSSCOMPILING_EMULATOR).
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=env.sh
. "$here/env.sh"

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

kestrin_wine_prefix || exit 1
"${kestrin_wine[@]}" "$@" | tr -d '\r'
