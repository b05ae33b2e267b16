#!/usr/bin/env bash
# Builds the Debian package with Debian's own tools, from a copy of the
# source tree (so that the tree itself stays clean):
#   build-deb/childgrowth_<version>_<arch>.deb
# Install it with: sudo apt install ./build-deb/childgrowth_*.deb
#   bash scripts/build-deb.sh [--out DIR]
# The build dependencies (debian/control) are installed when missing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/build-deb"
if [[ "${1:-}" == "--out" ]]; then
  out=$(mkdir -p "$2" && cd "$2" && pwd)
fi
bash "$root/scripts/setup.sh" --package

if ! (cd "$root" && dpkg-checkbuilddeps >/dev/null 2>&1); then
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  (cd "$root" && DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get build-dep -y -qq --no-install-recommends ./)
fi

version=$(cd "$root" && dpkg-parsechangelog -S Version)
source="$out/childgrowth-$version"
rm -rf "$source"
mkdir -p "$source"
tar -C "$root" --exclude=./.git --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$source" -xf -
(cd "$source" && dpkg-buildpackage -us -uc -b)
rm -rf "$source"
ls "$out"/childgrowth_"$version"_*.deb
