#!/usr/bin/env bash
# Builds Kestrin and runs every test (installs what is missing first): the build
# scripts' own checks, the Linux build, then the Windows build under Wine against
# it. Runs as root or as an ordinary user with sudo (only installing packages, the
# printer queue and the Debian root go through sudo). In CI a test that skipped
# itself fails the run, and the steps that write into a checkout are run once more
# by a throwaway ordinary user, twice, in a clone of its own.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")"

scripts/install-deps.sh test

# The scripts: shellcheck at its default severity, and the shared library's
# reading of apt sources.
shellcheck scripts/*.sh test.sh run.sh .ci/run
scripts/test-lib.sh

scripts/setup-printer.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_BUILD_TESTS=ON -DKESTRIN_WERROR=ON
cmake --build build
# A test that fails is run once more (font look-ups and print queues have failed
# a run once in a while); one that fails twice fails the run.
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error --timeout 600 --repeat until-pass:2)
if [ "${CI:-}" = true ]; then
  scripts/fail-on-skips.sh build
fi
# The Debian package made from this build, installed into a fresh Debian root.
scripts/check-deb.sh build

# The Windows program, its zip, setup and source archive: its static Qt is built
# once and cached outside the checkout; its tests run under Wine set up as a
# Chinese Windows and compare its files with this build's.
KESTRIN_WERROR=ON scripts/build-windows.sh deps qt exe zip setup source test
if [ "${CI:-}" = true ]; then
  scripts/fail-on-skips.sh build-windows
  scripts/check-as-user.sh
fi
