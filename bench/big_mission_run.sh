#!/usr/bin/env bash
# Times one command on a 50-million-sample OG1.0 mission (50,000 profiles
# of 1,000 samples, made once by gen_nc into the build folder: 1 GB
# deflated as real missions are, 2.9 GB with DEFLATE=0) to a PDF: min,
# median and max wall seconds of N runs, the peak memory of the largest
# process and the size of the file.
#   bench/big_mission_run.sh [BUILD_DIR] [RUNS]
#   DEFLATE=0 bench/big_mission_run.sh build 5
set -euo pipefail
build=${1:-build}
runs=${2:-5}
deflate=${DEFLATE:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/glidersect"
mission="$root/$build/big_mission_d$deflate.nc"
if [ ! -f "$mission" ]; then
  echo "writing $mission (about a minute)"
  "$root/$build/gen_nc" --dives 25000 --samples 1000 --start 0 --step 1 --deflate "$deflate" "$mission.part"
  mv "$mission.part" "$mission"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

walls=()
peak=0
for _ in $(seq "$runs"); do
  rm -f "$work/out.pdf"
  (cd "$work" && /usr/bin/time -o time.txt -f '%e %M' "$bin" "$mission" --contour D --range 0,1000 -o out.pdf > /dev/null)
  [ -f "$work/out.pdf" ] || { echo "no out.pdf" >&2; exit 1; }
  read -r wall kb < "$work/time.txt"
  walls+=("$wall")
  peak=$(echo "$kb $peak" | awk '{print ($1>$2)?$1:$2}')
done
echo "mission: $mission ($runs runs, --contour D --range 0,1000, PDF)"
printf '%s\n' "${walls[@]}" | sort -g | awk -v peak="$peak" -v bytes="$(stat -c %s "$work/out.pdf")" '{w[NR]=$1} END {
  m = (NR % 2) ? w[(NR+1)/2] : (w[NR/2] + w[NR/2+1]) / 2
  printf "min %.2f s  median %.2f s  max %.2f s  peak %.0f MB  file %.1f MB\n", w[1], m, w[NR], peak/1024, bytes/1048576 }'
