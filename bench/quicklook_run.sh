#!/usr/bin/env bash
# Times the quick-looks of a generated archive: MISSIONS missions of 500
# profiles of 1,000 samples (gen_nc; stored plain, or deflated at level
# DEFLATE as real archives are), drawn with GNU parallel two at a time, then
# drawn again with nothing changed; prints both wall times and the peak
# memory of the largest process.
#   bench/quicklook_run.sh [BUILD_DIR] [MISSIONS]
#   DEFLATE=5 bench/quicklook_run.sh build 100
set -euo pipefail
build=${1:-build}
missions=${2:-100}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/glidersect"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for m in $(seq "$missions"); do
  mkdir -p "$work/archive/m$m"
  "$root/$build/gen_nc" --dives 250 --samples 1000 --deflate "${DEFLATE:-0}" --seed "$m" "$work/archive/m$m/mission.nc" > /dev/null
done
cd "$work"
# Wall seconds of a run, and (less at the mercy of a shared machine) the
# processor seconds of all its processes.
run() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -o "$work/cpu" -f '%U %S' \
    parallel --will-cite -j 2 /usr/bin/time -a -o "$work/peaks" -f %M "$bin" quicklook {} -o ql ::: archive/*/ > /dev/null
  "$bin" quicklook --index ql
  end=$(date +%s.%N)
  echo "$end $start $(cat "$work/cpu")" | awk '{printf "%.1f s (%.1f processor s)", $1 - $2, $3 + $4}'
}
first=$(run)
again=$(run)
peak=$(sort -n "$work/peaks" | tail -1)
printf 'missions %d: first run %s, again unchanged %s, peak %.0f MB per process, %d figures\n' \
  "$missions" "$first" "$again" "$(echo "$peak" | awk '{print $1/1024}')" "$(find ql -name '*.png' | wc -l)"
