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
#   publish MADE DIR NAME [PATTERN]
#                              moves the finished file MADE to DIR/NAME by way of
#                              DIR/NAME.part, so that an interrupted run leaves the
#                              previous file or none, never part of one; then removes
#                              the other files of DIR whose names match PATTERN
#   windows_text SOURCE DEST   writes the text file SOURCE as Notepad reads it on every
#                              Windows: UTF-8 with a byte order mark, CR LF line ends
#   apt_debian_entries [SUITE...]
#                              the machine's enabled Debian archive entries (deb), one
#                              line each: URI, suite, components, tab-separated; only those
#                              of the given suites when suites are given
#   apt_debian_sources TYPE [SUITE...]
#                              the same entries as deb822 stanzas with "Types: TYPE"
#                              (deb or deb-src) and their own options (Signed-By,
#                              Architectures, ...), ready for a private sources.list.d
#
# An entry is Debian's when the Release file apt last fetched for it says
# "Origin: Debian" (deb.debian.org, security.debian.org, snapshot.debian.org and
# every mirror of them; not backports, ports or third-party archives); for an entry
# apt has not fetched yet, when its host is debian.org's. Entries are read from
# one-line .list files (with any options in [...]) and deb822 .sources files, in the
# places apt-config names.

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
  # Another apt or dpkg run may hold the locks for a while: wait for it.
  as_root apt-get -o DPkg::Lock::Timeout=1200 update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=1200 \
    install -y -qq --no-install-recommends "${missing[@]}"
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

# --- apt sources -------------------------------------------------------------------
# Inside, an entry is one record: URI, suite, components and options, separated by
# \x1d; the options as "Field: value" joined by \x1f, a value's own further lines
# (an inline key) joined by \x1e.

# Every enabled binary (deb) entry of the machine.
kestrin_apt_records() {
  local list="" parts="" f
  eval "$(apt-config shell list Dir::Etc::SourceList/f parts Dir::Etc::SourceParts/d)" || return 1
  for f in "$list" "${parts%/}"/*.list; do
    if [ -f "$f" ]; then kestrin_apt_one_line "$f" || return 1; fi
  done
  for f in "${parts%/}"/*.sources; do
    if [ -f "$f" ]; then kestrin_apt_deb822 "$f" || return 1; fi
  done
  return 0
}

# One-line entries: deb [ opt=value opt=value,value ] URI SUITE [COMPONENT...]
kestrin_apt_one_line() {
  local line words i n options option key value fields
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line%%#*}
    read -r -a words <<<"$line" || true
    n=${#words[@]}
    if [ "$n" -lt 3 ] || [ "${words[0]}" != deb ]; then continue; fi
    i=1
    options=()
    if [[ ${words[1]} == '['* ]]; then
      while [ "$i" -lt "$n" ]; do
        options+=("${words[i]}")
        i=$((i + 1))
        [[ ${words[i - 1]} == *']' ]] && break
      done
      options[0]=${options[0]#[}
      options[${#options[@]} - 1]=${options[${#options[@]} - 1]%]}
    fi
    [ $((i + 2)) -le "$n" ] || continue
    fields=""
    for option in "${options[@]}"; do
      [ -n "$option" ] || continue
      key=${option%%=*}
      value=${option#*=}
      key=${key%[+-]}
      case "$key" in
        arch) key=Architectures ;;
        lang) key=Languages ;;
        target) key=Targets ;;
        pdiffs) key=PDiffs ;;
        *) key=$(printf '%s' "$key" | sed -E 's/(^|-)([a-z])/\1\u\2/g') || return 1 ;;
      esac
      fields+="${fields:+$'\x1f'}$key: ${value//,/ }"
    done
    printf '%s\x1d%s\x1d%s\x1d%s\n' "${words[i]}" "${words[i + 1]}" "${words[*]:i+2}" "$fields"
  done < "$1"
}

# deb822 stanzas: fields in any order and case, continuation lines, comments,
# "Enabled: no", several types, URIs and suites in one stanza.
kestrin_apt_deb822() {
  local line key="" value types="" uris="" suites="" components="" enabled="" extra=()
  local uri suite words fields f
  kestrin_apt_flush() {
    fields=""
    for f in "${extra[@]}"; do fields+="${fields:+$'\x1f'}$f"; done
    read -r -a words <<<"$components" || true
    if [[ " $types " == *" deb "* ]] && [ "${enabled,,}" != no ]; then
      for uri in $uris; do
        for suite in $suites; do
          printf '%s\x1d%s\x1d%s\x1d%s\n' "$uri" "$suite" "${words[*]}" "$fields"
        done
      done
    fi
    key="" types="" uris="" suites="" components="" enabled="" extra=()
  }
  while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line =~ ^[[:space:]]*$ ]]; then
      kestrin_apt_flush
    elif [[ $line == \#* ]]; then
      continue
    elif [[ $line =~ ^[[:space:]] ]]; then
      line=${line#"${line%%[![:space:]]*}"}
      case "${key,,}" in
        types) types+=" $line" ;;
        uris) uris+=" $line" ;;
        suites) suites+=" $line" ;;
        components) components+=" $line" ;;
        enabled|"") ;;
        *) extra[${#extra[@]} - 1]+=$'\x1e'"$line" ;;
      esac
    elif [[ $line =~ ^([^:[:space:]]+):[[:space:]]*(.*)$ ]]; then
      key=${BASH_REMATCH[1]}
      value=${BASH_REMATCH[2]%"${BASH_REMATCH[2]##*[![:space:]]}"}
      case "${key,,}" in
        types) types=$value ;;
        uris) uris=$value ;;
        suites) suites=$value ;;
        components) components=$value ;;
        enabled) enabled=$value ;;
        *) extra+=("$key: $value") ;;
      esac
    fi
  done < "$1"
  kestrin_apt_flush
}

# The name apt gives to what it fetches from URI (its URItoFileName).
kestrin_apt_list_name() {
  local uri="${1%/}"
  uri=${uri#*://}
  [[ ${uri%%/*} == *@* ]] && uri=${uri#*@}
  uri=${uri//_/%5f}
  printf '%s' "${uri//\//_}"
}

# Succeeds when URI SUITE is Debian's own archive.
kestrin_apt_is_debian() {
  local uri="$1" suite="$2" lists="" name release origin host
  eval "$(apt-config shell lists Dir::State::Lists/d)" || return 1
  name="$(kestrin_apt_list_name "$uri")_dists_${suite//\//_}"
  for release in "${lists%/}/${name}_InRelease" "${lists%/}/${name}_Release"; do
    if [ -f "$release" ]; then
      origin=$(sed -n 's/^Origin: *//p' "$release") || return 1
      [ "${origin%%$'\n'*}" = Debian ]
      return
    fi
  done
  host=${uri#*://}
  host=${host%%/*}
  host=${host#*@}
  host=${host%%:*}
  [[ $host == debian.org || $host == *.debian.org ]]
}

# The Debian records of the given suites (all when none is given), each URI and suite once.
kestrin_apt_debian_records() {
  local records uri suite components fields s wanted seen=" "
  records=$(kestrin_apt_records) || return 1
  while IFS=$'\x1d' read -r uri suite components fields; do
    if [ $# -gt 0 ]; then
      wanted=""
      for s in "$@"; do [ "$suite" = "$s" ] && wanted=1; done
      [ -n "$wanted" ] || continue
    fi
    [[ $seen == *" ${uri%/}|$suite "* ]] && continue
    kestrin_apt_is_debian "$uri" "$suite" || continue
    seen+="${uri%/}|$suite "
    printf '%s\x1d%s\x1d%s\x1d%s\n' "$uri" "$suite" "$components" "$fields"
  done <<<"$records"
}

apt_debian_entries() {
  local records uri suite components fields
  records=$(kestrin_apt_debian_records "$@") || return 1
  while IFS=$'\x1d' read -r uri suite components fields; do
    [ -n "$uri" ] && printf '%s\t%s\t%s\n' "$uri" "$suite" "$components"
  done <<<"$records"
  return 0
}

apt_debian_sources() {
  local type="${1:?apt_debian_sources: deb or deb-src}"
  shift
  local records uri suite components fields field
  records=$(kestrin_apt_debian_records "$@") || return 1
  while IFS=$'\x1d' read -r uri suite components fields; do
    [ -n "$uri" ] || continue
    printf 'Types: %s\nURIs: %s\nSuites: %s\n' "$type" "$uri" "$suite"
    [ -z "$components" ] || printf 'Components: %s\n' "$components"
    if [ -n "$fields" ]; then
      while IFS= read -r -d $'\x1f' field; do
        printf '%s\n' "${field//$'\x1e'/$'\n' }"
      done <<<"$fields"$'\x1f'
    fi
    printf '\n'
  done <<<"$records"
  return 0
}
