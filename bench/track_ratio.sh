#!/bin/sh
# The track model's share of painting a track: decimation and drawing of the
# same survey as 1,000,000 and as 1,000 records in an 800 x 600 image, fit-all
# and zoomed in 8 times, in the same run; and the model's bytes per record.
#
# usage: bench/track_ratio.sh [BUILD_DIR] [RUNS]
# Targets: paint of 1,000,000 records at most 1.2 times that of 1,000 (the
# window's paint adds its fixed costs on top of these); at most 16 bytes per
# record. Exit status 1 when a target is missed.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
runs=${2:-7}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

"$build/bin/track_bench" --benchmark_repetitions="$runs" --benchmark_format=json > "$out"
python3 - "$out" <<'PY'
import json, statistics, sys
runs = [b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") == "iteration"]
def median(name):
    return statistics.median(b["real_time"] for b in runs if b["run_name"] == name)
def counter(name, key):
    return next(b[key] for b in runs if b["run_name"] == name)
ok = True
for zoom, label in (("1", "fit-all"), ("8", "zoomed in 8x")):
    small, large = median(f"BM_TrackPaint/1000/{zoom}"), median(f"BM_TrackPaint/1000000/{zoom}")
    ratio = large / small
    ok = ok and ratio <= 1.2
    print(f"{label}: 1,000 records {small:.1f} us ({counter(f'BM_TrackPaint/1000/{zoom}', 'points'):.0f} points), "
          f"1,000,000 records {large:.1f} us ({counter(f'BM_TrackPaint/1000000/{zoom}', 'points'):.0f} points), "
          f"ratio {ratio:.2f} (target <= 1.2)")
for records in ("1000", "1000000"):
    per = counter(f"BM_TrackMemory/{records}/iterations:1", "bytes_per_record")
    ok = ok and per <= 16
    print(f"model of {records} records: {per:.2f} bytes per record (target <= 16)")
sys.exit(0 if ok else 1)
PY
