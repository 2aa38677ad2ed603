#!/usr/bin/env bash
# A logging window whose thread is blocked for 10 s during a full-rate
# 115200-baud stream from tessaly-sim (live_window_run --block-for): its
# session must go on writing every record within 50 ms of its line end
# (p99), block or no block, and log every valid record. Prints the write
# and show latencies (the shown ones include the block) and checks the log
# against the simulator's report.
#
#   bench/live_blocked_window.sh [BUILD_DIR] [SECONDS]   # defaults: build, 20
#
# The test LiveLogThreads.ABlockedWindowDelaysNoWrite runs the same in the
# suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
seconds=${2:-20}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

python3 "$root/tools/survey/gen_survey.py" --kind kvl --records 20000 --seed 14 -o "$work/source.kvl"
"$bin/tessaly-sim" stream --baud 115200 --rate 0 --wait-open --link "$work/tty1" \
  --sent "$work/sent.txt" --sent-times "$work/source.kvl" >/dev/null 2>"$work/sim.err" &
sim=$!
for _ in $(seq 100); do [[ -e $work/tty1 ]] && break; sleep 0.1; done
QT_QPA_PLATFORM=offscreen TESSALY_SERIAL_DEVICE="$work/tty%d" "$bin/live_window_run" --block-at 3 --block-for 10 \
  "$work/blocked.shown" "$work/blocked.written" "$work/blocked.kvl" >"$work/window.out" 2>"$work/window.err" &
window=$!
sleep "$seconds"
kill -TERM "$sim"; wait "$sim" || true
sleep 1
kill -TERM "$window"; wait "$window" || true
python3 - "$work/sent.txt" "$work/blocked.written" "$work/blocked.shown" <<'PY'
import statistics, sys
sent_path, written_path, shown_path = sys.argv[1:]
sent = [int(line[2:]) for line in open(sent_path) if line.startswith("T ")]
status = 0
for path, what in ((written_path, "written"), (shown_path, "shown")):
    done = [int(line.split()[1]) for line in open(path)]
    lat = sorted((d - t) / 1e6 for d, t in zip(done, sent))
    p99 = lat[min(len(lat) - 1, int(round(0.99 * (len(lat) - 1))))]
    print(f"{what}: {len(lat)} records, median {statistics.median(lat):.2f} ms, p99 {p99:.2f} ms, max {lat[-1]:.2f} ms")
    if what == "written" and p99 > 50:
        status = 1
sys.exit(status)
PY
"$bin/tessaly-live-log" check --variant kvl "$work/sent.txt" "$work/blocked.kvl"
