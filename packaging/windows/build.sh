#!/usr/bin/env bash
# Builds Kestrin for Windows on this Debian machine and packs it: one 32-bit
# kestrin.exe (i686, static Qt 5.15) for Windows 7 SP1 to 11, 32- and 64-bit.
#   dist/Kestrin-<version>-windows.zip      kestrin.exe, 使用说明.txt, LICENSE.txt and
#                                           THIRD-PARTY-NOTICES.txt
#   dist/Kestrin-<version>-setup.exe        the setup program (NSIS) with the same files
#   dist/Kestrin-<version>-source.tar.xz    the source of both: this project at the
#                                           built commit and the exact qtbase source
#
# Steps (deps qt exe zip setup source by default, source only in a git checkout;
# name some to run only those):
#   deps    - Debian's i686 MinGW-w64 toolchain, 32-bit Wine (the i386
#             architecture), NSIS and Debian's Qt 5 tools (whose version names
#             the qtbase source)
#   qt      - a static Qt 5.15 for Windows, cross-built once from Debian's
#             qtbase-opensource-src and kept, with that source, in a cache folder
#             outside the repository
#   exe     - kestrin.exe and the test programs, statically linked
#   zip     - the zip for teachers
#   setup   - the setup program
#   source  - the source archive
#   test    - every test program under Wine set up as a Chinese Windows, the real
#             kestrin.exe, its setup and its printing under Wine and Xvfb against the
#             Linux build's files (needs ./test.sh's build/), and the packages' contents
#
# The Qt cache is $KESTRIN_CACHE (default ~/.cache/kestrin); it is keyed by the
# Qt version, the configure options and the toolchain, so a change to any of
# them builds a fresh Qt beside the old one. Runs as root or as an ordinary user
# (only installing packages goes through sudo). KESTRIN_WERROR=ON makes the
# compiler's warnings errors (the tests do; a package build leaves them off).
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
windows="$here/packaging/windows"
cd "$here"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"

known_steps=(deps qt exe zip setup source test)
steps=("$@")
# The source step archives a git commit: an unpacked source archive has none.
if [ ${#steps[@]} -eq 0 ]; then
  steps=(deps qt exe zip setup)
  [ ! -e "$here/.git" ] || steps+=(source)
fi
refuse_unknown_steps

toolchain="$here/cmake/mingw-w64-i686.cmake"
triple=i686-w64-mingw32
# Only what the program uses: widgets, printing, the Windows platform plugin
# (GDI fonts, as Windows 7 has them) and testlib for the test programs.
qt_options=(-opensource -confirm-license -xplatform win32-g++ -device-option "CROSS_COMPILE=$triple-"
  -static -static-runtime -release -make libs -nomake examples -nomake tests
  -no-pkg-config -no-icu -no-opengl -no-dbus -no-feature-sql -no-feature-network
  -no-direct2d -no-directwrite -no-feature-tabletevent -no-zstd
  -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-doubleconversion)

# version, version_quad (Windows wants four numbers in a version resource: 2.0
# is 2.0.0.0) and commit, "-dirty" in both for uncommitted changes.
kestrin_version_and_commit "$here"
build_dir="$here/build-windows"
# In an unpacked source archive, the qtbase source package beside the project.
archived_qtbase="$(dirname "$here")/qtbase"
[ ! -e "$here/.git" ] || archived_qtbase=/nonexistent
linux_build="${KESTRIN_LINUX_BUILD:-$here/build}"
dist="$here/dist"

# kestrin.exe is a 32-bit program: Wine runs it with its 32-bit half (wine32 of
# the i386 architecture), which needs a machine that runs 32-bit x86 programs.
# Where the kernel refuses them, no Wine can run kestrin.exe here: it is built
# and its packages checked, and the tests that run it are left out (and named).
wine_runs_exe=true
runs_i386 || wine_runs_exe=false

install_packages() {
  local wine32=()
  if $wine_runs_exe; then
    need_foreign_arch i386
    wine32=(wine32:i386)
  fi
  need_packages g++-mingw-w64-i686-posix wine "${wine32[@]}" wine64 qtbase5-dev-tools \
    perl dpkg-dev cmake ninja-build libarchive-tools xvfb xauth xdotool imagemagick nsis python3 \
    locales fonts-wqy-zenhei fonts-dejavu-core fonts-noto-cjk python3-fonttools icoutils xz-utils git \
    poppler-utils cups-client
}

# The qtbase source's version: that of Debian's Qt 5 on this machine.
host_qt_version() {
  local v
  v=$(dpkg-query -W -f='${Version}' qtbase5-dev-tools 2>/dev/null || true)
  [ -n "$v" ] || fail "qtbase5-dev-tools is not installed: run the deps step"
  printf '%s' "$v"
}

qt_prefix() {
  local cache="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}"
  local key upstream compiler qt_version
  qt_version=$(host_qt_version)
  compiler=$($triple-g++-posix --version | head -n 1)
  key=$( { echo keeps-source; printf '%s\n' "$qt_version"; printf '%s\n' "${qt_options[@]}"; cat "$toolchain";
           printf '%s\n' "$compiler"; } | sha256sum | cut -c1-12)
  upstream=$(printf '%s' "$qt_version" | sed -E 's/^[0-9]+://; s/[+~-].*$//')
  printf '%s/qt-%s-mingw32-static-%s' "$cache" "$upstream" "$key"
}

# Debian's qtbase source of exactly the version of Debian's Qt 5 here.
fetch_qt_source() {
  local suite
  suite=$(. /etc/os-release && printf '%s' "${VERSION_CODENAME:-}")
  [ -n "$suite" ] || fail "/etc/os-release names no VERSION_CODENAME"
  log "fetching Debian's qtbase-opensource-src $(host_qt_version)"
  fetch_debian_source "$suite" "qtbase-opensource-src=$(host_qt_version)" "$1"
}

build_qt() {
  local prefix
  prefix=$(qt_prefix)
  if [ -f "$prefix/.complete" ]; then
    # Built from the very source the archive holds, or it is not this Qt.
    if [ -f "$archived_qtbase/SHA256SUMS" ] && ! cmp -s "$archived_qtbase/SHA256SUMS" "$prefix/source/SHA256SUMS"; then
      fail "the cached Qt in $prefix was built from another qtbase source than $archived_qtbase (set KESTRIN_CACHE to a new folder)"
    fi
    log "static Qt for Windows found in $prefix"
    return 0
  fi
  log "building a static Qt for Windows into $prefix (about half an hour on two cores)"
  local work="$prefix.work"
  rm -rf "$work" "$prefix"
  mkdir -p "$work/src"
  # The qtbase source package: in an unpacked source archive the one beside it,
  # else Debian's, fetched.
  if [ -f "$archived_qtbase/SHA256SUMS" ]; then
    log "building Qt from the source archive's $archived_qtbase"
    local archived_version
    archived_version=$(sed -n 's/^Version: //p' "$archived_qtbase"/*.dsc)
    [ "$archived_version" = "$(host_qt_version)" ] \
      || fail "the archive's qtbase is $archived_version; Debian's Qt 5 here is $(host_qt_version)"
    (cd "$archived_qtbase" && sha256sum -c --quiet SHA256SUMS) || fail "$archived_qtbase does not match its SHA256SUMS"
    cp "$archived_qtbase"/*.dsc "$archived_qtbase"/*.orig.tar.* "$archived_qtbase"/*.debian.tar.* "$work/src/"
  else
    fetch_qt_source "$work/src"
  fi
  dpkg-source --no-check -x "$(ls "$work"/src/*.dsc)" "$work/src/qtbase" > "$work/unpack.log" 2>&1 \
    || { tail -n 20 "$work/unpack.log"; fail "the qtbase source could not be unpacked"; }
  local source="$work/src/qtbase"
  # The exact source this Qt is built from goes with it: Debian's source package
  # (orig tarball, patches, .dsc with their checksums), for the source archive
  # and the licence notices of what kestrin.exe links.
  mkdir -p "$prefix/source"
  cp "$work"/src/*.dsc "$work"/src/*.orig.tar.* "$work"/src/*.debian.tar.* "$prefix/source/"
  (cd "$prefix/source" && sha256sum -- * > SHA256SUMS)
  # qmake's win32-g++ calls the compilers by their plain names: those with posix
  # threads, as the program is built with.
  mkdir -p "$work/bin"
  local tool
  for tool in gcc g++; do ln -s "/usr/bin/$triple-$tool-posix" "$work/bin/$triple-$tool"; done
  # A fresh build folder every time: a reconfigure keeps the old feature cache.
  mkdir -p "$work/build"
  (cd "$work/build" && PATH="$work/bin:$PATH" "$source/configure" -prefix "$prefix" "${qt_options[@]}") \
     > "$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log"; fail "Qt configure failed (log: $work/configure.log)"; }
  PATH="$work/bin:$PATH" make -C "$work/build" -j"$(nproc)" > "$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log"; fail "Qt build failed (log: $work/build.log)"; }
  PATH="$work/bin:$PATH" make -C "$work/build" install > "$work/install.log" 2>&1 \
    || { tail -n 40 "$work/install.log"; fail "Qt install failed"; }
  touch "$prefix/.complete"
  rm -rf "$work"
}

ready_qt() {
  local prefix
  prefix=$(qt_prefix)
  [ -f "$prefix/.complete" ] || fail "no static Qt for Windows yet: run the qt step first"
  printf '%s' "$prefix"
}

build_exe() {
  local prefix
  prefix=$(ready_qt)
  # A build folder made against another Qt keeps it in CMake's cache: start afresh.
  if [ -d "$build_dir" ] && [ "$(cat "$build_dir/.kestrin-qt" 2>/dev/null || true)" != "$prefix" ]; then
    log "the Qt has changed: a fresh $build_dir"
    rm -rf "$build_dir"
  fi
  mkdir -p "$build_dir"
  printf '%s' "$prefix" > "$build_dir/.kestrin-qt"
  local tests=OFF linux_args=()
  if wants test; then
    tests=ON
    linux_args=("-DKESTRIN_LINUX_BUILD=$linux_build" "-DKESTRIN_WINE_TESTS=$($wine_runs_exe && echo ON || echo OFF)")
  fi
  cmake -S "$here" -B "$build_dir" -G Ninja \
    "-DCMAKE_TOOLCHAIN_FILE=$toolchain" "-DCMAKE_PREFIX_PATH=$prefix" "-DQT_DIR=$prefix/lib/cmake/Qt5" \
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_EXE_LINKER_FLAGS=-static -s" \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$windows/wine/run.sh" \
    "-DKESTRIN_BUILD_TESTS=$tests" "-DKESTRIN_DIST_DIR=$dist" "-DKESTRIN_WERROR=${KESTRIN_WERROR:-OFF}" \
    "-DKESTRIN_SOURCE_COMMIT=$commit" "-DKESTRIN_DISPLAY_VERSION=$version" \
    "${linux_args[@]}" \
    > "$build_dir/configure.log" 2>&1 \
    || { tail -n 40 "$build_dir/configure.log"; fail "configure failed"; }
  rm -f "$build_dir/.kestrin-commit"
  cmake --build "$build_dir" --parallel "$(nproc)"
  printf '%s' "$commit" > "$build_dir/.kestrin-commit"
  local exe="$build_dir/src/kestrin.exe"
  log "built $exe ($(stat -c %s "$exe") bytes)"
  # Nothing but what Windows 7 SP1 has may be imported.
  python3 "$windows/check-imports.py" "$triple-objdump" "$exe" || fail "kestrin.exe would not start on Windows 7 SP1"
}

# The notices of everything linked into kestrin.exe, gathered into
# build-windows/THIRD-PARTY-NOTICES.txt from the qtbase source the cached Qt was
# built from (unpacked with Debian's patches applied) and from the toolchain;
# made again when the Qt or the gathering changes.
notices="$build_dir/THIRD-PARTY-NOTICES.txt"
gather_notices() {
  local prefix key unpacked
  prefix=$(ready_qt)
  key=$(cat "$prefix/source/SHA256SUMS" "$here/scripts/gather-notices.py" | sha256sum | cut -c1-16)
  [ -f "$notices" ] && [ "$(cat "$notices.key" 2>/dev/null || true)" = "$key" ] && return 0
  unpacked=$(mktemp -d)
  at_exit rm -rf "$unpacked"
  dpkg-source --no-check -x "$(ls "$prefix"/source/*.dsc)" "$unpacked/qtbase" > "$build_dir/qtbase-unpack.log" 2>&1 \
    || { tail -n 20 "$build_dir/qtbase-unpack.log"; fail "the cached qtbase source could not be unpacked"; }
  python3 "$here/scripts/gather-notices.py" "$unpacked/qtbase" "$notices"
  printf '%s' "$key" > "$notices.key"
  rm -rf "$unpacked"
}

# The commit the built kestrin.exe was made from.
built_commit() {
  if [ ! -f "$build_dir/src/kestrin.exe" ] || [ ! -f "$build_dir/.kestrin-commit" ]; then
    fail "no kestrin.exe yet: run the exe step first"
  fi
  local built
  built=$(cat "$build_dir/.kestrin-commit")
  [ "$built" = "$commit" ] || fail "kestrin.exe was built from $built, the tree is now $commit: run the exe step again"
  printf '%s' "$built"
}

# The files a teacher gets, in a folder of their own.
stage_files() {
  local stage="$1" built
  built=$(built_commit)
  gather_notices
  cp "$build_dir/src/kestrin.exe" "$stage/kestrin.exe"
  sed -e "s/@VERSION@/$version/g" -e "s/@COMMIT@/$built/g" "$windows/使用说明.txt" > "$stage/使用说明.in"
  windows_text "$stage/使用说明.in" "$stage/使用说明.txt"
  rm -f "$stage/使用说明.in"
  windows_text "$here/LICENSE" "$stage/LICENSE.txt"
  windows_text "$notices" "$stage/THIRD-PARTY-NOTICES.txt"
}

make_zip() {
  local stage
  stage=$(mktemp -d)
  at_exit rm -rf "$stage"
  stage_files "$stage"
  # Names in code page 936, as the zip folders of Chinese Windows read them.
  (cd "$stage" && bsdtar --format zip --options zip:hdrcharset=CP936 -cf "$stage.zip" \
     kestrin.exe 使用说明.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
  at_exit rm -f "$stage.zip"
  publish "$stage.zip" "$dist" "Kestrin-$version-windows.zip" 'Kestrin-*-windows*.zip*'
}

make_setup() {
  local stage
  stage=$(mktemp -d)
  at_exit rm -rf "$stage"
  stage_files "$stage"
  cp "$windows/kestrin.ico" "$stage/kestrin.ico"
  makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" "-DVERSION_QUAD=$version_quad" "-DSTAGE=$stage" "-DOUTFILE=$stage/Kestrin-$version-setup.exe" \
    "$windows/kestrin.nsi"
  publish "$stage/Kestrin-$version-setup.exe" "$dist" "Kestrin-$version-setup.exe" 'Kestrin-*-setup.exe*'
}

# The project at the built commit (git archive), the qtbase source package the
# cached Qt was built from with its checksums, and how to build both again.
make_source() {
  local prefix stage top built
  prefix=$(ready_qt)
  built=$(built_commit)
  [ -e "$here/.git" ] || fail "the source step archives a git commit: run it in a checkout"
  case "$built" in
    *-dirty) fail "kestrin.exe was built from a checkout with uncommitted changes: commit them and build again; no source archive holds what this exe was built from" ;;
  esac
  stage=$(mktemp -d)
  at_exit rm -rf "$stage"
  top="Kestrin-$version-source"
  mkdir -p "$stage/$top/qtbase"
  git -C "$here" archive --format=tar --prefix="Kestrin-$version/" "$built" | tar -C "$stage/$top" -xf -
  printf '%s\n' "$built" > "$stage/$top/Kestrin-$version/.kestrin-commit"
  cp "$prefix"/source/* "$stage/$top/qtbase/"
  (cd "$stage/$top/qtbase" && sha256sum -c --quiet SHA256SUMS) || fail "the cached qtbase source does not match its checksums"
  cat > "$stage/$top/BUILDING.txt" <<EOF
Kestrin $version for Windows: the complete source of kestrin.exe

Kestrin-$version/   Kestrin at commit $built, from which kestrin.exe,
                    the zip and the setup program were built (the commit is
                    recorded in Kestrin-$version/.kestrin-commit)
qtbase/             Debian's source package of the Qt $(host_qt_version) that is
                    linked statically into kestrin.exe: the upstream tarball, Debian's
                    patches and the .dsc, with their SHA-256 sums in SHA256SUMS

To build it again on Debian 12 (amd64), as root or as a user with sudo, with no
git and no network but Debian's package archive (the script installs the Debian
packages it needs itself):

    cd Kestrin-$version
    ./dist.sh windows

The script builds the static Qt from the qtbase source package in ../qtbase (it
checks the SHA-256 sums first), with these options:

    ${qt_options[*]}

into ~/.cache/kestrin (KESTRIN_CACHE names another folder), then kestrin.exe, the
zip and the setup program into Kestrin-$version/dist/. Kestrin is free
software under the GNU GPL, version 3 or later (Kestrin-$version/LICENSE); the
notices of the code linked into kestrin.exe are in THIRD-PARTY-NOTICES.txt of the
zip and of the installed program.
EOF
  # Most of it is the qtbase tarball, compressed already: xz's lightest level does.
  tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner \
    --mtime="@$(git -C "$here" log -1 --format=%ct "$built")" -I 'xz -1 -T0' -cf "$stage/source.tar.xz" "$top"
  publish "$stage/source.tar.xz" "$dist" "Kestrin-$version-source.tar.xz" 'Kestrin-*-source.tar.xz*'
}

run_tests() {
  [ -x "$linux_build/src/app/tests/first_sheets" ] \
    || fail "no Linux build in $linux_build to compare with: run ./test.sh's build first"
  [ -f "$build_dir/CTestTestfile.cmake" ] || fail "no Windows build with tests: run the exe step with the test step"
  if ! $wine_runs_exe; then
    log "left out, as Wine cannot run the 32-bit kestrin.exe here: every test program of the" \
      "Windows build (built, not run), print.windows-refused-job, windows.first-sheets-match-linux," \
      "windows.kestrin-exe-under-wine, windows.kestrin-exe-under-wow64, windows.setup-under-wine," \
      "windows.setup-over-x64-under-wow64, windows.source-archive-rebuilds"
    (cd "$build_dir" && ctest --output-on-failure --no-tests=error --timeout 600)
    return
  fi
  # The test programs run one after another and side by side in one Wine prefix,
  # under one wineserver kept for the whole run (wine/env.sh says why).
  (
    # shellcheck source=wine/env.sh
    source "$here/packaging/windows/wine/env.sh"
    kestrin_wineserver_keep || fail "no wineserver could be kept for the tests"
    trap kestrin_wineserver_end EXIT
    # The font folder as a Windows path: a test that changes its working folder to
    # another drive (C:) finds it still.
    cd "$build_dir" && QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR="$(winepath_of "$build_dir/test-fonts")" \
      ctest --output-on-failure --no-tests=error --timeout 600 --parallel "$(nproc)"
  )
}

for step in "${known_steps[@]}"; do
  wants "$step" || continue
  case "$step" in
    deps) install_packages ;;
    qt) build_qt ;;
    exe) build_exe ;;
    zip) make_zip ;;
    setup) make_setup ;;
    source) make_source ;;
    test) run_tests ;;
  esac
done
