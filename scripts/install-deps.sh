#!/usr/bin/env bash
# Installs the Debian packages that Kestrin needs, only those not installed yet
# (through sudo when not run as root).
#   install-deps.sh run   - what building and running the program needs
#   install-deps.sh deb   - that, plus what making the Debian package needs
#   install-deps.sh quick - that, plus the test tools and the PDF printer queue's
#                           packages (./test.sh quick)
#   install-deps.sh test  - that, plus what checking the Debian package needs
set -euo pipefail
shopt -s inherit_errexit
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

[ $# -le 1 ] || { echo "usage: install-deps.sh [run|deb|quick|test]" >&2; exit 2; }
profile="${1:-run}"
refuse_unknown profile "$profile" run deb quick test

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev libcups2-dev
          fonts-noto-cjk fonts-dejavu-core)
case "$profile" in
  deb) packages+=(dpkg-dev file) ;;
  quick|test)
    packages+=(dpkg-dev file googletest libgtest-dev cups cups-client cups-bsd
               printer-driver-cups-pdf poppler-utils xvfb xauth shellcheck git acl)
    # The package checks (packaging/debian/check.sh).
    [ "$profile" = quick ] || packages+=(desktop-file-utils appstream lintian mmdebstrap)
    ;;
esac
need_packages "${packages[@]}"
