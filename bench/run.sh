#!/usr/bin/env bash
# Runs every benchmark program of the Release build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../build"
for b in bench/*_bench; do
  echo "== $b"
  "$b" --benchmark_min_time=0.2
done
echo "== whole runs"
bash "$here/whole_run.sh" build 3
echo "== whole runs on a mission-sized netCDF file"
bash "$here/mission_run.sh" build 3
echo "== a folder of 10,000 profile files"
bash "$here/profile_files_run.sh" build 3
