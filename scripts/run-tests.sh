#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test headless; then the same tests again, built with AddressSanitizer
# and UndefinedBehaviorSanitizer, together with the fuzz targets.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" --tests
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

build="$root/build-tests"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DCG_WERROR=ON
cmake --build "$build" -j"$jobs"
(cd "$build" && ctest --output-on-failure -j"$jobs")

# Sanitizers: any report fails the test that caused it, leaks included; only
# what Qt and fontconfig leak is suppressed (tests/sanitizers/lsan.supp).
asan="$root/build-asan"
CC=clang CXX=clang++ cmake -S "$root" -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DCG_SANITIZE=ON -DCG_FUZZ=ON
cmake --build "$asan" -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
(cd "$asan" && ctest --output-on-failure -j"$jobs")
