#!/usr/bin/env bash
# Checks scripts/lib.sh's reading of apt sources against a made-up apt
# configuration (APT_CONFIG): one-line entries with options in any spelling,
# deb822 stanzas in any field order and case, third-party archives that must not
# pass for Debian's, and a Debian mirror known only by its Release file.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"

tmp=$(mktemp -d)
at_exit rm -rf "$tmp"
mkdir -p "$tmp/parts" "$tmp/lists"
cat > "$tmp/apt.conf" <<EOF
Dir::Etc::SourceList "$tmp/sources.list";
Dir::Etc::SourceParts "$tmp/parts";
Dir::State::Lists "$tmp/lists";
EOF
export APT_CONFIG="$tmp/apt.conf"

cat > "$tmp/sources.list" <<'EOF'
# deb http://deb.debian.org/debian commented-out main
deb [arch=amd64,i386 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main contrib # trailing comment
deb [ check-valid-until=no ] http://security.debian.org/debian-security trixie-security main
deb-src http://deb.debian.org/debian only-source main
deb [arch=amd64 signed-by=/etc/apt/keyrings/other.gpg] https://apt.example.com/debian trixie main
deb http://mirror.example.edu/debian/ trixie-updates main
deb http://mirror.example.edu/debian-backports/ trixie-backports main
EOF
cat > "$tmp/parts/more.sources" <<'EOF'
# Field order and case as people write them.
suites: trixie
  sid
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
URIs: http://ftp.de.debian.org/debian
Components: main
 non-free-firmware
types: deb-src deb

Types: deb
URIs: http://deb.debian.org/debian
Suites: disabled-one
Components: main
Enabled: no

Types: deb
URIs: https://deb.nodesource.com/node_20.x
Suites: nodistro
Components: main
EOF
# What apt fetched: the mirror is Debian's, the backports and example.com are not.
printf 'Origin: Debian\nLabel: Debian\n' > "$tmp/lists/mirror.example.edu_debian_dists_trixie-updates_InRelease"
printf 'Origin: Debian Backports\n' > "$tmp/lists/mirror.example.edu_debian-backports_dists_trixie-backports_InRelease"
printf 'Origin: Example\n' > "$tmp/lists/apt.example.com_debian_dists_trixie_Release"

failed=0
expect() { # what, expected, actual
  if [ "$2" != "$3" ]; then
    printf 'test-lib: %s:\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    failed=1
  fi
}

expect "apt_debian_entries" "$(printf '%s\t%s\t%s\n' \
  http://deb.debian.org/debian trixie "main contrib" \
  http://security.debian.org/debian-security trixie-security main \
  http://mirror.example.edu/debian/ trixie-updates main \
  http://ftp.de.debian.org/debian trixie "main non-free-firmware" \
  http://ftp.de.debian.org/debian sid "main non-free-firmware")" "$(apt_debian_entries)"

expect "apt_debian_entries of two suites" "$(printf '%s\t%s\t%s\n' \
  http://security.debian.org/debian-security trixie-security main \
  http://ftp.de.debian.org/debian sid "main non-free-firmware")" "$(apt_debian_entries trixie-security sid)"

expect "apt_debian_sources deb-src trixie" "Types: deb-src
URIs: http://deb.debian.org/debian
Suites: trixie
Components: main contrib
Architectures: amd64 i386
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://ftp.de.debian.org/debian
Suites: trixie
Components: main non-free-firmware
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" "$(apt_debian_sources deb-src trixie)"

expect "one-line options with spaces inside the brackets" "Types: deb
URIs: http://security.debian.org/debian-security
Suites: trixie-security
Components: main
Check-Valid-Until: no" "$(apt_debian_sources deb trixie-security)"

# The result is a configuration apt itself reads back as the same entries.
apt_debian_sources deb-src trixie sid > "$tmp/check.sources"
mkdir -p "$tmp/check"
mv "$tmp/check.sources" "$tmp/check/"
# shellcheck disable=SC2016 # apt's own format placeholders
got=$(apt-get -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$tmp/check" \
        -o "Dir::State::Lists=$tmp/lists" indextargets --no-release-info \
        --format '$(REPO_URI) $(RELEASE) $(IDENTIFIER)' | sort -u)
expect "apt reads the stanzas back" "http://deb.debian.org/debian/ trixie Sources
http://ftp.de.debian.org/debian/ sid Sources
http://ftp.de.debian.org/debian/ trixie Sources" "$got"

refuse_unknown step zip exe zip test
if refuse_unknown step zap exe zip test 2>"$tmp/err"; then
  echo "test-lib: refuse_unknown took an unknown word"
  failed=1
fi
expect "refuse_unknown's message" 'test-lib: unknown step "zap"; known: exe zip test' "$(cat "$tmp/err")"

[ "$failed" -eq 0 ] || exit 1
echo "test-lib: apt sources, refusals: passed"
