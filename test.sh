#!/usr/bin/env bash
# Builds Kestrin and runs every test (installs what is missing first).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test
scripts/setup-printer.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_BUILD_TESTS=ON
cmake --build build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600
../scripts/check-deb.sh .
