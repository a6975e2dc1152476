#!/usr/bin/env bash
# Times two builds of the program side by side, runs taken in turn (A B A
# B ...) so that other load on the machine falls on both alike: the sample
# demo (mostly start-up), the large dive file and the mission-sized netCDF
# file, each from the typed answers (the whole track, T with D contours on
# sqrt pressure, 0 to 500) to a finished OUT01.EPS. Prints the minimum,
# median and maximum wall seconds and processor seconds (user and system:
# steadier on a busy machine, but blind to work moved to a second core) of
# N runs of each, and whether the two hardcopies are the same bytes.
# On a machine busy with other work, `chrt -f 10 bash bench/trick_run.sh ...`
# runs the timed programs ahead of it, close to what a quiet machine gives.
#   bench/trick_run.sh BUILD_DIR RUNS PROGRAM_A PROGRAM_B
set -euo pipefail
build=${1:-build}
runs=${2:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
bins=("$(realpath "$3")" "$(realpath "$4")")
largest="$root/$build/largest.SCI"
mission="$root/$build/mission.nc"
[ -f "$largest" ] || cmake --build "$root/$build" --target largest_sci >/dev/null
[ -f "$mission" ] || cmake --build "$root/$build" --target mission_nc >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$root/examples/sample.SCI" "$work/sample.SCI"
ln -s "$largest" "$work/largest.SCI"
ln -s "$mission" "$work/mission.nc"

# Prints "min/median/max" of the numbers on standard input.
spread() { sort -g | awk '{v[NR]=$1} END {m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; printf "%.3f/%.3f/%.3f", v[1], m, v[NR]}'; }
TIMEFORMAT='%3R %3U %3S'  # wall, user and system seconds of each run

# name | file | answers before the map (the netCDF file's fourth variable) | last dive
figures=("demo|sample.SCI||" "largest dive file|largest.SCI||800" "mission|mission.nc|-|5000")
printf '%-18s %20s %20s %20s %20s %s\n' figure 'A wall min/med/max' 'B wall min/med/max' \
  'A cpu min/med/max' 'B cpu min/med/max' 'same EPS'
for f in "${figures[@]}"; do
  IFS='|' read -r name file var4 last <<<"$f"
  if [ "$file" = sample.SCI ]; then
    cp "$root/examples/demo_session.txt" "$work/session.txt"
  else
    {
      echo "$file"
      [ -z "$var4" ] || echo
      printf 'click\nkey G\ntype 1 %s\nN\nS\nT\nD\nS\n0 500\nkey Q\ntype %s\nkey H\n' "$last" "$name"
    } > "$work/session.txt"
  fi
  walls=("" "") cpus=("" "")
  for _ in $(seq "$runs"); do
    for i in 0 1; do
      rm -f "$work"/OUT*.EPS
      read -r wall user sys < <( { time (cd "$work" && "${bins[$i]}" --headless < session.txt > /dev/null); } 2>&1)
      walls[$i]+="$wall"$'\n'
      cpus[$i]+="$(echo "$user $sys" | awk '{print $1 + $2}')"$'\n'
      [ -f "$work/OUT01.EPS" ] || { echo "no OUT01.EPS from ${bins[$i]} for: $name" >&2; exit 1; }
      mv "$work/OUT01.EPS" "$work/eps$i"
    done
  done
  same=no
  cmp -s "$work/eps0" "$work/eps1" && same=yes
  printf '%-18s %20s %20s %20s %20s %s\n' "$name" "$(printf '%s' "${walls[0]}" | spread)" \
    "$(printf '%s' "${walls[1]}" | spread)" "$(printf '%s' "${cpus[0]}" | spread)" \
    "$(printf '%s' "${cpus[1]}" | spread)" "$same"
done
