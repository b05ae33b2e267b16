#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
cd "$root"
cmake --preset release
cmake --build --preset release
exec "$root/build/bin/childgrowth"
