# shellcheck shell=bash
# Shared by the build scripts (source it; it sets no shell options of its own):
#
#   as_root CMD [ARG...]       runs CMD as root: directly when we are root, else
#                              through sudo (which does not pass the environment on:
#                              hand variables over with `as_root env VAR=value CMD`)
#   need_packages PKG...       installs those Debian packages that are not installed yet
#   refuse_unknown WHAT WORD KNOWN...
#                              fails, naming the known words, unless WORD is one of them
#   at_exit CMD [ARG...]       runs CMD when the script ends, however it ends (INT, TERM
#                              and HUP end it through exit); the last added runs first
#   log TEXT... / fail TEXT... says TEXT on standard output / says it as a failure on
#                              standard error and ends the script; both name the script
#                              (its folder and name: "debian/check", "wine/smoke")
#   flaw TEXT... / end_checks  for checks that go on after a failure: flaw says TEXT as a
#                              failure and counts it; end_checks ends the script with
#                              1 after saying how many there were, if there were any
#   publish MADE DIR NAME [PATTERN]
#                              moves the finished file MADE to DIR/NAME by way of
#                              DIR/NAME.part, so that an interrupted run leaves the
#                              previous file or none, never part of one; then removes
#                              the other files of DIR whose names match PATTERN
#   windows_text SOURCE DEST   writes the text file SOURCE as Notepad reads it on every
#                              Windows: UTF-8 with a byte order mark, CR LF line ends
#   debian_sources TYPE SUITE  Debian's archive for SUITE (the release, its updates and
#                              its security fixes) as deb822 stanzas with "Types: TYPE"
#                              (deb or deb-src), for a private apt configuration or a
#                              Debian root; the mirror is deb.debian.org unless
#                              KESTRIN_DEBIAN_MIRROR names another
#   fetch_debian_source SUITE PACKAGE=VERSION INTO
#                              downloads that Debian source package of SUITE into INTO
#   need_foreign_arch ARCH     adds dpkg's foreign architecture ARCH (i386), once
#   kestrin_version_and_commit TREE
#                              sets version, version_quad and commit of the source TREE
#   runs_i386                  whether this machine runs 32-bit x86 programs (some
#                              kernels refuse them: "Exec format error"); says why not
#   refuse_unknown_steps, wants STEP
#                              the build scripts' steps: $steps asked for, $known_steps

kestrin_lib_name() {
  local folder
  folder=$(basename "$(dirname "$0")")
  case "$folder" in
    scripts|.) basename "$0" .sh ;;
    *) printf '%s/%s' "$folder" "$(basename "$0" .sh)" ;;
  esac
}

log() { printf '%s: %s\n' "$(kestrin_lib_name)" "$*"; }
fail() { printf '%s: FAILED: %s\n' "$(kestrin_lib_name)" "$*" >&2; exit 1; }
kestrin_flaws=0
flaw() { printf '%s: FAILED: %s\n' "$(kestrin_lib_name)" "$*" >&2; kestrin_flaws=$((kestrin_flaws + 1)); }
end_checks() {
  [ "$kestrin_flaws" -eq 0 ] && return 0
  printf '%s: %s failed\n' "$(kestrin_lib_name)" "$kestrin_flaws" >&2
  exit 1
}

publish() {
  local made="$1" dir="$2" name="$3" pattern="${4:-}"
  mkdir -p "$dir"
  mv -f "$made" "$dir/$name.part"
  if [ -n "$pattern" ]; then
    find "$dir" -maxdepth 1 -name "$pattern" ! -name "$name" ! -name "$name.part" -delete
  fi
  mv -f "$dir/$name.part" "$dir/$name"
  log "made $dir/$name ($(stat -c %s "$dir/$name") bytes)"
}

windows_text() {
  { printf '\xef\xbb\xbf'; sed -e '1s/^\xef\xbb\xbf//' -e 's/\r$//' -e 's/$/\r/' "$1"; } > "$2"
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    printf '%s: needs root for "%s", and sudo is not installed\n' "$(kestrin_lib_name)" "$*" >&2
    return 1
  fi
}

need_packages() {
  local missing=() p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  printf '%s: installing %s\n' "$(kestrin_lib_name)" "${missing[*]}"
  # Another apt or dpkg run may hold the locks for a while: wait for it. A
  # mirror caught mid-sync serves an index that does not match its Release file
  # (apt says so, and goes on without that index): asked again after a while.
  local try out
  for try in 1 2 3; do
    out=$(as_root apt-get -o DPkg::Lock::Timeout=1200 update -qq 2>&1) || { printf '%s\n' "$out" >&2; return 1; }
    grep -q '^E: Failed to fetch' <<<"$out" || break
    printf '%s: the Debian mirror served a stale index (try %s of 3):\n%s\n' "$(kestrin_lib_name)" "$try" \
      "$(grep '^E: Failed to fetch' <<<"$out")" >&2
    [ "$try" = 3 ] || sleep 30
  done
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=1200 \
    install -y -qq --no-install-recommends "${missing[@]}"
}

# dpkg's foreign architecture $1 (i386 for 32-bit Wine), added once.
need_foreign_arch() {
  dpkg --print-foreign-architectures | grep -qx "$1" && return 0
  printf '%s: adding the %s architecture to dpkg\n' "$(kestrin_lib_name)" "$1"
  as_root dpkg --add-architecture "$1"
}

# kestrin_version_and_commit TREE: sets version (CMakeLists.txt's project()),
# version_quad (four numbers: 2.0 is 2.0.0.0) and commit, the commit the tree
# is: git's HEAD in a checkout, with "-dirty" where tracked files differ from
# it; in an unpacked source archive (no .git), the commit it recorded. A dirty
# tree's packages carry "-dirty" in their version, and no source archive is
# made for it: none would hold what it was built from.
# shellcheck disable=SC2034 # set for the caller
kestrin_version_and_commit() {
  local tree="$1"
  version=$(sed -n -E 's/^project\(Kestrin VERSION ([0-9.]+).*/\1/p' "$tree/CMakeLists.txt")
  [ -n "$version" ] || fail "no version in CMakeLists.txt's project()"
  version_quad=$(printf '%s.0.0.0' "$version" | cut -d. -f1-4)
  if [ -e "$tree/.git" ]; then
    commit=$(git -C "$tree" rev-parse HEAD)
    [ -z "$(git -C "$tree" status --porcelain --untracked-files=no)" ] || commit+="-dirty"
  elif [ -f "$tree/.kestrin-commit" ]; then
    commit=$(cat "$tree/.kestrin-commit")
  else
    fail "neither a git checkout nor an unpacked source archive (.kestrin-commit): which source is this?"
  fi
  case "$commit" in *-dirty) version="$version-dirty" ;; esac
}

runs_i386() {
  local dir rc=0
  dir=$(mktemp -d)
  # The smallest program there is, exit(0), assembled and linked for i386 by the
  # host's own binutils.
  # shellcheck disable=SC2016 # assembly, not shell
  printf '.globl _start\n_start:\n  movl $1, %%eax\n  xorl %%ebx, %%ebx\n  int $0x80\n' > "$dir/exit.s"
  if as --32 -o "$dir/exit.o" "$dir/exit.s" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o"; then
    "$dir/exit" 2> "$dir/why" || { rc=1; printf '%s: this machine does not run 32-bit x86 programs: %s\n' \
      "$(kestrin_lib_name)" "$(sed 's/^.*: //' "$dir/why")"; }
  else
    rc=1
  fi
  rm -rf "$dir"
  return "$rc"
}

refuse_unknown() {
  local what="$1" word="$2" known
  shift 2
  for known in "$@"; do
    [ "$word" = "$known" ] && return 0
  done
  printf '%s: unknown %s "%s"; known: %s\n' "$(kestrin_lib_name)" "$what" "$word" "$*" >&2
  return 1
}

# The steps a script is asked for, $steps, each one of $known_steps; wants STEP
# says whether STEP is among them.
# shellcheck disable=SC2154 # both arrays are the sourcing script's
refuse_unknown_steps() { local s; for s in "${steps[@]}"; do refuse_unknown step "$s" "${known_steps[@]}"; done; }
wants() { local s; for s in "${steps[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

kestrin_at_exit=()
kestrin_run_at_exit() {
  local i
  for ((i = ${#kestrin_at_exit[@]} - 1; i >= 0; i--)); do
    eval "${kestrin_at_exit[i]}" || true
  done
  kestrin_at_exit=()
}
at_exit() {
  kestrin_at_exit+=("$(printf '%q ' "$@")")
  trap kestrin_run_at_exit EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
}

debian_mirror() { printf '%s' "${KESTRIN_DEBIAN_MIRROR:-http://deb.debian.org/debian}"; }

debian_sources() {
  local type="$1" suite="$2" mirror
  mirror=$(debian_mirror)
  printf 'Types: %s\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: %s\n\n' \
    "$type" "$mirror" "$suite" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg
  printf 'Types: %s\nURIs: %s-security\nSuites: %s-security\nComponents: main\nSigned-By: %s\n' \
    "$type" "$mirror" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg
}

# fetch_debian_source SUITE PACKAGE=VERSION INTO: the Debian source package
# (.dsc, tarballs) into the folder INTO, through a private apt configuration
# with deb-src entries for Debian's archive of SUITE; the system's apt
# configuration is not touched and the private one is removed.
fetch_debian_source() {
  local suite="$1" wanted="$2" into="$3" apt_dir
  apt_dir=$(mktemp -d)
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$apt_dir/archives/partial"
  debian_sources deb-src "$suite" > "$apt_dir/parts/debian.sources"
  touch "$apt_dir/sources.list"
  local apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
                  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::Archives=$apt_dir/archives"
                  -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache=")
  [ "$(id -u)" -ne 0 ] || apt_opts+=(-o "APT::Sandbox::User=root")
  mkdir -p "$into"
  local rc=0
  { apt-get "${apt_opts[@]}" update -qq \
      && (cd "$into" && apt-get "${apt_opts[@]}" source --download-only -qq "$wanted"); } || rc=$?
  rm -rf "$apt_dir"
  [ "$rc" -eq 0 ] || { printf '%s: Debian\x27s source %s could not be fetched\n' "$(kestrin_lib_name)" "$wanted" >&2; return 1; }
}
