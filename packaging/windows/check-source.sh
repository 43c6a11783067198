#!/usr/bin/env bash
# The source archive builds the program it ships with: unpacked where there is no
# git, its own command (BUILDING.txt: ./dist.sh windows in its project folder)
# builds the Qt from the archive's qtbase source and then kestrin.exe, whose
# seven-term sheet under Wine is byte for byte the Linux build's, as the shipped
# exe's is (wine/smoke.sh, which also prints it).
#   packaging/windows/check-source.sh SOURCE_ARCHIVE SHIPPED_EXE LINUX_FIRST_SHEETS
# The Qt comes from the cache ($KESTRIN_CACHE) where one built from the very same
# qtbase source is there (the build refuses one built from another); with
# KESTRIN_CACHE pointing at an empty folder the whole Qt is built again (about
# half an hour on two cores).
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
[ $# -eq 3 ] || { echo "usage: packaging/windows/check-source.sh SOURCE_ARCHIVE SHIPPED_EXE LINUX_FIRST_SHEETS" >&2; exit 2; }
archive="$(realpath "$1")"
shipped="$(realpath "$2")"
linux_tool="$(realpath "$3")"

work=$(mktemp -d)
at_exit rm -rf "$work"
tar -C "$work" -xJf "$archive"
project=$(find "$work" -mindepth 2 -maxdepth 2 -name 'Kestrin-*' -type d ! -name '*-source' | head -n 1)
[ -n "$project" ] || fail "no Kestrin-<version> folder in $archive"
[ ! -e "$project/.git" ] || fail "the archive holds a git checkout"
command=$(sed -n '/^    cd Kestrin-/{n;s/^    //p}' "$(dirname "$project")/BUILDING.txt")
[ "$command" = "./dist.sh windows" ] || fail "BUILDING.txt's command is '$command'"

log "building from the unpacked archive: $command"
(cd "$project" && env -u KESTRIN_WERROR ./dist.sh windows) > "$work/build.log" 2>&1 \
  || { tail -n 40 "$work/build.log"; fail "the archive's own command failed"; }
rebuilt=$(find "$project/dist" -name 'Kestrin-*-windows*.zip')
mkdir "$work/zip"
bsdtar -xf "$rebuilt" -C "$work/zip" kestrin.exe
if cmp -s "$shipped" "$work/zip/kestrin.exe"; then
  log "the rebuilt kestrin.exe is byte for byte the shipped one"
else
  log "the rebuilt kestrin.exe differs from the shipped one in $(cmp -l "$shipped" "$work/zip/kestrin.exe" | wc -l) bytes; its sheet is checked"
fi
"$here/packaging/windows/wine/smoke.sh" "$work/zip/kestrin.exe" "$linux_tool"
