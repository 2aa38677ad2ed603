#!/usr/bin/env bash
# Latency of a live logging session: the time from the moment tessaly-sim
# has written a record's line break (its --sent-times report) to the moment
#  - the headless logger (tessaly-live-log --shown) has written it to the log;
#  - a logging window (live_window_run) has shown it in grid, chart and raw
#    view, and its session has written it.
# All times are CLOCK_MONOTONIC.
#
#   bench/live_latency.sh [BUILD_DIR] [SECONDS_AT_1HZ] [SECONDS_AT_FULL_RATE]   # defaults: build, 120, 20
#
# Prints the median and the 99th percentile at 1 record a second and at the
# fastest rate 115200 baud allows. Target: all at most 50 ms.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
slow=${2:-120}
fast=${3:-20}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

python3 "$root/tools/survey/gen_survey.py" --kind kvl --records 20000 --seed 13 -o "$work/source.kvl"

report() {  # NAME SENT TIMES...
  python3 - "$@" <<'PY'
import statistics, sys
name, sent_path, *time_paths = sys.argv[1:]
sent = [int(line[2:]) for line in open(sent_path) if line.startswith("T ")]
for path in time_paths:
    done = [int(line.split()[1]) for line in open(path)]
    lat = sorted((d - t) / 1e6 for d, t in zip(done, sent))
    p99 = lat[min(len(lat) - 1, int(round(0.99 * (len(lat) - 1))))]
    what = path.rsplit(".", 1)[1]
    print(f"{name} {what}: {len(lat)} records, median {statistics.median(lat):.2f} ms, p99 {p99:.2f} ms, "
          f"max {lat[-1]:.2f} ms")
PY
}

run() {  # NAME RATE SECONDS PROGRAM
  local name=$1 rate=$2 seconds=$3 program=$4
  "$bin/tessaly-sim" stream --baud 115200 --rate "$rate" --loop --wait-open --link "$work/tty1" \
    --sent "$work/$name.sent" --sent-times "$work/source.kvl" >/dev/null 2>"$work/$name.sim.err" &
  local sim=$!
  for _ in $(seq 100); do [[ -e $work/tty1 ]] && break; sleep 0.1; done
  if [[ $program == window ]]; then
    QT_QPA_PLATFORM=offscreen TESSALY_SERIAL_DEVICE="$work/tty%d" "$bin/live_window_run" \
      "$work/$name.shown" "$work/$name.written" "$work/$name.kvl" >/dev/null 2>"$work/$name.log.err" &
  else
    TESSALY_SERIAL_DEVICE="$work/tty%d" "$bin/tessaly-live-log" log \
      --shown "$work/$name.logged" "$work/$name.kvl" >/dev/null 2>"$work/$name.log.err" &
  fi
  local log=$!
  sleep "$seconds"
  kill -TERM "$sim"; wait "$sim" || true
  sleep 1
  kill -TERM "$log"; wait "$log" || true
  rm -f "$work/tty1"
  if [[ $program == window ]]; then
    report "$name" "$work/$name.sent" "$work/$name.written" "$work/$name.shown"
  else
    report "$name" "$work/$name.sent" "$work/$name.logged"
  fi
}

run rate-1hz 1 "$slow" headless
run rate-full 0 "$fast" headless
run window-1hz 1 "$slow" window
run window-full 0 "$fast" window
