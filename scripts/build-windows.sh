#!/usr/bin/env bash
# Builds Kestrin for 64-bit Windows on this Debian machine and packs it:
#   dist/Kestrin-<version>-windows-x64.zip  (kestrin.exe and 使用说明.txt)
#
# Steps (all by default; name some to run only those):
#   deps  - Debian's MinGW-w64 toolchain, Wine and the host Qt tools
#   qt    - a static Qt for Windows, cross-built once from Debian's qtbase source
#           and kept in a cache folder outside the repository
#   exe   - kestrin.exe and the test programs, statically linked
#   zip   - the zip for teachers
#   test  - every test program under Wine, and the real kestrin.exe under Wine
#           and Xvfb against the Linux build's files (needs ./test.sh's build/)
#
# The Qt cache is $KESTRIN_CACHE (default ~/.cache/kestrin); it is keyed by the
# Qt version, the configure options and the toolchain, so a change to any of
# them builds a fresh Qt beside the old one.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

steps=("$@")
[ ${#steps[@]} -eq 0 ] && steps=(deps qt exe zip)
wants() { local s; for s in "${steps[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
log() { printf 'build-windows: %s\n' "$*"; }

toolchain="$here/cmake/mingw-w64-x86_64.cmake"
qt_options=(-static -static-runtime -release -nomake examples -nomake tests
  -no-pkg-config -no-icu -no-opengl -no-dbus -no-feature-sql -no-feature-network
  -no-feature-direct2d -no-feature-directwrite -no-feature-tabletevent
  -no-feature-zstd -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype
  -qt-harfbuzz -qt-doubleconversion)

install_packages() {
  local packages=(g++-mingw-w64-x86-64-posix wine wine64 qt6-base-dev qt6-base-dev-tools
                  perl dpkg-dev cmake ninja-build libarchive-tools xvfb xauth xdotool
                  fonts-noto-cjk fonts-dejavu-core)
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

host_qt_version() { dpkg-query -W -f='${Version}' qt6-base-dev; }

qt_prefix() {
  local cache="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}"
  local key
  key=$( { host_qt_version; printf '%s\n' "${qt_options[@]}"; cat "$toolchain";
           x86_64-w64-mingw32-g++-posix --version | head -n 1; } | sha256sum | cut -c1-12)
  local upstream
  upstream=$(host_qt_version | sed -E 's/^[0-9]+://; s/[+~-].*$//')
  printf '%s/qt-%s-mingw64-static-%s' "$cache" "$upstream" "$key"
}

# Debian's qtbase source of exactly the host Qt's version, through a private apt
# configuration whose deb-src entries are derived from the machine's own sources;
# the system's apt configuration is not touched and the private one is removed.
fetch_qt_source() {
  local into="$1" apt_dir
  apt_dir=$(mktemp -d)
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$apt_dir/archives/partial"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN{RS=""; ORS="\n\n"} /Types:[^\n]*deb/ && !/Enabled: *no/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" > "$apt_dir/parts/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n -E 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list"
  done
  touch "$apt_dir/sources.list"
  local apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
                  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::Archives=$apt_dir/archives"
                  -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=" -o "APT::Sandbox::User=root")
  log "fetching Debian's qt6-base $(host_qt_version) source"
  apt-get "${apt_opts[@]}" update -qq
  mkdir -p "$into"
  (cd "$into" && apt-get "${apt_opts[@]}" source -qq "qt6-base=$(host_qt_version)")
  rm -rf "$apt_dir"
}

build_qt() {
  local prefix
  prefix=$(qt_prefix)
  if [ -f "$prefix/.complete" ]; then
    log "static Qt for Windows found in $prefix"
    return 0
  fi
  log "building a static Qt for Windows into $prefix (about half an hour on two cores)"
  local work="$prefix.work"
  rm -rf "$work" "$prefix"
  mkdir -p "$work/src" "$prefix/share"
  # The installed Qt names its toolchain file for later builds: keep a copy of
  # it with the Qt, not a path into this checkout.
  cp "$toolchain" "$prefix/share/kestrin-mingw-w64.cmake"
  fetch_qt_source "$work/src"
  local source
  source=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  [ -n "$source" ] || { log "the qtbase source could not be unpacked"; exit 1; }
  # A fresh build folder every time: a reconfigure keeps the old feature cache.
  mkdir -p "$work/build"
  (cd "$work/build" && "$source/configure" -prefix "$prefix" "${qt_options[@]}" \
     -qt-host-path /usr -- -G Ninja "-DCMAKE_TOOLCHAIN_FILE=$prefix/share/kestrin-mingw-w64.cmake" \
     -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) > "$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log"; log "Qt configure failed (log: $work/configure.log)"; exit 1; }
  cmake --build "$work/build" --parallel "$(nproc)" > "$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log"; log "Qt build failed (log: $work/build.log)"; exit 1; }
  cmake --install "$work/build" > "$work/install.log" 2>&1 \
    || { tail -n 40 "$work/install.log"; log "Qt install failed"; exit 1; }
  touch "$prefix/.complete"
  rm -rf "$work"
}

build_dir="$here/build-windows"
linux_build="${KESTRIN_LINUX_BUILD:-$here/build}"

build_exe() {
  local prefix
  prefix=$(qt_prefix)
  [ -f "$prefix/.complete" ] || { log "no static Qt for Windows yet: run the qt step first"; exit 1; }
  mkdir -p "$build_dir"
  local tests=OFF linux_args=()
  if wants test; then
    tests=ON
    linux_args=("-DKESTRIN_LINUX_BUILD=$linux_build")
  fi
  cmake -S "$here" -B "$build_dir" -G Ninja \
    "-DCMAKE_TOOLCHAIN_FILE=$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_EXE_LINKER_FLAGS=-static -s" \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$here/scripts/wine-run.sh" \
    "-DKESTRIN_BUILD_TESTS=$tests" "${linux_args[@]}" > "$build_dir/configure.log" 2>&1 \
    || { tail -n 40 "$build_dir/configure.log"; log "configure failed"; exit 1; }
  cmake --build "$build_dir" --parallel "$(nproc)"
  local exe="$build_dir/src/kestrin.exe"
  log "built $exe ($(stat -c %s "$exe") bytes)"
  # Nothing but Windows' own DLLs may be imported.
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  local dll
  for dll in $imports; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|comdlg32.dll|\
      winspool.drv|imm32.dll|winmm.dll|ws2_32.dll|uxtheme.dll|dwmapi.dll|shlwapi.dll|version.dll|\
      netapi32.dll|userenv.dll|uuid.dll|setupapi.dll|wtsapi32.dll|msvcrt.dll|mpr.dll|comctl32.dll|\
      d3d9.dll|dxgi.dll|d3d11.dll|api-ms-win-*|authz.dll|secur32.dll|crypt32.dll|bcrypt.dll|\
      rpcrt4.dll|shcore.dll|dwrite.dll|d2d1.dll|ntdll.dll|winhttp.dll|iphlpapi.dll|opengl32.dll) ;;
      *) log "kestrin.exe imports $dll, which Windows does not bring"; exit 1 ;;
    esac
  done
}

make_zip() {
  local version
  version=$(sed -n -E 's/^project\(Kestrin VERSION ([0-9.]+).*/\1/p' "$here/CMakeLists.txt")
  local stage
  stage=$(mktemp -d)
  cp "$build_dir/src/kestrin.exe" "$stage/kestrin.exe"
  # Notepad reads UTF-8 with a byte order mark on every Windows; CR LF line ends.
  { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$here/packaging/windows/使用说明.txt"; } > "$stage/使用说明.txt"
  mkdir -p "$here/dist"
  rm -f "$here"/dist/Kestrin-*-windows-x64.zip
  local zip="$here/dist/Kestrin-$version-windows-x64.zip"
  # Names in code page 936, as the zip folders of Chinese Windows read them.
  (cd "$stage" && bsdtar --format zip --options zip:hdrcharset=CP936 -cf "$zip" kestrin.exe 使用说明.txt)
  rm -rf "$stage"
  log "packed $zip ($(stat -c %s "$zip") bytes)"
}

run_tests() {
  [ -x "$linux_build/src/app/tests/first_sheets" ] \
    || { log "no Linux build in $linux_build to compare with: run ./test.sh's build first"; exit 1; }
  (cd "$build_dir" && QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR="$build_dir/test-fonts" \
     ctest --output-on-failure --timeout 600 --parallel "$(nproc)" "$@")
}

for step in deps qt exe zip test; do
  wants "$step" || continue
  case "$step" in
    deps) install_packages ;;
    qt) build_qt ;;
    exe) build_exe ;;
    zip) make_zip ;;
    test) run_tests ;;
  esac
done
