#!/usr/bin/env bash
# Checks the Debian package the way a teacher's machine gets it:
#   scripts/check-deb.sh [build folder]       (default: build, the folder ./test.sh tests)
#
#  1. makes dist/kestrin_<version>_amd64.deb from that build folder (scripts/build-deb.sh);
#  2. the packaged menu entry and AppStream file pass desktop-file-validate and
#     appstreamcli; the entry's program and icon are in the package; every icon
#     has the size its folder says; lintian finds no errors;
#  3. the packaged program is the build folder's program, stripped;
#  4. into a fresh Debian 12 root made by debootstrap, apt-get installs the package
#     and what it depends on; the program, started by the entry's Exec line with the
#     offscreen platform as an ordinary user in the home folder, comes up, draws its
#     Chinese text with the CJK fonts and stays up until it is ended; apt-get remove
#     then leaves none of the package's files behind.
#
# Needs root (debootstrap, chroot, mount). The bare Debian root is made once and
# kept in $KESTRIN_DEBROOT_CACHE (default /var/cache/kestrin-debroot), one per
# suite, with the packages downloaded into it; every check works on a fresh copy.
# The archive is the one the machine's own apt uses.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$here/build}")"
cd "$here"
suite=bookworm
cache="${KESTRIN_DEBROOT_CACHE:-/var/cache/kestrin-debroot}"
up_seconds=5
started=$SECONDS

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -E "$0" "$build"
fi
log() { printf 'check-deb: %s\n' "$*"; }
fail() { printf 'check-deb: FAILED: %s\n' "$*" >&2; exit 1; }

scripts/install-deps.sh test
scripts/build-deb.sh "$build"
debs=(dist/kestrin_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "dist/ does not hold exactly one kestrin_*_amd64.deb"
deb="$here/${debs[0]}"

work=$(mktemp -d /var/tmp/kestrin-check-deb.XXXXXX)
root="$work/root"
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  if mountpoint -q "$root/proc" 2>/dev/null; then umount "$root/proc" || umount -l "$root/proc"; fi
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

# --- 2. The package's files -------------------------------------------------------
files="$work/files"
dpkg-deb -x "$deb" "$files"
entries=("$files"/usr/share/applications/*.desktop)
[ ${#entries[@]} -eq 1 ] && [ -f "${entries[0]}" ] || fail "the package holds not exactly one menu entry"
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

# --- 4. Install, start and remove in a fresh Debian 12 ------------------------------
# The machine's own archive for the suite, its updates and its security fixes
# (deb822 stanzas and one-line entries), and the apt settings it needs to reach them.
machine_stanzas() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v s="$suite" 'BEGIN { RS = ""; ORS = "\n\n" }
      { keep = 0; n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) if (lines[i] ~ /^Suites:/) {
          m = split(lines[i], w, /[ \t]+/)
          for (j = 2; j <= m; j++) if (w[j] == s || w[j] == s "-updates" || w[j] == s "-security") keep = 1 } }
      keep && !/Enabled: *no/ && /Types:[^\n]*deb( |$|\n)/ { print }' "$f"
  done
}
machine_lines() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v s="$suite" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i !~ /^\[/) break
      if ($(i + 1) == s || $(i + 1) == s "-updates" || $(i + 1) == s "-security") print }' "$f"
  done
}
stanzas=$(machine_stanzas)
lines=$(machine_lines)
mirror=$(printf '%s\n%s\n' "$stanzas" "$lines" | awk -v s="$suite" '
  /^URIs:/ { uri = $2 } /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == s) { print uri; exit } }
  $1 == "deb" { for (i = 2; i <= NF; i++) if ($i !~ /^\[/) break; if ($(i + 1) == s) { print $i; exit } }')
[ -n "$mirror" ] || fail "the machine's apt sources name no archive for $suite"

bare="$cache/$suite"
if [ ! -f "$bare/.complete" ]; then
  log "making a bare Debian $suite root in $bare (once, a few minutes)"
  mkdir -p "$cache"
  rm -rf --one-file-system "$bare.new" "$bare"
  debootstrap --variant=minbase "$suite" "$bare.new" "$mirror" > "$work/debootstrap.log" 2>&1 \
    || { tail -n 20 "$work/debootstrap.log"; fail "debootstrap"; }
  touch "$bare.new/.complete"
  mv "$bare.new" "$bare"
fi
cp -a "$bare" "$root"
mkdir -p "$cache/archives-$suite"
cp -l "$cache/archives-$suite"/*.deb "$root/var/cache/apt/archives/" 2>/dev/null || true

rm -f "$root"/etc/apt/sources.list.d/*
printf '%s\n' "$lines" > "$root/etc/apt/sources.list"
[ -z "$stanzas" ] || printf '%s\n' "$stanzas" > "$root/etc/apt/sources.list.d/machine.sources"
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy|Retries) ' \
  > "$root/etc/apt/apt.conf.d/50machine" || true
cp /etc/resolv.conf "$root/etc/resolv.conf"
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d" # no services started in the root
chmod 755 "$root/usr/sbin/policy-rc.d"
mount -t proc proc "$root/proc"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
in_root apt-get update -qq > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get update in the Debian root"; }
cp "$deb" "$root/tmp/"
name=$(basename "$deb")
log "apt-get install ./$name in a fresh Debian $suite"
in_root sh -c "cd /tmp && apt-get install -y -q --no-install-recommends ./$name" > "$work/apt.log" 2>&1 \
  || { cat "$work/apt.log"; fail "apt-get install ./$name"; }
grep -E 'newly installed|^Need to get|^After this operation' "$work/apt.log" | sed 's/^/  /'
cp -l -n "$root"/var/cache/apt/archives/*.deb "$cache/archives-$suite/" 2>/dev/null || true

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
is_installed_program() { [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$root/usr/bin/kestrin" ]; }
on_offscreen() { grep -qF "$root/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqoffscreen.so" "/proc/$pid/maps" 2>/dev/null; }
drew_cjk() { grep -F "$root/usr/share/fonts/opentype/noto/Noto" "/proc/$pid/maps" 2>/dev/null | grep -q CJK; }
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
  said() { "$@" && echo yes || echo no; }
  fail "the installed program did not come up within 20 s (running: $(said kill -0 "$pid" 2>/dev/null)," \
       "/usr/bin/kestrin: $(said is_installed_program), offscreen platform: $(said on_offscreen)," \
       "a Noto CJK font: $(said drew_cjk))"
fi
sleep "$up_seconds"
kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; fail "the installed program ended by itself"; }
log "the installed program is up and stayed up ${up_seconds} s; ending it"
kill -TERM "$pid"
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the installed program did not end on SIGTERM"
wait "$pid" 2>/dev/null || true
pid=

in_root dpkg-query -L kestrin > "$work/owned.txt"
in_root apt-get remove -y -q kestrin > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove kestrin"; }
status=$(in_root dpkg-query -W -f='${db:Status-Status}' kestrin 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "after apt-get remove kestrin is still '$status'"
left=()
while IFS= read -r path; do
  [ -n "$path" ] && [ "$path" != /. ] || continue
  if [ -d "$root$path" ] && [ ! -L "$root$path" ]; then
    # A folder may stay only as another package's.
    in_root dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path/ ($(ls -A "$root$path" | head -n 3 | tr '\n' ' '))")
  elif [ -e "$root$path" ] || [ -L "$root$path" ]; then
    left+=("$path")
  fi
done < "$work/owned.txt"
[ ${#left[@]} -eq 0 ] || fail "apt-get remove left behind: ${left[*]}"
log "apt-get remove took away all $(grep -c . "$work/owned.txt") paths of the package"
log "passed in $((SECONDS - started)) s"
