#!/usr/bin/env bash
# Makes the Debian package for teachers' machines (installs what is missing first):
#   packaging/debian/build.sh [build folder]   ->   dist/kestrin_<version>_amd64.deb
# (./dist.sh deb runs it)
# The build folder (default build-deb) is set up as ./test.sh sets up its own
# (RelWithDebInfo, but without -Werror, so that a newer compiler's new warnings
# do not stop the package) when it is new; an existing one, such as ./test.sh's
# build, keeps its settings, so the package holds the very program its tests ran,
# stripped. dist/ keeps only the package just made; it is written beside its
# final name and renamed when complete, so an interrupted run leaves the previous
# package or none, never part of one. Runs as the caller: only installing packages
# goes through sudo.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
[ $# -le 1 ] || { echo "usage: packaging/debian/build.sh [build folder]" >&2; exit 2; }
build="$(realpath -m "${1:-$here/build-deb}")"
cd "$here"

scripts/install-deps.sh deb

if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DKESTRIN_DEB_PACKAGE=ON >/dev/null
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_BUILD_TESTS=OFF \
    -DKESTRIN_WERROR=OFF -DKESTRIN_DEB_PACKAGE=ON >/dev/null
fi
cmake --build "$build" --target kestrin

out="$build/deb"
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
made=("$out"/kestrin_*_amd64.deb)
if [ ${#made[@]} -ne 1 ] || [ ! -f "${made[0]}" ]; then
  fail "CPack did not make exactly one kestrin_*_amd64.deb in $out"
fi

name=$(basename "${made[0]}")
dpkg-deb --info "${made[0]}" >/dev/null   # a whole package
publish "${made[0]}" dist "$name" 'kestrin_*_amd64.deb*'
deb="dist/$name"
dpkg-deb --field "$deb" Version Depends
