#!/usr/bin/env bash
# The Debian roots of the UOS/Kylin/Deepin packages (as root; build.sh and
# check.sh run it through sudo):
#   root.sh path NAME                  the folder of root NAME (made once, kept)
#   root.sh run NAME UID:GID DIR[,DIR...] -- CMD [ARG...]
#                                      CMD in root NAME as UID:GID, with /proc
#                                      and the folders DIR bound at their own paths
#
# NAME is one of
#   build-amd64   Debian 11 (bullseye) amd64 with GCC and the -dev packages of the
#                 base libraries the program links: Qt and Kestrin for amd64
#   build-arm64   the same with Debian's cross compiler and the arm64 -dev packages
#   bullseye-amd64, bullseye-arm64, trixie-amd64
#                 bare roots (minbase) the packages are installed into; arm64 runs
#                 through qemu-user-static. check.sh works on copies of them.
# Roots are made by mmdebstrap from Debian's archive (KESTRIN_DEBIAN_MIRROR names
# another mirror) into $KESTRIN_DEBROOT_CACHE (default /var/cache/kestrin-debroot),
# under a name that holds a key of what went into them, and count as made once
# their .complete marker is there.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
[ "$(id -u)" -eq 0 ] || fail "needs root (build.sh and check.sh run it through sudo)"
cache="${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}"

# The -dev packages of what Qt's xcb platform, fonts and printing link (ICU is
# built by build.sh from Debian's source).
dev_packages=(libfontconfig1-dev libfreetype6-dev libx11-dev libx11-xcb-dev libxcb1-dev
  libxcb-icccm4-dev libxcb-image0-dev libxcb-keysyms1-dev libxcb-randr0-dev libxcb-render0-dev
  libxcb-render-util0-dev libxcb-shape0-dev libxcb-shm0-dev libxcb-sync-dev libxcb-xfixes0-dev
  libxcb-xinerama0-dev libxcb-xkb-dev libxcb-xinput-dev libxkbcommon-dev libxkbcommon-x11-dev
  libcups2-dev)
tools=(build-essential perl python3 pkg-config ninja-build file dpkg-dev xz-utils)

name="${2:-}"
suite=bullseye
arches=amd64
packages=()
case "$name" in
  build-amd64) packages=("${tools[@]}" "${dev_packages[@]}") ;;
  build-arm64)
    arches=amd64,arm64
    packages=("${tools[@]}" crossbuild-essential-arm64)
    for p in "${dev_packages[@]}"; do packages+=("$p:arm64"); done
    ;;
  bullseye-amd64) ;;
  bullseye-arm64) arches=arm64 ;;
  trixie-amd64) suite=trixie ;;
  *) fail "unknown root '$name'; known: build-amd64 build-arm64 bullseye-amd64 bullseye-arm64 trixie-amd64" ;;
esac
key=$( { echo 2; echo "$suite $arches"; printf '%s\n' "${packages[@]}"; } | sha256sum | cut -c1-10)
root="$cache/uos-$name-$key"

make_root() {
  mkdir -p "$cache"
  exec 9>"$root.lock"
  flock 9
  make_root_locked
  exec 9>&-
}
make_root_locked() {
  [ ! -f "$root/.complete" ] || return 0
  case "$arches" in
    *arm64*)
      # Foreign binaries run through qemu (mmdebstrap runs arm64's maintainer scripts).
      need_packages qemu-user-static binfmt-support
      mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
      update-binfmts --enable qemu-aarch64 2>/dev/null || true
      ;;
  esac
  log "making the Debian $suite root $name ($arches) in $root (once, a few minutes)"
  local sources log_file
  rm -rf --one-file-system "$root.new" "$root"
  sources=$(mktemp)
  log_file="$root.log"
  if [ "$suite" = bullseye ]; then
    # Debian 11 as its last point release made it (and its updates suite): the
    # mirror's bullseye-security pool lacks packages its index names.
    debian_sources deb "$suite" | awk '/^$/ { exit } { print }' > "$sources"
  else
    debian_sources deb "$suite" > "$sources"
  fi
  local include=()
  [ ${#packages[@]} -eq 0 ] || include=("--include=$(IFS=,; printf '%s' "${packages[*]}")")
  mmdebstrap --variant=minbase --mode=root "--architectures=$arches" "${include[@]}" \
    "$suite" "$root.new" "$sources" > "$log_file" 2>&1 || { rm -f "$sources"; tail -n 30 "$log_file"; fail "mmdebstrap $name"; }
  rm -f "$sources"
  touch "$root.new/.complete"
  mv "$root.new" "$root"
}

case "${1:-}" in
  path)
    make_root
    printf '%s\n' "$root"
    ;;
  run)
    if [ "${5:-}" != -- ] || [ $# -lt 6 ]; then fail "usage: root.sh run NAME UID:GID DIR[,DIR...] -- CMD [ARG...]"; fi
    user="$3"
    IFS=, read -r -a binds <<<"$4"
    shift 5
    make_root
    mounted=()
    unmount_all() {
      local i
      for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || umount -l "${mounted[i]}"; done
    }
    at_exit unmount_all
    mount -t proc proc "$root/proc"
    mounted+=("$root/proc")
    for dir in "${binds[@]}"; do
      mkdir -p "$root$dir"
      mount --bind "$dir" "$root$dir"
      mounted+=("$root$dir")
      # The root's own folders above it (its /root is closed) let the user through.
      up=$(dirname "$dir")
      while [ "$up" != / ] && ! mountpoint -q "$root$up"; do
        chmod o+x "$root$up"
        up=$(dirname "$up")
      done
    done
    chroot --userspec="$user" "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin \
      HOME=/tmp LANG=C.UTF-8 "$@"
    ;;
  *) fail "usage: root.sh path NAME | root.sh run NAME UID:GID DIR[,DIR...] -- CMD [ARG...]" ;;
esac
