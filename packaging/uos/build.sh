#!/usr/bin/env bash
# Builds Kestrin for the Chinese Linux desktops (统信UOS 20, 银河麒麟 V10, Deepin
# 20/23) and the older Debian and Ubuntu releases, on x86-64 and ARM64, as the
# UOS and Deepin app stores lay packages out (everything under
# /opt/apps/cn.kestrin.kestrin):
#   dist/cn.kestrin.kestrin_<version>_amd64.deb
#   dist/cn.kestrin.kestrin_<version>_arm64.deb
#   dist/cn.kestrin.kestrin_<version>_source.tar.xz   this project at the built
#                          commit and the Debian source packages of Qt and ICU
#
# The program links a static Qt 5.15 (xcb platform, CUPS printing, fontconfig)
# and ICU statically, and libstdc++ and libgcc too; both are built in a Debian 11
# (bullseye) root, arm64 with Debian's cross compiler there, and libm's pow, exp
# and log functions are bound to their old symbol versions (glibc-compat.c): the
# program then needs nothing newer than glibc 2.28 (UOS 20) and only base libraries.
#
# Steps (deps roots qt app deb by default, and source in a git checkout; name
# some to run only those; KESTRIN_UOS_ARCHES="amd64" builds only that one):
#   deps    - mmdebstrap, qemu-user-static and dpkg's tools on this machine
#   roots   - the Debian 11 build roots (root.sh), made once
#   icu     - ICU per architecture, static, from Debian's icu source, kept in the cache
#   qt      - the static Qt per architecture, built once into the cache from
#             Debian's qtbase-opensource-src, which is kept beside it
#   app     - kestrin (and first_sheets for the check), per architecture, in build-uos-<arch>
#   deb     - the packages
#   source  - the source archive
# The Qt cache is $KESTRIN_CACHE (default ~/.cache/kestrin), keyed by the Qt
# version, its options and the build root; the roots are in
# /var/cache/kestrin-debroot. Runs as root or as a user with sudo (the roots,
# chroot and mounts go through sudo; all that is built belongs to the caller).
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
uos="$here/packaging/uos"
cd "$here"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"

known_steps=(deps roots icu qt app deb source)
steps=("$@")
if [ ${#steps[@]} -eq 0 ]; then
  steps=(deps roots icu qt app deb)
  [ ! -e "$here/.git" ] || steps+=(source)
fi
refuse_unknown_steps
read -r -a arches <<<"${KESTRIN_UOS_ARCHES:-amd64 arm64}"
for arch in "${arches[@]}"; do refuse_unknown architecture "$arch" amd64 arm64; done

appid=cn.kestrin.kestrin
cache="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}"
debroots="${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}"
dist="$here/dist"
qt_source_version=5.15.8+dfsg-11+deb12u3
icu_source_version=72.1-3+deb12u1
sources_suite=bookworm

# Only what the program uses: widgets and printing through CUPS on the xcb
# platform, fonts through fontconfig and the system's FreeType (the program
# calls ICU itself for GBK, see icu_options); # no OpenGL, D-Bus, GLib, SQL or network.
qt_options=(-opensource -confirm-license -static -release -make libs -nomake examples -nomake tests
  -no-icu -fontconfig -system-freetype -cups -xcb -bundled-xcb-xinput -no-xcb-xlib -xkbcommon
  -no-opengl -no-dbus -no-glib -no-gtk -no-feature-sql -no-feature-network -no-feature-sessionmanager
  -no-feature-concurrent -no-feature-testlib -no-feature-xml
  -no-feature-vulkan -no-libudev -no-evdev -no-libinput -no-mtdev -no-tslib -no-gbm -no-kms
  -no-linuxfb -no-eglfs -no-directfb -no-zstd -no-journald -no-syslog -no-openssl -no-libjpeg
  -qt-zlib -qt-pcre -qt-libpng -qt-harfbuzz -qt-doubleconversion)

# ICU's common library and its data, static, for the program's GBK converter.
icu_options=(--enable-static --disable-shared --disable-extras --disable-samples --disable-tests
  --disable-layoutex --disable-icuio --with-data-packaging=static)

# version, version_quad (the app stores' info file wants four numbers: 2.0 is
# 2.0.0.0) and commit, "-dirty" in both for uncommitted changes.
kestrin_version_and_commit "$here"
# In an unpacked source archive, the Debian source packages beside the project.
archived="$(dirname "$here")"
[ ! -e "$here/.git" ] || archived=/nonexistent

root_path() { as_root env "KESTRIN_DEBROOT_CACHE=$debroots" "$uos/root.sh" path "$1" | tail -n 1; }
# in_build_root ARCH CMD...: CMD in that architecture's build root, as the caller,
# with the checkout and the cache at their own paths.
in_build_root() {
  local arch="$1"
  shift
  as_root env "KESTRIN_DEBROOT_CACHE=$debroots" "$uos/root.sh" run "build-$arch" "$(id -u):$(id -g)" \
    "$here,$cache" -- "$@"
}
# Debian 11's CMake (3.18) is older than the project wants: this machine's own
# CMake runs in the build roots, with its libraries and its own dynamic loader
# copied beside it into the cache (bin/cmake starts it through that loader, so
# nothing of the root's older glibc is mixed in; what it starts is the root's).
cmake_kit() {
  local v dir
  v=$(cmake --version | sed -n 's/^cmake version //p')
  dir="$cache/cmake-$v-kit"
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir"
    mkdir -p "$dir/bin" "$dir/lib" "$dir/libexec" "$dir/share"
    cp /usr/bin/cmake "$dir/libexec/cmake"
    ldd /usr/bin/cmake | awk '$2 == "=>" && $3 ~ /^\// { print $3 }' | xargs cp -L -t "$dir/lib"
    cp -L "$(ldd /usr/bin/cmake | awk '$1 ~ /^\/.*ld-linux/ { print $1 }')" "$dir/lib/ld.so"
    cp -a "/usr/share/cmake-${v%.*}" "$dir/share/"
    # shellcheck disable=SC2016 # $0 and $@ are the wrapper's own
    printf '#!/bin/sh\nexec "%s/lib/ld.so" --library-path "%s/lib" --argv0 "$0" "%s/libexec/cmake" "$@"\n' \
      "$dir" "$dir" "$dir" > "$dir/bin/cmake"
    chmod 755 "$dir/bin/cmake"
    touch "$dir/.complete"
  fi
  printf '%s' "$dir/bin/cmake"
}
triple_of() { case "$1" in amd64) echo x86_64-linux-gnu ;; arm64) echo aarch64-linux-gnu ;; esac; }

# A Debian source package, fetched once into the cache with its SHA-256 sums
# (or taken from the unpacked source archive, after checking them).
debian_source() {
  local name="$1" suite="$2" wanted_version="$3" dir
  dir="$cache/debian-source/$name-$wanted_version"
  if [ -f "$archived/$name/SHA256SUMS" ]; then
    (cd "$archived/$name" && sha256sum -c --quiet SHA256SUMS) || fail "$archived/$name does not match its SHA256SUMS"
    printf '%s' "$archived/$name"
    return 0
  fi
  if [ ! -f "$dir/SHA256SUMS" ]; then
    log "fetching Debian's $name $wanted_version ($suite)" >&2
    rm -rf "$dir.new"
    fetch_debian_source "$suite" "$name=$wanted_version" "$dir.new" >&2
    (cd "$dir.new" && sha256sum -- * > SHA256SUMS)
    rm -rf "$dir"
    mv "$dir.new" "$dir"
  fi
  printf '%s' "$dir"
}
qt_source() { debian_source qtbase-opensource-src "$sources_suite" "$qt_source_version"; }
icu_source() { debian_source icu "$sources_suite" "$icu_source_version"; }

# cached_prefix NAME VERSION ARCH OPTION...: where the static NAME for ARCH is
# kept in the cache, keyed by its source version, its options and the build root.
cached_prefix() {
  local name="$1" source_version="$2" arch="$3" key
  shift 3
  key=$( { echo uos-1; echo "$source_version $arch"; printf '%s\n' "$@"; basename "$(root_path "build-$arch")"; } \
    | sha256sum | cut -c1-12)
  printf '%s/%s-%s-uos-%s-static-%s' "$cache" "$name" "${source_version%%[-+]*}" "$arch" "$key"
}
icu_prefix() { cached_prefix icu "$icu_source_version" "$1" "${icu_options[@]}"; }
qt_prefix() { cached_prefix qt "$qt_source_version" "$1" "${qt_options[@]}"; }

# ICU, static, into the cache; the amd64 one keeps its build folder, whose
# tools the arm64 cross build runs.
build_icu() {
  local arch="$1" prefix work src cross=()
  prefix=$(icu_prefix "$arch")
  if [ -f "$prefix/.complete" ]; then
    log "static ICU for $arch found in $prefix"
    return 0
  fi
  if [ "$arch" = arm64 ]; then
    build_icu amd64
    cross=(--host=aarch64-linux-gnu "--with-cross-build=$(icu_prefix amd64)/native-build")
  fi
  src=$(icu_source)
  work="$prefix.work"
  log "building ICU for $arch into $prefix"
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix/source" "$prefix/native-build"
  cp "$src"/* "$prefix/source/"
  dpkg-source --no-check -x "$(ls "$src"/*.dsc)" "$work/icu" > "$work/unpack.log" 2>&1 \
    || { tail -n 20 "$work/unpack.log"; fail "the icu source could not be unpacked"; }
  # shellcheck disable=SC2016 # the inner shell's arguments
  in_build_root "$arch" sh -c 'cd "$1" && shift && "$@" && make -j"$(nproc)" && make install' sh "$prefix/native-build" \
    env CFLAGS="-O2 -fPIC" CXXFLAGS="-O2 -fPIC" "$work/icu/source/configure" "--prefix=$prefix" "${icu_options[@]}" "${cross[@]}" \
    > "$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; fail "ICU for $arch failed (log: $work/build.log)"; }
  [ "$arch" = amd64 ] || rm -rf "$prefix/native-build"
  touch "$prefix/.complete"
  rm -rf "$work"
}

build_qt() {
  local arch="$1" prefix src work triple
  prefix=$(qt_prefix "$arch")
  if [ -f "$prefix/.complete" ]; then
    if [ -f "$archived/qtbase-opensource-src/SHA256SUMS" ] \
       && ! cmp -s "$archived/qtbase-opensource-src/SHA256SUMS" "$prefix/source/SHA256SUMS"; then
      fail "the cached Qt in $prefix was built from another qtbase source than the archive's (set KESTRIN_CACHE to a new folder)"
    fi
    log "static Qt for $arch found in $prefix"
    return 0
  fi
  src=$(qt_source)
  work="$prefix.work"
  log "building a static Qt for $arch into $prefix (about half an hour on two cores)"
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix/source"
  cp "$src"/* "$prefix/source/"
  dpkg-source --no-check -x "$(ls "$src"/*.dsc)" "$work/qtbase" > "$work/unpack.log" 2>&1 \
    || { tail -n 20 "$work/unpack.log"; fail "the qtbase source could not be unpacked"; }
  triple=$(triple_of "$arch")
  local cross=()
  [ "$arch" = amd64 ] || cross=(-xplatform linux-aarch64-gnu-g++ -pkg-config)
  mkdir -p "$work/build"
  # shellcheck disable=SC2016 # the inner shell's arguments
  in_build_root "$arch" sh -c 'cd "$1" && shift && exec "$@"' sh "$work/build" \
    env "PKG_CONFIG_LIBDIR=/usr/lib/$triple/pkgconfig:/usr/share/pkgconfig" PKG_CONFIG_SYSROOT_DIR=/ \
    "$work/qtbase/configure" -prefix "$prefix" "${qt_options[@]}" "${cross[@]}" \
    > "$work/configure.log" 2>&1 \
    || { tail -n 40 "$work/configure.log"; fail "Qt configure failed (log: $work/configure.log)"; }
  in_build_root "$arch" make -C "$work/build" -j"$(nproc)" > "$work/build.log" 2>&1 \
    || { tail -n 40 "$work/build.log"; fail "Qt build failed (log: $work/build.log)"; }
  in_build_root "$arch" make -C "$work/build" install > "$work/install.log" 2>&1 \
    || { tail -n 40 "$work/install.log"; fail "Qt install failed (log: $work/install.log)"; }
  cp "$work/configure.log" "$prefix/configure.log"
  touch "$prefix/.complete"
  rm -rf "$work"
}

ready_qt() {
  local prefix
  prefix=$(qt_prefix "$1")
  [ -f "$prefix/.complete" ] || fail "no static Qt for $1 yet: run the qt step first"
  printf '%s' "$prefix"
}

build_app() {
  local arch="$1" prefix build triple
  prefix=$(ready_qt "$arch")
  build="$here/build-uos-$arch"
  triple=$(triple_of "$arch")
  if [ -d "$build" ] && [ "$(cat "$build/.kestrin-qt" 2>/dev/null || true)" != "$prefix" ]; then
    log "the Qt has changed: a fresh $build"
    rm -rf "$build"
  fi
  mkdir -p "$build"
  printf '%s' "$prefix" > "$build/.kestrin-qt"
  in_build_root "$arch" "$triple-gcc" -O2 -fno-builtin -c "$uos/glibc-compat.c" -o "$build/glibc-compat.o"
  local wrapped=pow,--wrap=exp,--wrap=exp2,--wrap=log,--wrap=log2
  local toolchain=()
  [ "$arch" = amd64 ] || toolchain=("-DCMAKE_TOOLCHAIN_FILE=$uos/aarch64-linux-gnu.cmake")
  local cmake
  cmake=$(cmake_kit)
  in_build_root "$arch" "$cmake" -S "$here" -B "$build" -G Ninja "${toolchain[@]}" \
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_PREFIX_PATH=$prefix" \
    "-DICU_ROOT=$(icu_prefix "$arch")" "-DCMAKE_CXX_STANDARD_LIBRARIES=-ldl -lpthread" \
    "-DCMAKE_EXE_LINKER_FLAGS=-static-libstdc++ -static-libgcc -Wl,--wrap=$wrapped -Wl,--gc-sections $build/glibc-compat.o" \
    -DKESTRIN_BUILD_TESTS=OFF -DKESTRIN_BUILD_FIRST_SHEETS=ON -DKESTRIN_WERROR=OFF \
    "-DKESTRIN_SOURCE_COMMIT=$commit" "-DKESTRIN_DISPLAY_VERSION=$version" \
    > "$build/configure.log" 2>&1 || { tail -n 40 "$build/configure.log"; fail "configure for $arch failed"; }
  rm -f "$build/.kestrin-commit"
  # first_sheets (every kind's first files) is for packaging/uos/check.sh, not in the package.
  in_build_root "$arch" "$cmake" --build "$build" --target kestrin first_sheets --parallel "$(nproc)" \
    > "$build/build.log" 2>&1 || { tail -n 40 "$build/build.log"; fail "kestrin for $arch failed (log: $build/build.log)"; }
  in_build_root "$arch" "$triple-strip" -o "$build/kestrin.stripped" "$build/src/kestrin"
  printf '%s' "$commit" > "$build/.kestrin-commit"
  log "built $build/src/kestrin for $arch ($(stat -c %s "$build/kestrin.stripped") bytes stripped)"
}

# The licence notices of what the program carries (notices.py): Qt's, ICU's and
# those of GCC's runtime libraries, from the sources the caches were built from.
make_notices() {
  local out="$1" unpacked qt icu root
  qt=$(qt_source)
  icu=$(icu_source)
  root=$(root_path build-amd64)
  unpacked=$(mktemp -d)
  at_exit rm -rf "$unpacked"
  dpkg-source --no-check -x "$(ls "$qt"/*.dsc)" "$unpacked/qtbase" > "$unpacked/log" 2>&1 \
    || { tail -n 20 "$unpacked/log"; fail "the qtbase source could not be unpacked"; }
  dpkg-source --no-check -x "$(ls "$icu"/*.dsc)" "$unpacked/icu" > "$unpacked/log" 2>&1 \
    || { tail -n 20 "$unpacked/log"; fail "the icu source could not be unpacked"; }
  python3 "$uos/notices.py" "$unpacked/qtbase" "$unpacked/icu" "$root/usr/share/doc/gcc-10-base/copyright" "$out"
  rm -rf "$unpacked"
}

built_commit() {
  local build="$here/build-uos-$1"
  if [ ! -f "$build/kestrin.stripped" ] || [ ! -f "$build/.kestrin-commit" ]; then
    fail "no kestrin for $1 yet: run the app step first"
  fi
  local built
  built=$(cat "$build/.kestrin-commit")
  [ "$built" = "$commit" ] || fail "kestrin for $1 was built from $built, the tree is now $commit: run the app step again"
  printf '%s' "$built"
}

make_deb() {
  local arch="$1" stage top root depends notices
  built_commit "$arch" > /dev/null
  stage=$(mktemp -d)
  at_exit rm -rf "$stage"
  top="$stage/pkg/opt/apps/$appid"
  mkdir -p "$top/files/bin" "$top/files/doc" "$top/entries/applications" "$stage/pkg/DEBIAN" \
    "$stage/pkg/usr/share/applications" "$stage/pkg/usr/share/doc/$appid"
  install -m 755 "$here/build-uos-$arch/kestrin.stripped" "$top/files/bin/kestrin"
  install -m 644 "$here/LICENSE" "$top/files/doc/LICENSE"
  notices="$here/build-uos-$arch/THIRD-PARTY-NOTICES"
  make_notices "$notices"
  install -m 644 "$notices" "$top/files/doc/THIRD-PARTY-NOTICES"
  sed "s/@ARCH@/$arch/; s/@VERSION@/$version_quad/" "$uos/info.in" > "$top/info"
  chmod 644 "$top/info"
  # The shared menu entry, starting the program where the app stores put it.
  sed -e "s|^Exec=kestrin\$|Exec=/opt/apps/$appid/files/bin/kestrin|" -e "s|^Icon=.*|Icon=$appid|" \
    "$here/packaging/cn.kestrin.Kestrin.desktop" > "$top/entries/applications/$appid.desktop"
  grep -qx "Exec=/opt/apps/$appid/files/bin/kestrin" "$top/entries/applications/$appid.desktop" \
    || fail "packaging/cn.kestrin.Kestrin.desktop's Exec line is not 'Exec=kestrin'"
  chmod 644 "$top/entries/applications/$appid.desktop"
  # Links from /usr into /opt are absolute, as Debian's policy wants between top-level folders.
  ln -s "/opt/apps/$appid/entries/applications/$appid.desktop" "$stage/pkg/usr/share/applications/$appid.desktop"
  local icon size
  for icon in "$here"/packaging/icons/hicolor/*/apps/*; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    mkdir -p "$top/entries/icons/hicolor/$size/apps" "$stage/pkg/usr/share/icons/hicolor/$size/apps"
    install -m 644 "$icon" "$top/entries/icons/hicolor/$size/apps/$appid.${icon##*.}"
    ln -s "/opt/apps/$appid/entries/icons/hicolor/$size/apps/$appid.${icon##*.}" \
      "$stage/pkg/usr/share/icons/hicolor/$size/apps/$appid.${icon##*.}"
  done
  install -m 644 "$uos/copyright" "$stage/pkg/usr/share/doc/$appid/copyright"
  # A version with a revision (2.0-dirty) is no native package's: Debian names its changelog so.
  local changelog=changelog.gz
  [[ "$version" != *-* ]] || changelog=changelog.Debian.gz
  gzip -9nc "$uos/changelog" > "$stage/pkg/usr/share/doc/$appid/$changelog"
  # The libraries it needs, as dpkg-shlibdeps reads them in the build root.
  root=$(root_path "build-$arch")
  mkdir -p "$here/build-uos-$arch/shlibs/debian"
  printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$appid" "$appid" > "$here/build-uos-$arch/shlibs/debian/control"
  # shellcheck disable=SC2016 # the inner shell's arguments
  in_build_root "$arch" sh -c 'cd "$1" && dpkg-architecture -a"$2" -c dpkg-shlibdeps -O -e "$3"' sh \
    "$here/build-uos-$arch/shlibs" "$arch" "$here/build-uos-$arch/kestrin.stripped" > "$stage/shlibs" \
    || fail "dpkg-shlibdeps for $arch"
  depends=$(sed -n 's/^shlibs:Depends=//p' "$stage/shlibs")
  [ -n "$depends" ] || fail "dpkg-shlibdeps named no libraries"
  sed -e "s/@ARCH@/$arch/" -e "s/@VERSION@/$version/" -e "s/@DEPENDS@/$depends/" \
    -e "s/@SIZE@/$(du -sk --apparent-size "$stage/pkg" | cut -f1)/" "$uos/control.in" > "$stage/pkg/DEBIAN/control"
  find "$stage/pkg" -type d -exec chmod 755 {} +
  (cd "$stage/pkg" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z | xargs -0 md5sum > DEBIAN/md5sums)
  local name="${appid}_${version}_$arch.deb"
  dpkg-deb --root-owner-group -Zxz --build "$stage/pkg" "$stage/$name" > /dev/null
  publish "$stage/$name" "$dist" "$name" "${appid}_*_$arch.deb*"
}

make_source() {
  local built stage top qt icu
  [ -e "$here/.git" ] || fail "the source step archives a git commit: run it in a checkout"
  built=$(built_commit "${arches[0]}")
  case "$built" in
    *-dirty) fail "kestrin was built from a checkout with uncommitted changes: commit them and build again" ;;
  esac
  qt=$(qt_source)
  icu=$(icu_source)
  stage=$(mktemp -d)
  at_exit rm -rf "$stage"
  top="${appid}_${version}_source"
  mkdir -p "$stage/$top/qtbase-opensource-src" "$stage/$top/icu"
  git -C "$here" archive --format=tar --prefix="Kestrin-$version/" "$built" | tar -C "$stage/$top" -xf -
  printf '%s\n' "$built" > "$stage/$top/Kestrin-$version/.kestrin-commit"
  cp "$qt"/* "$stage/$top/qtbase-opensource-src/"
  cp "$icu"/* "$stage/$top/icu/"
  local d
  for d in qtbase-opensource-src icu; do
    (cd "$stage/$top/$d" && sha256sum -c --quiet SHA256SUMS) || fail "the $d source does not match its checksums"
  done
  sed -e "s/@VERSION@/$version/g" -e "s/@COMMIT@/$built/g" -e "s/@QT@/$qt_source_version/g" \
    -e "s/@ICU@/$(basename "$icu" | sed 's/^icu-//')/g" -e "s/@QT_OPTIONS@/${qt_options[*]}/" \
    "$uos/BUILDING.txt.in" > "$stage/$top/BUILDING.txt"
  tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner \
    --mtime="@$(git -C "$here" log -1 --format=%ct "$built")" -I 'xz -1 -T0' -cf "$stage/source.tar.xz" "$top"
  publish "$stage/source.tar.xz" "$dist" "${top}.tar.xz" "${appid}_*_source.tar.xz*"
}

for step in "${known_steps[@]}"; do
  wants "$step" || continue
  started=$SECONDS
  case "$step" in
    deps) need_packages mmdebstrap qemu-user-static binfmt-support dpkg-dev xz-utils python3 git cmake ;;
    roots) for arch in "${arches[@]}"; do root_path "build-$arch" > /dev/null; done ;;
    icu) for arch in "${arches[@]}"; do build_icu "$arch"; done ;;
    qt) for arch in "${arches[@]}"; do build_qt "$arch"; done ;;
    app) for arch in "${arches[@]}"; do build_app "$arch"; done ;;
    deb) for arch in "${arches[@]}"; do make_deb "$arch"; done ;;
    source) make_source ;;
  esac
  log "step $step: $((SECONDS - started)) s"
done
