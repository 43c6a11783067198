#!/usr/bin/env bash
# The part of packaging/debian/check.sh that needs root (mmdebstrap, chroot, mount):
#   packaging/debian/check-install.sh PACKAGE.deb   (as root; check.sh runs it through sudo)
#
# Into a fresh root of this machine's Debian release (VERSION_CODENAME in
# /etc/os-release), made by mmdebstrap from Debian's archive (its release, updates
# and security suites; KESTRIN_DEBIAN_MIRROR names another mirror of it), apt-get
# installs the package and what it depends on; the program, started by the menu
# entry's Exec line with the offscreen platform as an ordinary user in the home
# folder, comes up, draws its Chinese text with the CJK fonts and stays up until
# it is ended; apt-get remove then leaves none of the package's files.
#
# The bare root is made once and kept in $KESTRIN_DEBROOT_CACHE (default
# /var/cache/kestrin-debroot), one per release, with the packages downloaded into
# it; every check works on a fresh copy in /var/tmp. Nothing is written outside
# that cache and a temporary folder, which is removed however this ends; the
# folders of a run that was killed (with their mounts) are cleaned up by the next.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/lib.sh
source "$here/scripts/lib.sh"
# shellcheck source=../../scripts/root-check.sh
source "$here/scripts/root-check.sh"

if [ $# -ne 1 ] || [ ! -f "$1" ]; then echo "usage: packaging/debian/check-install.sh PACKAGE.deb" >&2; exit 2; fi
[ "$(id -u)" -eq 0 ] || fail "packaging/debian/check-install.sh needs root (packaging/debian/check.sh runs it through sudo)"
deb="$(realpath "$1")"
cache="${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}"
up_seconds=5

suite=$(. /etc/os-release && printf '%s' "${VERSION_CODENAME:-}")
[ -n "$suite" ] || fail "/etc/os-release names no VERSION_CODENAME"
mirror=$(debian_mirror)

check_folder deb
root="$work/root"
pid=
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  if mountpoint -q "$root/proc" 2>/dev/null; then umount "$root/proc" || umount -l "$root/proc"; fi
  rm -rf --one-file-system "$work"
}
at_exit cleanup

files="$work/files"
dpkg-deb -x "$deb" "$files"
entry=$(find "$files/usr/share/applications" -name '*.desktop' | head -n 1)
exec_line=$(sed -n 's/^Exec=//p' "$entry")
packaged=$(sha256sum < "$files/usr/bin/kestrin" | cut -d' ' -f1)

bare="$cache/$suite"
mkdir -p "$cache"
exec 9>"$cache/$suite.lock"
flock 9
if [ ! -f "$bare/.complete" ]; then
  log "making a bare Debian $suite root in $bare from $mirror (once, a few minutes)"
  rm -rf --one-file-system "$bare.new" "$bare"
  debian_sources deb "$suite" > "$work/debian.sources"
  mmdebstrap --variant=minbase --mode=root "$suite" "$bare.new" "$work/debian.sources" \
    > "$work/mmdebstrap.log" 2>&1 || { tail -n 20 "$work/mmdebstrap.log"; fail "mmdebstrap"; }
  touch "$bare.new/.complete"
  mv "$bare.new" "$bare"
fi
cp -a "$bare" "$root"
flock -u 9
mount -t proc proc "$root/proc"
log "apt-get install ./$(basename "$deb") in a fresh Debian $suite"
install_in_root "$deb" "$cache/archives-$suite" --no-install-recommends

installed=$(sha256sum < "$root/usr/bin/kestrin" | cut -d' ' -f1)
[ "$installed" = "$packaged" ] || fail "the installed /usr/bin/kestrin is not the packaged program"

# As a launcher starts it: the Exec line without field codes, in the user's home.
in_root useradd --create-home --shell /bin/sh li
command=$(printf '%s' "$exec_line" | sed -E 's/ ?%[fFuUdDnNickvm]//g')
log "starting '$command' from the menu entry, QT_QPA_PLATFORM=offscreen, as user li in /home/li"
chroot --userspec=li:li "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/home/li USER=li \
  LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  sh -c "cd \"\$HOME\" && exec $command" > "$work/program.log" 2>&1 &
pid=$!

# Up: running the installed program on the offscreen platform, its windows'
# Chinese text drawn with a Noto CJK face.
is_installed_program() { [ "$(readlink "/proc/$pid/exe" 2>/dev/null || true)" = "$root/usr/bin/kestrin" ]; }
on_offscreen() { grep -qF "$root/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqoffscreen.so" "/proc/$pid/maps" 2>/dev/null; }
drew_cjk() { grep -F "$root/usr/share/fonts/opentype/noto/Noto" "/proc/$pid/maps" 2>/dev/null | grep -q CJK; }
said() { if "$@"; then echo yes; else echo no; fi; }
up=
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  if is_installed_program && on_offscreen && drew_cjk; then
    up=1
    break
  fi
  sleep 0.2
done
if [ -z "$up" ]; then
  cat "$work/program.log"
  fail "the installed program did not come up within 20 s (running: $(said kill -0 "$pid" 2>/dev/null)," \
       "/usr/bin/kestrin: $(said is_installed_program), offscreen platform: $(said on_offscreen)," \
       "a Noto CJK font: $(said drew_cjk))"
fi
sleep "$up_seconds"
kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; fail "the installed program ended by itself"; }
log "the installed program is up and stayed up ${up_seconds} s; ending it"
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "the installed program did not end on SIGTERM"; fi
wait "$pid" 2>/dev/null || true
pid=

remove_leaves_nothing kestrin
end_checks
