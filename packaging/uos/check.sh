#!/usr/bin/env bash
# Checks the UOS/Kylin/Deepin packages the way schools' machines get them:
#   packaging/uos/check.sh [build folder]    (default: build, the native build ./test.sh tests)
#
#  1. builds both packages (packaging/uos/build.sh; Qt and roots come from their caches);
#  2. each package's files: everything under /opt/apps/cn.kestrin.kestrin but the
#     links of the menu entry and icons and Debian's copyright and changelog; the
#     info file (appid, four-part version, its architecture, every permission
#     false); the menu entry valid, its program and icon in the package; no
#     maintainer scripts; lintian finds no errors but those the app-store layout
#     makes (explained in the package's copyright file);
#  3. every ELF file: no glibc symbol version above 2.28 (UOS 20), none of
#     libstdc++ or libgcc_s at all (linked statically), every needed library in a
#     declared dependency; no dependency asks for a version newer than Debian 10's
#     (UOS 20's base);
#  4. installed into fresh Debian 11 (amd64; arm64 through qemu) and Debian 13
#     (amd64) roots: the program on the xcb platform writes the seven-term sheet
#     byte for byte as the native build's first_sheets does, prints it to the
#     KestrinPDF queue, and goes without a trace; the package build's own
#     first_sheets writes every kind's first files there as the native one does
#     (check-install.sh, through sudo).
# Screenshots of the main window are kept in build-uos-<arch>/screen-<root>.png.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
[ $# -le 1 ] || { echo "usage: packaging/uos/check.sh [build folder]" >&2; exit 2; }
native="$(realpath -m "${1:-$here/build}")"
cd "$here"
started=$SECONDS
appid=cn.kestrin.kestrin
debroots="${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}"
read -r -a arches <<<"${KESTRIN_UOS_ARCHES:-amd64 arm64}"

need_packages lintian desktop-file-utils xvfb openbox xdotool x11-utils imagemagick poppler-utils cups-client \
  qemu-user-static binfmt-support python3 binutils
[ -x "$native/src/app/tests/first_sheets" ] || fail "no native build with tests in $native (./test.sh builds it)"
scripts/setup-printer.sh
packaging/uos/build.sh deps roots icu qt app deb
# The source archive only of a commit: a checkout with changes has none.
[ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ] || packaging/uos/build.sh source

work=$(mktemp -d)
at_exit rm -rf "$work"
QT_QPA_PLATFORM=offscreen "$native/src/app/tests/first_sheets" "$work/native" > "$work/native.log" 2>&1 \
  || { cat "$work/native.log"; fail "the native build's first_sheets failed"; }
sheet="$work/native/学前段七笔加减速算.xls"

# Debian 10's versions (UOS 20 is built on it) of the libraries the package may need.
declare -A buster=(
  [libc6]=2.28-10+deb10u1 [libcups2]=2.2.10-6+deb10u6 [libfontconfig1]=2.13.1-2
  [libfreetype6]=2.9.1-3+deb10u3 [zlib1g]=1:1.2.11.dfsg-1+deb10u2 [libx11-6]=2:1.6.7-1+deb10u2
  [libx11-xcb1]=2:1.6.7-1+deb10u2 [libxkbcommon0]=0.8.2-1 [libxkbcommon-x11-0]=0.8.2-1
  [libxcb1]=1.13.1-2 [libxcb-icccm4]=0.4.1-1.1 [libxcb-image0]=0.4.0-1+b2 [libxcb-keysyms1]=0.4.0-1+b2
  [libxcb-randr0]=1.13.1-2 [libxcb-render0]=1.13.1-2 [libxcb-render-util0]=0.3.9-1
  [libxcb-shape0]=1.13.1-2 [libxcb-shm0]=1.13.1-2 [libxcb-sync1]=1.13.1-2 [libxcb-xfixes0]=1.13.1-2
  [libxcb-xinerama0]=1.13.1-2 [libxcb-xkb1]=1.13.1-2 [libxcb-xinput0]=1.13.1-2
)

for arch in "${arches[@]}"; do
  deb=$(ls "dist/${appid}_"*"_$arch.deb")
  files="$work/$arch"
  dpkg-deb -x "$deb" "$files"
  top="$files/opt/apps/$appid"

  # --- 2. The package's files --------------------------------------------------------
  outside=$(cd "$files" && find . ! -type d ! -path "./opt/apps/$appid/*" \
    ! -path "./usr/share/applications/$appid.desktop" ! -path "./usr/share/icons/hicolor/*/apps/$appid.*" \
    ! -path "./usr/share/doc/$appid/copyright" ! -path "./usr/share/doc/$appid/changelog*.gz")
  [ -z "$outside" ] || flaw "$arch: files outside /opt/apps/$appid: $outside"
  while read -r link; do
    target=$(readlink "$files/$link")
    case "$target" in
      "/opt/apps/$appid/entries/"*) [ -f "$files$target" ] || flaw "$arch: $link points to $target, not in the package" ;;
      *) flaw "$arch: $link points to $target, not into entries/" ;;
    esac
  done < <(cd "$files" && find ./usr -type l)
  python3 - "$top/info" "$arch" "$(dpkg-deb -f "$deb" Version)" <<'EOF' || flaw "$arch: the info file"
import json, sys
info = json.load(open(sys.argv[1], encoding="utf-8"))
upstream = sys.argv[3].split("-")[0]
quad = ".".join((upstream.split(".") + ["0"] * 4)[:4])
assert info["appid"] == "cn.kestrin.kestrin", info["appid"]
assert info["version"] == quad, (info["version"], quad)
assert info["arch"] == [sys.argv[2]], info["arch"]
assert "速算" in info["name"], info["name"]
assert info["permissions"] and not any(info["permissions"].values()), info["permissions"]
EOF
  entry="$top/entries/applications/$appid.desktop"
  desktop-file-validate "$entry" || flaw "$arch: desktop-file-validate"
  program=$(sed -n 's/^Exec=//p' "$entry")
  [ -x "$files$program" ] || flaw "$arch: the entry starts $program, which is not in the package"
  [ -f "$top/entries/icons/hicolor/scalable/apps/$appid.svg" ] || flaw "$arch: no scalable icon"
  dpkg-deb -e "$deb" "$work/control-$arch"
  scripts=$(find "$work/control-$arch" -type f ! -name control ! -name md5sums -printf '%f ')
  [ -z "$scripts" ] || flaw "$arch: maintainer scripts: $scripts"
  for doc in LICENSE THIRD-PARTY-NOTICES; do [ -s "$top/files/doc/$doc" ] || flaw "$arch: no files/doc/$doc"; done
  for part in "Qt's attribution data" "ICU" "GCC's runtime libraries" "XCB-XInput"; do
    grep -qF "$part" "$top/files/doc/THIRD-PARTY-NOTICES" || flaw "$arch: THIRD-PARTY-NOTICES lacks $part"
  done
  lintian --fail-on error --display-info \
    --suppress-tags dir-or-file-in-opt,embedded-library,statically-linked-binary "$deb" > "$work/lintian.txt" 2>&1 \
    || { cat "$work/lintian.txt"; flaw "$arch: lintian found errors"; }
  log "$arch: lintian, besides what the app-store layout makes (see the package's copyright):"
  grep -E '^[EWIPX]: ' "$work/lintian.txt" | sed 's/^/  /' || true

  # --- 3. The ELF files and the dependencies -----------------------------------------
  depends=$(dpkg-deb -f "$deb" Depends)
  dep_names=" $(sed -E 's/[,|]/\n/g' <<<"$depends" | sed -E 's/\(.*//; s/ //g' | tr '\n' ' ') "
  build_root=$(as_root env "KESTRIN_DEBROOT_CACHE=$debroots" packaging/uos/root.sh path "build-$arch" | tail -n 1)
  elves=0
  while IFS= read -r -d '' f; do
    [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    elves=$((elves + 1))
    glibc=$(readelf -V --wide "$f" | { grep -oE 'GLIBC_[0-9.]+' || true; } | sed 's/GLIBC_//' | sort -uV | tail -n 1)
    [ -z "$glibc" ] || dpkg --compare-versions "$glibc" le 2.28 || flaw "$arch: ${f#"$files"} needs GLIBC_$glibc"
    cxx=$(readelf -V --wide "$f" | { grep -oE '(GLIBCXX|CXXABI|GCC)_[0-9.]+' || true; } | sort -u | tr '\n' ' ')
    [ -z "$cxx" ] || flaw "$arch: ${f#"$files"} needs the system's libstdc++/libgcc: $cxx"
    for lib in $(readelf -d "$f" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
      [ -e "$top/files/lib/$lib" ] && continue
      owner=$(dpkg-query --admindir="$build_root/var/lib/dpkg" -S "*/$lib" 2>/dev/null | head -n 1 | cut -d: -f1)
      [[ -n "$owner" && "$dep_names" == *" $owner "* ]] || flaw "$arch: ${f#"$files"} needs $lib (of '${owner:-?}'), not a declared dependency"
    done
  done < <(find "$files" -type f -print0)
  [ "$elves" -ge 1 ] || flaw "$arch: no ELF file in the package"
  while read -r dep; do
    [ -n "$dep" ] || continue
    pkg=${dep%% *}
    wanted=$(sed -n -E 's/.*\(>= ([^)]*)\).*/\1/p' <<<"$dep")
    if [ -z "${buster[$pkg]:-}" ]; then
      flaw "$arch: depends on $pkg, which is not in the table of Debian 10's base libraries"
    elif [ -n "$wanted" ] && ! dpkg --compare-versions "$wanted" le "${buster[$pkg]}"; then
      flaw "$arch: $dep is newer than Debian 10's ${buster[$pkg]}"
    fi
  done < <(tr ',' '\n' <<<"$depends" | sed 's/^ *//')
  grep -qx 'fonts-noto-cjk' < <(dpkg-deb -f "$deb" Recommends | tr ',' '\n' | tr -d ' ') || flaw "$arch: does not recommend fonts-noto-cjk"
  log "$arch: $elves ELF file(s) checked; Depends: $depends"

  # --- 4. Installed into fresh roots -------------------------------------------------
  roots=(bullseye-amd64 trixie-amd64)
  [ "$arch" = amd64 ] || roots=(bullseye-arm64)
  for root in "${roots[@]}"; do
    shots=$(mktemp -d)
    at_exit rm -rf "$shots"
    as_root env "KESTRIN_DEBROOT_CACHE=$debroots" "SUDO_USER=$(id -un)" packaging/uos/check-install.sh \
      "$deb" "$root" "$sheet" "$HOME/PDF" "$shots/screen.png" "build-uos-$arch/src/app/first_sheets" "$work/native" \
      || flaw "$arch: the install check in $root"
    [ ! -f "$shots/screen.png" ] || cp "$shots/screen.png" "build-uos-$arch/screen-$root.png"
  done
done
end_checks
log "passed in $((SECONDS - started)) s"
