#!/usr/bin/env bash
# Times the one-command section of a folder of one-profile files in the US
# glider data assembly centre's way (10,000 by default, without --dives),
# from the command to the finished hardcopy. The files are copies of the
# one ncgen makes of tests/files/netcdf/ngdac.cdl, each at its own
# longitude, written once per run of this script (ncgen is slow). Prints
# the minimum, median and maximum wall seconds of N runs and the peak memory.
#   bench/profile_files_run.sh [BUILD_DIR] [RUNS] [FILES] [PROGRAM]
set -euo pipefail
build=${1:-build}
runs=${2:-3}
files=${3:-10000}
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${4:-"$root/$build/glidersect"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sed 's/ lon = -70, -70, -70, -70 ;/ lon = 1234.5, 1234.5, 1234.5, 1234.5 ;/' \
  "$root/tests/files/netcdf/ngdac.cdl" > "$work/one.cdl"
ncgen -o "$work/one.nc" "$work/one.cdl"
mkdir "$work/dac"
python3 - "$work/one.nc" "$work/dac" "$files" <<'PY'
import struct, sys
one, folder, n = open(sys.argv[1], 'rb').read(), sys.argv[2], int(sys.argv[3])
marker = struct.pack('>d', 1234.5)  # a classic file's doubles are big-endian
for i in range(1, n + 1):
    with open('%s/ru29-%05d.nc' % (folder, i), 'wb') as f:
        f.write(one.replace(marker, struct.pack('>d', -70.0 + 0.001 * i)))
PY

walls="" peak=0
for _ in $(seq "$runs"); do
  rm -f "$work/dac.eps"
  out=$( { cd "$work" && /usr/bin/time -f '%e %M' "$bin" dac --var4 density -o dac.eps > "$work/console.txt"; } 2>&1 | tail -1)
  read -r wall kb <<<"$out"
  [ -f "$work/dac.eps" ] || { echo "no hardcopy; the program said: $(cat "$work/console.txt")" >&2; exit 1; }
  walls+="$wall"$'\n'
  peak=$(echo "$kb $peak" | awk '{print ($1>$2)?$1:$2}')
done
printf '%-36s %20s %8s\n' session 'wall_s min/med/max' peak_MB
printf '%-36s %20s %8.1f\n' "$files profile files, T" \
  "$(printf '%s' "$walls" | sort -g | awk '{v[NR]=$1} END {m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; printf "%.3f %.3f %.3f", v[1], m, v[NR]}')" \
  "$(echo "$peak" | awk '{print $1/1024}')"
