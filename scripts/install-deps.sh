#!/usr/bin/env bash
# Installs the Debian packages that Kestrin needs, only those not installed yet.
#   install-deps.sh run   - what building and running the program needs
#   install-deps.sh deb   - that, plus what making the Debian package needs
#   install-deps.sh test  - that, plus the test tools and a PDF printer queue
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev libcups2-dev fonts-noto-cjk fonts-dejavu-core)
if [ "${1:-run}" = test ]; then
  packages+=(googletest libgtest-dev libbenchmark-dev cups cups-client cups-bsd
             printer-driver-cups-pdf poppler-utils xvfb xauth)
  # The package checks (scripts/check-deb.sh).
  packages+=(desktop-file-utils appstream lintian debootstrap)
fi
if [ "${1:-run}" = test ] || [ "${1:-run}" = deb ]; then
  packages+=(dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
