#!/usr/bin/env bash
# Makes the Debian package for teachers' machines (installs what is missing first):
#   scripts/build-deb.sh [build folder]   ->   dist/kestrin_<version>_amd64.deb
# The build folder (default build-deb) is set up as ./test.sh sets up its own
# (RelWithDebInfo) when it is new; an existing one, such as ./test.sh's build,
# keeps its settings, so the package holds the very program its tests ran, stripped.
# dist/ keeps only the package just made.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$here/build-deb}")"
cd "$here"

scripts/install-deps.sh deb

if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DKESTRIN_DEB_PACKAGE=ON >/dev/null
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_BUILD_TESTS=OFF \
    -DKESTRIN_DEB_PACKAGE=ON >/dev/null
fi
cmake --build "$build" --target kestrin

out="$build/deb"
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
made=("$out"/kestrin_*_amd64.deb)
if [ ${#made[@]} -ne 1 ] || [ ! -f "${made[0]}" ]; then
  echo "build-deb: CPack did not make exactly one kestrin_*_amd64.deb in $out" >&2
  exit 1
fi

mkdir -p dist
rm -f dist/kestrin_*_amd64.deb
cp "${made[0]}" dist/
deb="dist/$(basename "${made[0]}")"
echo "build-deb: $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb --field "$deb" Version Depends
