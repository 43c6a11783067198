#!/usr/bin/env bash
# Builds Kestrin and runs its tests (installs what is missing first):
#   ./test.sh          every test: the build scripts' own checks, the Linux build and
#                      its tests, the Debian package in a fresh Debian root, the UOS
#                      packages (amd64, arm64) in fresh Debian 11 and 13 roots, then
#                      the Windows build under Wine against the Linux build
#   ./test.sh quick    the scripts' checks and the Linux build and its tests only: no
#                      Qt build, no Debian root, no Wine
# Runs as root or as an ordinary user with sudo (only installing packages, the
# printer queues and the Debian root go through sudo). In CI a test that skipped
# itself fails the run, and the steps that write into a checkout are run once more
# by a throwaway ordinary user, twice, in a clone of its own.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")"
# shellcheck source=scripts/lib.sh
source scripts/lib.sh
mode="${1:-all}"
refuse_unknown mode "$mode" all quick
[ $# -le 1 ] || fail "usage: ./test.sh [quick]"

if [ "$mode" = quick ]; then scripts/install-deps.sh quick; else scripts/install-deps.sh test; fi

# The scripts: shellcheck at its default severity.
shellcheck ./*.sh .ci/run scripts/*.sh packaging/*/*.sh packaging/windows/wine/*.sh

scripts/setup-printer.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_BUILD_TESTS=ON -DKESTRIN_WERROR=ON
cmake --build build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error --timeout 600)
if [ "${CI:-}" = true ]; then
  scripts/fail-on-skips.sh build
fi
[ "$mode" = all ] || exit 0

# The Debian package made from this build, installed into a fresh Debian root.
packaging/debian/check.sh build

# The packages for UOS, Kylin and Deepin: built in Debian 11 roots against their
# own static Qt 5.15 (built once per architecture and cached like the Windows
# one), installed into fresh Debian 11 and 13 roots and run there.
packaging/uos/check.sh build

# The Windows program, its zip, setup and source archive: its static Qt is built
# once and cached outside the checkout; its tests run under Wine set up as a
# Chinese Windows and compare its files with this build's.
KESTRIN_WERROR=ON packaging/windows/build.sh deps qt exe zip setup source test
if [ "${CI:-}" = true ]; then
  scripts/fail-on-skips.sh build-windows
  scripts/check-as-user.sh
fi
