#!/usr/bin/env bash
# Builds Kestrin and runs every test (installs what is missing first): the
# Linux build, then the Windows build under Wine against it. In CI a test that
# skipped itself fails the run.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test
scripts/setup-printer.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_BUILD_TESTS=ON
cmake --build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600)
if [ "${CI:-}" = true ]; then
  scripts/fail-on-skips.sh build
fi
# The Debian package made from this build, installed into a fresh Debian root.
scripts/check-deb.sh build

# The Windows program: its static Qt is built once and cached outside the
# checkout; its tests run under Wine and compare its files with this build's.
scripts/build-windows.sh deps qt exe zip test
if [ "${CI:-}" = true ]; then
  scripts/fail-on-skips.sh build-windows
fi
