#!/usr/bin/env bash
# CI: the steps that write into a checkout, run twice by an ordinary user with
# sudo in a clone of its own; afterwards every file in that clone must still be
# the user's (a step run as root by mistake leaves root's files, which the next
# run as that user cannot replace).
#   check-as-user.sh [linux] [deb] [windows] [uos]     (all four when none is named)
#     linux    - configure and build the program (no tests)
#     deb      - packaging/debian/check.sh on that build
#     windows  - packaging/windows/build.sh exe zip, against the static Qt already
#                in the caller's cache ($KESTRIN_CACHE, default ~/.cache/kestrin),
#                which the user is given read access to for the while
#     uos      - packaging/uos/build.sh app deb for amd64 in its Debian 11 root,
#                against the static Qt and ICU in that cache in the same way
# The user ("kestrin-check"), its sudo rule, its home with the clone and the read
# access are removed again however this ends. Needs root or sudo.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")/.." && pwd)"
# shellcheck source=lib.sh
source "$here/scripts/lib.sh"

known_steps=(linux deb windows uos)
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=("${known_steps[@]}")
refuse_unknown_steps

need_packages sudo acl git
user=kestrin-check
marker="Kestrin check-as-user"
started=$SECONDS

remove_user() {
  as_root rm -f "/etc/sudoers.d/$user" "/etc/sudoers.d/$user.new"
  if id -u "$user" >/dev/null 2>&1; then
    [ "$(getent passwd "$user" | cut -d: -f5)" = "$marker" ] || fail "a user $user exists that is not this check's"
    as_root userdel --force --remove "$user" 2>/dev/null || true
  fi
}
remove_user   # left over from an interrupted run
as_root useradd --create-home --shell /bin/bash --comment "$marker" "$user"
at_exit remove_user
home=$(getent passwd "$user" | cut -d: -f6)
printf '%s ALL=(ALL) NOPASSWD: ALL\n' "$user" | as_root tee "/etc/sudoers.d/$user.new" >/dev/null
as_root chmod 0440 "/etc/sudoers.d/$user.new"
as_root visudo -q -c -f "/etc/sudoers.d/$user.new"
as_root mv "/etc/sudoers.d/$user.new" "/etc/sudoers.d/$user"

as_user() {
  as_root sudo -u "$user" -H env -i "HOME=$home" "USER=$user" LOGNAME="$user" \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin LANG=C.UTF-8 "$@"
}

# The clone: this checkout's commit, handed over as a bundle in a folder the user
# can read, so that a checkout in a folder no other user may enter (/root, a
# 0700 home or temporary folder) works too.
handover=$(mktemp -d /tmp/kestrin-as-user.XXXXXX)
at_exit rm -rf "$handover"
git -C "$here" bundle create "$handover/kestrin.bundle" HEAD 2>/dev/null
chmod 755 "$handover"
chmod 644 "$handover/kestrin.bundle"
clone="$home/kestrin"
as_user git -c advice.detachedHead=false clone -q "$handover/kestrin.bundle" "$clone"
log "user $user with passwordless sudo, a clone of this checkout in $clone"

run_env=()
[ -z "${KESTRIN_DEBROOT_CACHE:-}" ] || run_env+=("KESTRIN_DEBROOT_CACHE=$KESTRIN_DEBROOT_CACHE")
if wants windows || wants uos; then
  cache="${KESTRIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrin}"
  cache=$(realpath "$cache")
  qts=()
  for d in "$cache"/qt-* "$cache"/icu-* "$cache"/cmake-*-kit; do [ -f "$d/.complete" ] && qts+=("$d"); done
  [ ! -d "$cache/debian-source" ] || qts+=("$cache/debian-source")
  [ ${#qts[@]} -gt 0 ] || fail "no static Qt in $cache: run packaging/windows/build.sh qt or packaging/uos/build.sh qt first"
  # Read access to the Qt, ICU and CMake builds and the source packages, and
  # the way through the folders above them.
  granted=()
  revoke() {
    if [ ${#qts[@]} -gt 0 ]; then as_root setfacl -R -x "u:$user" "${qts[@]}" || true; fi
    if [ ${#granted[@]} -gt 0 ]; then as_root setfacl -x "u:$user" "${granted[@]}" || true; fi
  }
  at_exit revoke
  dir="$cache"
  while [ "$dir" != / ]; do
    granted+=("$dir")
    dir=$(dirname "$dir")
  done
  as_root setfacl -m "u:$user:x" "${granted[@]}"
  as_root setfacl -R -m "u:$user:rX" "${qts[@]}"
  run_env+=("KESTRIN_CACHE=$cache")
fi

for round in 1 2; do
  if wants linux; then
    log "round $round: the program's build"
    as_user cmake -S "$clone" -B "$clone/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKESTRIN_BUILD_TESTS=OFF -DKESTRIN_WERROR=ON >/dev/null
    as_user cmake --build "$clone/build" --target kestrin
  fi
  if wants deb; then
    log "round $round: packaging/debian/check.sh"
    as_user "${run_env[@]}" "$clone/packaging/debian/check.sh" "$clone/build"
  fi
  if wants windows; then
    log "round $round: packaging/windows/build.sh exe zip"
    as_user "${run_env[@]}" "$clone/packaging/windows/build.sh" exe zip
  fi
  if wants uos; then
    log "round $round: packaging/uos/build.sh app deb (amd64)"
    as_user "${run_env[@]}" KESTRIN_UOS_ARCHES=amd64 "$clone/packaging/uos/build.sh" app deb
  fi
done

others=$(as_root find "$clone" ! -user "$user" -printf '%u %p\n')
if [ -n "$others" ]; then
  printf '%s\n' "$others" | head -n 40
  fail "files in $user's checkout that are not $user's (above)"
fi
log "after two rounds of ${steps[*]} every file in the checkout is $user's ($((SECONDS - started)) s)"
