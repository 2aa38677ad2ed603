#!/bin/sh
# The line-cut exports (xyz, csv, geojson, kml) against the VDG export of the
# same one-million-record KVL log, paired: the runs alternate VDG, format,
# VDG, format ..., so a drift of the machine's speed falls on both, and a
# format's figure is the median over the pairs of its time / the VDG time
# beside it. Peak memory is the largest resident set of the format's runs.
# Then the same for a live part's log with its reception times, NMEA and
# cable out beside it (bench/data/kvl_1m_gps.kvl): the line-cut formats
# position its records from those files as they read them, the VDG export
# does not.
#
# usage: bench/formats_vs_vdg.sh [BUILD_DIR] [PAIRS]
#   BUILD_DIR  build folder holding bin/tessaly-cli (default: build)
#   PAIRS      timed pairs per format (default: 7), after one pair not counted
# Targets: every format of the plain log within 1.3 times the VDG export's
# time; every run at most 64 MiB. Exit status 1 when a format misses either.
# The log with its GPS files has no time target (its NMEA file is read
# besides the log); its figures are printed.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
pairs=${2:-7}
cli=$(cd "$build" && pwd)/bin/tessaly-cli
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$here/make_data.sh"

# Appends "wall-seconds max-rss-KiB" of one export of $2 to $out/$1.runs.
run() {
  /usr/bin/time -f "%e %M" -o "$out/time" "$cli" export --reproducible "$2" "$out/out.$1" >/dev/null
  cat "$out/time" >> "$out/$1.runs"
}

status=0
for input in kvl_1m.kvl kvl_1m_gps.kvl; do
  in=$here/data/$input
  for format in xyz csv geojson kml; do
    rm -f "$out/vdg.runs" "$out/$format.runs"
    run vdg "$in"
    run "$format" "$in"
    rm -f "$out/vdg.runs" "$out/$format.runs"
    i=0
    while [ $i -lt "$pairs" ]; do
      run vdg "$in"
      run "$format" "$in"
      i=$((i + 1))
    done
    python3 - "$out/vdg.runs" "$out/$format.runs" "$input $format" "$input" <<'PY' || status=1
import statistics, sys
vdg = [tuple(map(float, line.split())) for line in open(sys.argv[1])]
fmt = [tuple(map(float, line.split())) for line in open(sys.argv[2])]
ratios = sorted(f[0] / v[0] for v, f in zip(vdg, fmt))
ratio = statistics.median(ratios)
rss_mib = max(f[1] for f in fmt) / 1024
timed = sys.argv[4] == "kvl_1m.kvl"
print(f"{sys.argv[3]}: median {statistics.median(f[0] for f in fmt):.3f} s, vdg median "
      f"{statistics.median(v[0] for v in vdg):.3f} s; paired ratio median {ratio:.2f} "
      f"(min {ratios[0]:.2f}, max {ratios[-1]:.2f}{'; target <= 1.3' if timed else ''}); "
      f"max RSS {rss_mib:.1f} MiB (target <= 64)")
sys.exit(0 if (ratio <= 1.3 or not timed) and rss_mib <= 64 else 1)
PY
  done
done
exit $status
