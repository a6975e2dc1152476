#!/usr/bin/env bash
# Times whole headless runs of the built program on a large dive file
# (800 dives, 500 samples and 500 profiler bins a dive), from the
# typed answers to a finished OUT01.EPS. Prints the best of N runs (wall and
# user seconds) and the peak memory of each session.
#   bench/whole_run.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/glidersect"
largest="$root/$build/largest.SCI"
[ -f "$largest" ] || cmake --build "$root/$build" --target largest_sci >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$largest" "$work/largest.SCI"

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

printf '%-36s %8s %8s %8s\n' session wall_s user_s peak_MB
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
  best_wall=999; best_user=999; peak=0
  for _ in $(seq "$runs"); do
    rm -f "$work"/OUT*.EPS
    out=$( { cd "$work" && /usr/bin/time -f '%e %U %M' "$bin" --headless < "$script" > /dev/null; } 2>&1 | tail -1)
    read -r wall user kb <<<"$out"
    [ -f "$work/OUT01.EPS" ] || { echo "no OUT01.EPS for: $name" >&2; exit 1; }
    best_wall=$(echo "$wall $best_wall" | awk '{print ($1<$2)?$1:$2}')
    best_user=$(echo "$user $best_user" | awk '{print ($1<$2)?$1:$2}')
    peak=$(echo "$kb $peak" | awk '{print ($1>$2)?$1:$2}')
  done
  printf '%-36s %8s %8s %8.1f\n' "$name" "$best_wall" "$best_user" "$(echo "$peak" | awk '{print $1/1024}')"
done
