#!/usr/bin/env bash
# Runs every benchmark program of the Release build.
set -euo pipefail
cd "$(dirname "$0")/../build"
for b in bench/*_bench; do
  echo "== $b"
  "$b" --benchmark_min_time=0.2
done
echo "== whole runs"
bash "$(dirname "$0")/whole_run.sh" build 3
