#!/usr/bin/env bash
# Times one command on the mission-sized OG1.0 file (5,000 profiles of 1,000
# samples, made by gen_nc) into each hardcopy format: min, median and max
# wall seconds of N runs, the peak memory of the largest process and the
# size of the file. With PEER set to a Python pipeline that takes
# "MISSION.nc OUT.fmt ZMAX", it is timed on the same file beside us
# (PEER_RUNS runs a format, 3 by default; PEER_PYTHON the interpreter); the
# project ships none.
#   bench/formats_run.sh [BUILD_DIR] [RUNS] [MISSION.nc]
#   PEER=path/to/section_nc_mpl.py bench/formats_run.sh build 10
set -euo pipefail
build=${1:-build}
runs=${2:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/glidersect"
mission=${3:-"$root/$build/mission.nc"}
[ -f "$mission" ] || cmake --build "$root/$build" --target mission_nc >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | options | output
cases=(
  "EPS classic||out.eps"
  "EPS modern|--style modern|out.eps"
  "PDF||out.pdf"
  "SVG||out.svg"
  "PNG||out.png"
)

# Prints "min median max peak_MB" of the runs of a command writing $work/$out.
measure() {
  local n=$1 out=$2; shift 2
  local walls=() peak=0
  for _ in $(seq "$n"); do
    rm -f "$work/$out"
    local line
    (cd "$work" && /usr/bin/time -o "$work/time.txt" -f '%e %M' "$@" > /dev/null 2>&1)
    line=$(tail -1 "$work/time.txt")
    [ -f "$work/$out" ] || { echo "no $out from: $*" >&2; exit 1; }
    walls+=("${line% *}")
    peak=$(echo "${line#* } $peak" | awk '{print ($1>$2)?$1:$2}')
  done
  printf '%s\n' "${walls[@]}" | sort -g | awk -v peak="$peak" '{w[NR]=$1} END {
    m = (NR % 2) ? w[(NR+1)/2] : (w[NR/2] + w[NR/2+1]) / 2
    printf "%7.2f %7.2f %7.2f %8.0f", w[1], m, w[NR], peak/1024 }'
}

size_mb() { awk -v b="$(stat -c %s "$work/$1")" 'BEGIN {printf "%8.1f", b/1048576}'; }

echo "mission: $mission ($runs runs each, --contour D --range 0,1000)"
printf '%-14s %7s %7s %7s %8s %8s\n' case min_s med_s max_s peak_MB file_MB
for c in "${cases[@]}"; do
  IFS='|' read -r name opts out <<<"$c"
  # shellcheck disable=SC2086
  stats=$(measure "$runs" "$out" "$bin" "$mission" --contour D --range 0,1000 $opts -o "$out")
  printf '%-14s %s %s\n' "$name" "$stats" "$(size_mb "$out")"
done

if [ -n "${PEER:-}" ]; then
  peer_runs=${PEER_RUNS:-3}
  echo "peer: $PEER ($peer_runs runs each)"
  for out in out.png out.pdf out.svg; do
    stats=$(measure "$peer_runs" "$out" "${PEER_PYTHON:-python3}" "$PEER" "$mission" "$out" 1000)
    printf '%-14s %s %s\n' "peer ${out#out.}" "$stats" "$(size_mb "$out")"
  done
fi
