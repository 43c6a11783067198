#!/usr/bin/env bash
# Makes the default CUPS queue reject or accept jobs, for the printing tests:
#   default-queue.sh reject|accept
# Through sudo when not root and not allowed to by CUPS itself.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/lib.sh
source "$here/lib.sh"
refuse_unknown action "${1:-}" reject accept
queue=$(LC_ALL=C lpstat -d | sed -n 's/^system default destination: //p')
[ -n "$queue" ] || { echo "default-queue: there is no default printer" >&2; exit 1; }
"cups$1" "$queue" 2>/dev/null || as_root "cups$1" "$queue"
LC_ALL=C lpstat -a "$queue"
