#!/usr/bin/env bash
# Builds Kestrin's packages into dist/ (installs what is missing first, through
# sudo when not run as root):
#   ./dist.sh              every package
#   ./dist.sh deb          dist/kestrin_<version>_amd64.deb: Debian 12 and newer,
#                          against Debian's Qt 6 (packaging/debian/)
#   ./dist.sh windows      dist/Kestrin-<version>-windows.zip, -setup.exe and the
#                          source archive -source.tar.xz (packaging/windows/)
#   ./dist.sh uos          dist/cn.kestrin.kestrin_<version>_amd64.deb and _arm64.deb
#                          for UOS, Kylin, Deepin and older Debian and Ubuntu, with
#                          their own static Qt 5.15, and the source archive
#                          _source.tar.xz (packaging/uos/)
# Each target's folder under packaging/ holds its build, its package data and its
# checks; what the targets share is in scripts/.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/lib.sh
source "$here/scripts/lib.sh"

targets=(deb windows uos)
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=("${targets[@]}")
for target in "${wanted[@]}"; do refuse_unknown target "$target" "${targets[@]}"; done

for target in "${wanted[@]}"; do
  case "$target" in
    deb) "$here/packaging/debian/build.sh" ;;
    windows) "$here/packaging/windows/build.sh" ;;
    uos) "$here/packaging/uos/build.sh" ;;
  esac
done
