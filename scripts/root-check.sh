# shellcheck shell=bash
# shellcheck disable=SC2154 # $root is set by the script that sources this
# What the package checks do in a fresh Debian root, as root (sourced after
# lib.sh by packaging/*/check-install.sh). They set $root, the root's folder,
# and $work, their own folder (check_folder).

# check_folder NAME: a new folder /var/tmp/kestrin-check-NAME.XXXXXX, in $work,
# held locked while this check runs; what killed runs left (their mounts first,
# then their folders) is cleared away first.
check_folder() {
  local stale mounted
  for stale in /var/tmp/kestrin-check-"$1".*; do
    [ -d "$stale" ] || continue
    flock -n "$stale" true 2>/dev/null || continue   # a check that is still running
    while read -r mounted; do umount "$mounted" 2>/dev/null || umount -l "$mounted"; done \
      < <(findmnt -rn -o TARGET | grep -F "$stale/" | sort -r)
    rm -rf --one-file-system "$stale"
  done
  work=$(mktemp -d "/var/tmp/kestrin-check-$1.XXXXXX")
  exec 8<"$work"
  flock 8
}

# in_root CMD...: CMD in the root as its root.
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

# install_in_root PACKAGE.deb ARCHIVES [APT-GET OPTION...]: apt-get install
# ./PACKAGE.deb in the root (its /proc mounted by the caller), with the packages
# earlier checks downloaded, kept in the folder ARCHIVES (copies: the cache and
# /var/tmp may be on different filesystems), and those it downloads put back.
# The root takes this machine's name servers and apt settings of validity,
# proxy and retries, and starts no services.
install_in_root() {
  local deb="$1" archives="$2" name
  shift 2
  name=$(basename "$deb")
  mkdir -p "$archives"
  find "$archives" -maxdepth 1 -name '*.deb' -exec cp -n -t "$root/var/cache/apt/archives" {} +
  apt-config dump | { grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy|Retries) ' || true; } \
    > "$root/etc/apt/apt.conf.d/50machine"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  in_root apt-get update -qq > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get update in the root"; }
  cp "$deb" "$root/tmp/$name"
  in_root sh -c "cd /tmp && apt-get install -y -q $* ./$name" > "$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "apt-get install ./$name"; }
  grep -E 'newly installed|^Need to get|^After this operation' "$work/apt.log" | sed 's/^/  /' || true
  find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n -t "$archives" {} +
}

# remove_leaves_nothing PACKAGE: apt-get remove PACKAGE in the root; a flaw for
# each of its files still there, and each folder that is not another package's.
remove_leaves_nothing() {
  local path left=() status
  in_root dpkg-query -L "$1" > "$work/owned.txt"
  in_root apt-get remove -y -q "$1" > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove $1"; }
  # shellcheck disable=SC2016 # dpkg-query's own field name
  status=$(in_root dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true)
  [ -z "$status" ] || [ "$status" = not-installed ] || flaw "after apt-get remove $1 is still '$status'"
  while IFS= read -r path; do
    if [ -z "$path" ] || [ "$path" = /. ]; then continue; fi
    if [ -d "$root$path" ] && [ ! -L "$root$path" ]; then
      in_root dpkg-query -S "$path" >/dev/null 2>&1 \
        || left+=("$path/ ($(find "$root$path" -mindepth 1 -maxdepth 1 -printf '%f ' | head -c 200 || true))")
    elif [ -e "$root$path" ] || [ -L "$root$path" ]; then
      left+=("$path")
    fi
  done < "$work/owned.txt"
  if [ ${#left[@]} -gt 0 ]; then
    flaw "apt-get remove left behind: ${left[*]}"
  else
    log "apt-get remove took away all $(grep -c . "$work/owned.txt") paths of $1"
  fi
}
