#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test headless; then the same tests again, built with AddressSanitizer
# and UndefinedBehaviorSanitizer, together with the fuzz targets.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" --tests
# The steps are CMake's workflow presets (CMakePresets.json): configure,
# build and test, on every core.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
cd "$root"
cmake --workflow --preset ci
# Sanitizers: any report fails the test that caused it, leaks included; only
# what Qt and fontconfig leak is suppressed (tests/sanitizers/lsan.supp).
cmake --workflow --preset sanitize
