#!/usr/bin/env bash
# Writes the pages of a growth report as PNG pictures for a person to look at.
#   scripts/report-preview.sh [REPORT.pdf] [OUT_PREFIX]
# Without a report, the benchmark's sample child (36 months) is drawn from a
# build in build-tests/. Pictures: OUT_PREFIX-1.png, OUT_PREFIX-2.png, ...
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
pdf=${1:-}
out=${2:-report-preview}
if [[ -z "$pdf" ]]; then
  build="$root/build-tests"
  cmake -S "$root" -B "$build" -DBUILD_TESTING=ON >/dev/null
  cmake --build "$build" --target report_bench -j2 >/dev/null
  pdf="$out.pdf"
  "$build/bench/report_bench" --sample "$pdf"
fi
pdftoppm -png -r 110 "$pdf" "$out"
ls "$out"-*.png
