#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test headless.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" --tests
build="$root/build-tests"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DCG_WERROR=ON
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j"$(nproc)"
