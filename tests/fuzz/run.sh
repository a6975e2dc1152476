#!/usr/bin/env bash
# Runs each fuzz target for a bounded time on a copy of its seed corpus (the
# netCDF target's seeds are the CDL test files); a crash, a sanitizer
# report, a time-out or a hang fails the run.
#   tests/fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for pair in dive_file:fuzz_dive_file netcdf:fuzz_netcdf fields:fuzz_fields session:fuzz_session cpt:fuzz_cpt; do
  corpus=${pair%%:*}
  target=${pair##*:}
  work=$(mktemp -d)
  if [ "$corpus" = netcdf ]; then
    # The seeds are the CDL test files themselves.
    cp "$here/../files/netcdf"/*.cdl "$work/"
  else
    cp "$here/corpus/$corpus"/* "$work/"
  fi
  echo "== $target for ${seconds}s"
  if ! (cd "$work" && timeout $((seconds + 120)) "$build/tests/fuzz/$target" -max_total_time="$seconds" \
          -timeout=10 -rss_limit_mb=2048 -max_len=20000 -print_final_stats=1 . > "$work/log.txt" 2>&1); then
    tail -n 40 "$work/log.txt"
    ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* 2>/dev/null || true
    status=1
  else
    grep -E "^stat::number_of_executed_units|^Done" "$work/log.txt" || true
  fi
  rm -rf "$work"
done
exit $status
