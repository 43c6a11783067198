#!/usr/bin/env bash
# Checks what the Windows build hands out, as it lies in dist/:
#   - kestrin.exe carries its icon (16 to 256 px), its version information and its
#     manifest (asInvoker, Windows 7 to 11, DPI aware), read back from the built exe;
#   - kestrin.exe and the setup are 32-bit programs that import nothing Windows 7
#     SP1 lacks (check-imports.py);
#   - the zip holds kestrin.exe, 使用说明.txt, LICENSE.txt (the GNU GPL v3, as in
#     LICENSE) and THIRD-PARTY-NOTICES.txt with the notices of Qt and of the code
#     it bundles and of the MinGW-w64 runtime, and its texts say where the source is;
#   - the exe's version information, 使用说明.txt and the source archive name the
#     commit the exe was built from; the archive holds the project at exactly that
#     commit and the qtbase source package whose checksums are those of the
#     source the cached Qt was built from.
#   packaging/windows/check-dist.sh BUILD_DIR DIST_DIR VERSION
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="$1"
dist="$2"
version="$3"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
work=$(mktemp -d)
at_exit rm -rf "$work"

exe="$build/src/kestrin.exe"
zip="$dist/Kestrin-$version-windows.zip"
source_archive="$dist/Kestrin-$version-source.tar.xz"
for f in "$exe" "$zip" "$dist/Kestrin-$version-setup.exe" "$source_archive"; do
  [ -f "$f" ] || fail "$f is missing (the exe, zip, setup and source steps make them)"
done

# --- the exe's resources -------------------------------------------------------------
wrestool -x -t 14 "$exe" > "$work/icon.ico" || true
sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' ')
[ "$sizes" = "16 24 32 48 64 128 256 " ] || flaw "kestrin.exe's icon has the sizes '$sizes', not 16 to 256 px"
wrestool -x -t 16 --raw "$exe" > "$work/version.bin" || flaw "kestrin.exe has no version information"
version_text=$(iconv -f UTF-16LE -t UTF-8 < "$work/version.bin" 2>/dev/null | tr '\0' '\n' || true)
built=$(cat "$build/.kestrin-commit")
for wanted in "ProductName" "Kestrin 速算自动出题系统" "FileVersion" "$version" "LegalCopyright" "GNU GPL v3 or later" \
              "Built from Kestrin commit $built"; do
  grep -qF -- "$wanted" <<<"$version_text" || flaw "kestrin.exe's version information lacks '$wanted'"
done
wrestool -x -t 24 --raw "$exe" > "$work/manifest.xml" || flaw "kestrin.exe has no manifest"
grep -q 'requestedExecutionLevel level="asInvoker"' "$work/manifest.xml" || flaw "the manifest does not ask for asInvoker"
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a:7 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38:8 \
          1f676c76-80e1-4239-95bb-83d0f6d0da78:8.1 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a:"10 and 11"; do
  grep -q "supportedOS Id=\"{${os%%:*}}\"" "$work/manifest.xml" || flaw "the manifest does not name Windows ${os#*:}"
done
grep -q '<dpiAware[^>]*>true/pm</dpiAware>' "$work/manifest.xml" || flaw "the manifest does not declare DPI awareness"

# --- 32-bit programs for Windows 7 SP1 and newer ---------------------------------------
for program in "$exe" "$dist/Kestrin-$version-setup.exe"; do
  file -b "$program" | grep -q '^PE32 executable (GUI) Intel 80386' \
    || flaw "$(basename "$program") is not a 32-bit Windows program: $(file -b "$program")"
done
python3 "$here/packaging/windows/check-imports.py" i686-w64-mingw32-objdump "$exe" "$dist/Kestrin-$version-setup.exe" \
  || flaw "a program imports what Windows 7 SP1 does not have"

# --- the zip ------------------------------------------------------------------------
names=$(bsdtar --options hdrcharset=CP936 -tf "$zip" | sort | tr '\n' ' ')
[ "$names" = "LICENSE.txt THIRD-PARTY-NOTICES.txt kestrin.exe 使用说明.txt " ] \
  || flaw "the zip holds '$names'"
mkdir "$work/zip"
bsdtar --options hdrcharset=CP936 -xf "$zip" -C "$work/zip"
cmp -s "$exe" "$work/zip/kestrin.exe" || flaw "the zip's kestrin.exe is not the built one"
# The texts are for Notepad: a byte order mark and CR LF; without them, as in the repository.
plain() { sed -e '1s/^\xef\xbb\xbf//' -e 's/\r$//' "$1"; }
cmp -s <(plain "$work/zip/LICENSE.txt") "$here/LICENSE" || flaw "the zip's LICENSE.txt is not LICENSE"
[ "$(head -c 3 "$work/zip/LICENSE.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || flaw "LICENSE.txt has no byte order mark"
notices="$work/zip/THIRD-PARTY-NOTICES.txt"
for wanted in "GNU LESSER GENERAL PUBLIC LICENSE" "Data Compression Library (zlib)" "Freetype 2" "HarfBuzz-NG" \
              "PCRE2" "LibPNG" "LibJPEG-turbo" "Efficient Binary-Decimal and Decimal-Binary Conversion" \
              "Jean-loup Gailly" "GCC RUNTIME LIBRARY EXCEPTION" "mingw-w64" "Kestrin-<version>-source.tar.xz"; do
  grep -qiF -- "$wanted" "$notices" || flaw "THIRD-PARTY-NOTICES.txt lacks '$wanted'"
done
grep -qF "Kestrin-$version-source.tar.xz" "$work/zip/使用说明.txt" || flaw "使用说明.txt does not say where the source is"
grep -qF "由源代码提交 $built 编译而成" "$work/zip/使用说明.txt" || flaw "使用说明.txt does not name the commit $built"

# --- the source archive ---------------------------------------------------------------
mkdir "$work/src"
tar -C "$work/src" -xJf "$source_archive"
top="$work/src/Kestrin-$version-source"
commit=$(cat "$top/Kestrin-$version/.kestrin-commit")
[ "$commit" = "$built" ] || flaw "the source archive holds commit $commit, not $built that kestrin.exe was built from"
grep -qF "Kestrin at commit $built" "$top/BUILDING.txt" || flaw "BUILDING.txt does not name commit $built"
git -C "$here" archive --format=tar --prefix=tree/ "$built" | tar -C "$work" -xf -
cp "$top/Kestrin-$version/.kestrin-commit" "$work/tree/"
diff -r "$work/tree" "$top/Kestrin-$version" > "$work/tree.diff" 2>&1 \
  || { head -n 20 "$work/tree.diff"; flaw "the project in the source archive is not commit $built"; }
qt_prefix=$(cat "$build/.kestrin-qt")
cmp -s "$top/qtbase/SHA256SUMS" "$qt_prefix/source/SHA256SUMS" \
  || flaw "the qtbase source in the archive is not the one the cached Qt was built from"
(cd "$top/qtbase" && sha256sum -c --quiet SHA256SUMS) || flaw "the qtbase source in the archive does not match its checksums"
ls "$top"/qtbase/qtbase-opensource-src_*.orig.tar.* > /dev/null || flaw "the source archive has no qtbase tarball"

end_checks
log "the exe's icon ($sizes px), version information and manifest; 32-bit, Windows 7 SP1's imports; the zip's four files;" \
  "the source archive with commit ${commit:0:12} and the qtbase source the Qt was built from"
