#!/usr/bin/env bash
# Builds Kestrin and starts it (installs what is missing first, through sudo when
# not run as root). Worksheet files are written to the directory this script is
# started from.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh" run
cmake -S "$here" -B "$here/build-app" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRIN_BUILD_TESTS=OFF >/dev/null
cmake --build "$here/build-app" --target kestrin
exec "$here/build-app/src/kestrin"
