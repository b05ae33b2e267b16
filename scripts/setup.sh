#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages, only when
# something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libsqlcipher-dev sqlcipher
  qt6-translations-l10n
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-microhei
  xdg-utils
)
if [[ "${1:-}" == "--package" || "${1:-}" == "--tests" ]]; then
  # The Debian package: dpkg-buildpackage with debhelper; the build
  # dependencies themselves are named in debian/control (scripts/build-deb.sh
  # installs them).
  packages+=(dpkg-dev debhelper fakeroot)
fi
if [[ "${1:-}" == "--tests" ]]; then
  # The browser test drives a real headless browser against a local server;
  # the growth report tests read the PDF back with poppler's tools; the
  # installation tests check the package with Debian's validators.
  packages+=(chromium python3 poppler-utils desktop-file-utils appstream lintian)
  # The package test builds it twice to compare the two; the second build
  # reuses the first one's compiled objects.
  # hardening-check (devscripts) reads the flags the program was built with.
  packages+=(ccache devscripts)
  # The sanitizer build and the fuzz targets: clang with its sanitizer and
  # libFuzzer runtimes, and the symbolizer that names the lines in a report.
  packages+=(clang libclang-rt-14-dev llvm-14)
  # The syntax check of the Windows sources: a cross-compiler for Windows.
  packages+=(g++-mingw-w64-x86-64-posix)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
