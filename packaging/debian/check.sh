#!/usr/bin/env bash
# Checks the Debian package the way a teacher's machine gets it:
#   packaging/debian/check.sh [build folder]       (default: build, the folder ./test.sh tests)
#
#  1. makes dist/kestrin_<version>_amd64.deb from that build folder (packaging/debian/build.sh);
#  2. the packaged menu entry and AppStream file pass desktop-file-validate and
#     appstreamcli; the entry's program and icon are in the package; every icon
#     has the size its folder says; lintian finds no errors;
#  3. the packaged program is the build folder's program, stripped;
#  4. in a fresh root of this machine's Debian release, apt-get installs it, its
#     program comes up from the menu entry and stays up, and apt-get remove leaves
#     none of its files (packaging/debian/check-install.sh).
#
# Runs as the caller, so that everything written into the checkout (the build
# folder, dist/) stays the caller's; only installing packages and step 4
# (mmdebstrap, chroot, mount; its bare root is kept in $KESTRIN_DEBROOT_CACHE,
# default /var/cache/kestrin-debroot) go through sudo.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
[ $# -le 1 ] || { echo "usage: packaging/debian/check.sh [build folder]" >&2; exit 2; }
build="$(realpath -m "${1:-$here/build}")"
cd "$here"
started=$SECONDS


scripts/install-deps.sh test
packaging/debian/build.sh "$build"
debs=(dist/kestrin_*_amd64.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "dist/ does not hold exactly one kestrin_*_amd64.deb"
fi
deb="$here/${debs[0]}"

work=$(mktemp -d)
at_exit rm -rf "$work"

# --- 2. The package's files -------------------------------------------------------
files="$work/files"
dpkg-deb -x "$deb" "$files"
entries=("$files"/usr/share/applications/*.desktop)
if [ ${#entries[@]} -ne 1 ] || [ ! -f "${entries[0]}" ]; then
  fail "the package holds not exactly one menu entry"
fi
entry="${entries[0]}"
desktop-file-validate "$entry" || fail "desktop-file-validate: $(basename "$entry")"
appstreamcli validate --no-net "$files"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$files" || fail "appstreamcli validate-tree"

exec_line=$(sed -n 's/^Exec=//p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
program=${exec_line%% *}
[ -x "$files/usr/bin/$program" ] || fail "the entry starts $program, which is not in the package's /usr/bin"
[ -f "$files/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"
sizes=0
for png in "$files"/usr/share/icons/hicolor/*/apps/*.png; do
  folder=$(basename "$(dirname "$(dirname "$png")")")
  [ "$(basename "$png" .png)" = "$icon" ] || fail "icon $png is not named after the entry's Icon=$icon"
  file -b "$png" | grep -q "^PNG image data, ${folder%x*} x ${folder#*x}," \
    || fail "$png is not ${folder}: $(file -b "$png")"
  sizes=$((sizes + 1))
done
[ "$sizes" -ge 8 ] || fail "only $sizes icon sizes"
log "menu entry, AppStream data and $sizes icon sizes are valid"

lintian_out="$work/lintian.txt"
lintian --fail-on error --display-info "$deb" > "$lintian_out" 2>&1 || { cat "$lintian_out"; fail "lintian found errors"; }
log "lintian: no errors; what it says:"
grep -E '^[WIPX]: ' "$lintian_out" | sed 's/^/  /' || true

# --- 3. The packaged program is the tested one -------------------------------------
strip_tool=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/CMakeCache.txt")
"${strip_tool:-strip}" -o "$work/kestrin.stripped" "$build/src/kestrin"
packaged=$(sha256sum < "$files/usr/bin/kestrin" | cut -d' ' -f1)
[ "$(sha256sum < "$work/kestrin.stripped" | cut -d' ' -f1)" = "$packaged" ] \
  || fail "the packaged program is not $build/src/kestrin"
log "the packaged program is $build/src/kestrin, stripped (sha256 $packaged)"

# --- 4. Install, start and remove in a fresh Debian root ----------------------------
as_root env "KESTRIN_DEBROOT_CACHE=${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}" \
  "$here/packaging/debian/check-install.sh" "$deb"
log "passed in $((SECONDS - started)) s"
