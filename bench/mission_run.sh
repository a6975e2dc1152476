#!/usr/bin/env bash
# Times whole headless runs of the built program on a mission-sized OG1.0
# file (5,000 profiles of 1,000 samples: T, S, chlorophyll, oxygen and QC,
# made by gen_nc), from the typed answers to a finished OUT01.EPS with the
# colour section and line contours. Prints the best of N runs (wall and
# user seconds) and the peak memory of each session.
#   bench/mission_run.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/glidersect"
mission="$root/$build/mission.nc"
[ -f "$mission" ] || cmake --build "$root/$build" --target mission_nc >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$mission" "$work/mission.nc"

# name | fourth variable | console answers after the map (reverse, axis,
# colour, line, ticks, and the log question for 4) | vertical range
sessions=(
  "T with D contours, sqrt||N S T D S|0 500"
  "CHLA (log) with T contours, linear|CHLA|N L 4 T S Y|0 200"
  "S with S contours, density|DOXY|N D S S S|25 27"
  "T, no contours, sqrt||N S T X S|0 500"
)

printf '%-36s %8s %8s %8s\n' session wall_s user_s peak_MB
for s in "${sessions[@]}"; do
  IFS='|' read -r name var4 answers range <<<"$s"
  script="$work/session.txt"
  {
    echo mission.nc
    echo "$var4"
    printf 'click\nkey G\ntype 1 5000\n'   # every profile on the map
    for a in $answers; do echo "$a"; done
    echo "$range"
    # The label editor waits on the screen when there are line contours.
    case "$answers" in *" X "*) ;; *) echo "key Q" ;; esac
    echo "type Mission"
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
