#!/usr/bin/env bash
# Builds a release and the Debian package from it:
#   build-release/childgrowth_<version>_<arch>.deb
# Install it with: sudo apt install ./build-release/childgrowth_*.deb
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" --package
build="$root/build-release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$build"/childgrowth_*.deb
