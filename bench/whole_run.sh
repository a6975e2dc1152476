#!/usr/bin/env bash
# Times whole headless runs of the built program on a large dive file
# (800 dives, 500 samples and 500 profiler bins a dive), from the
# typed answers to a finished OUT01.EPS, and the one-command section of a
# mission-sized netCDF file (5,000 profiles of 1,000 samples). Prints the
# minimum, median and maximum wall seconds of N runs, the peak memory, and
# the start of the hardcopy's and console's sha256 (so a change that must not
# alter the output can be checked at a glance).
#   bench/whole_run.sh [BUILD_DIR] [RUNS] [PROGRAM]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${3:-"$root/$build/glidersect"}
largest="$root/$build/largest.SCI"
mission="$root/$build/mission.nc"
[ -f "$largest" ] || cmake --build "$root/$build" --target largest_sci >/dev/null
[ -f "$mission" ] || cmake --build "$root/$build" --target mission_nc >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$largest" "$work/largest.SCI"
ln -s "$mission" "$work/mission.nc"

# name | console answers after the map (reverse, axis, colour, line, ticks,
# and the log question for 4) | vertical range
sessions=(
  "T on sqrt pressure|N S T X S|0 500"
  "S on linear pressure, day ticks|N L S X D|0 500"
  "sigma-theta on density|N D D X S|24 27.5"
  "U (profiler) on sqrt pressure|N S U X S|0 500"
)
sessions+=(
  "T with D contours, sqrt|N S T D S|0 500"
  "4 (log) with T contours, linear|N L 4 T S Y|0 500"
  "B with S contours, density|N D B S S|24 27.5"
  "V with U contours, linear|N L V U S|0 320"
)

# Prints "min median max" of the numbers on standard input.
spread() { sort -g | awk '{v[NR]=$1} END {m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; printf "%.3f %.3f %.3f", v[1], m, v[NR]}'; }

# Runs the command in $work N times; prints the timing line of the session.
time_session() {
  local name=$1; shift
  local walls="" peak=0 out wall kb
  for _ in $(seq "$runs"); do
    rm -f "$work"/OUT*.EPS "$work"/mission.eps
    out=$( { cd "$work" && /usr/bin/time -f '%e %M' "$@" > "$work/console.txt"; } 2>&1 | tail -1)
    read -r wall kb <<<"$out"
    walls+="$wall"$'\n'
    peak=$(echo "$kb $peak" | awk '{print ($1>$2)?$1:$2}')
  done
  local eps=$work/OUT01.EPS
  [ -f "$eps" ] || eps=$work/mission.eps
  [ -f "$eps" ] || { echo "no hardcopy for: $name" >&2; exit 1; }
  printf '%-36s %20s %8.1f %12s %12s\n' "$name" "$(printf '%s' "$walls" | spread)" \
    "$(echo "$peak" | awk '{print $1/1024}')" \
    "$(sha256sum < "$eps" | cut -c1-12)" "$(sha256sum < "$work/console.txt" | cut -c1-12)"
}

printf '%-36s %20s %8s %12s %12s\n' session 'wall_s min/med/max' peak_MB eps_sha256 console
for s in "${sessions[@]}"; do
  IFS='|' read -r name answers range <<<"$s"
  script="$work/session.txt"
  {
    echo largest.SCI
    printf 'click\nkey G\ntype 1 800\n'   # the whole track on the map
    for a in $answers; do echo "$a"; done
    echo "$range"
    # The label editor waits on the screen when there are line contours.
    case "$answers" in *" X "*) ;; *) echo "key Q" ;; esac
    echo "type Largest file"
    echo "key H"
  } > "$script"
  time_session "$name" sh -c "exec '$bin' --headless < '$script'"
done
time_session "netCDF mission, T with D contours" \
  "$bin" mission.nc --dives 1:5000 --color T --contour D --range 0,1000 -o mission.eps
