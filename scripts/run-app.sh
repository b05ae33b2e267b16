#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$root/build" -j"$(nproc)"
exec "$root/build/bin/childgrowth"
