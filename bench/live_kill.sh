#!/usr/bin/env bash
# kill -9 in the middle of a live session: a headless logging window
# (tessaly-live-log) records tessaly-sim at 115200 baud (100 records a
# second, split records, broken records and garbage among them) and is killed
# outright after a few seconds; the simulator is held (SIGSTOP) the instant
# before, so that its report ends with what went over the line before the
# kill. Every line of the log must be a complete good record (the generator's
# faults list and the simulator's report say which), the log a prefix of the
# good records sent, at most the two in flight missing. Each record's
# reception time goes to disk before the record: the times file must hold a
# complete line for every line of the log, rows 1 to N, and at most one more.
#
#   bench/live_kill.sh [BUILD_DIR] [SECONDS]     # defaults: build, 5
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build}" && pwd)/bin
seconds=${2:-5}
work=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# One pass of the log lasts the run: the generator's truth holds for a
# continuous survey, not across a jump back to its start.
records=$((seconds * 100 + 1000))
python3 "$root/tools/survey/gen_survey.py" --kind kvl --records "$records" --bad-fraction 0.01 --seed 12 \
  -o "$work/source.kvl" --faults-out "$work/faults.csv"
"$bin/tessaly-sim" stream --baud 115200 --rate 100 --seed 6 --garbage 0.05 --garbage-any --split 0.2 --broken 0.01 \
  --wait-open --link "$work/tty1" --sent "$work/sent.txt" "$work/source.kvl" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [[ -e $work/tty1 ]] && break; sleep 0.1; done
QT_QPA_PLATFORM=offscreen TESSALY_SERIAL_DEVICE="$work/tty%d" "$bin/tessaly-live-log" log \
  "$work/killed.kvl" >"$work/log.out" 2>"$work/log.err" &
log_pid=$!
sleep "$seconds"
kill -STOP "$sim_pid"
kill -KILL "$log_pid"
wait "$log_pid" 2>/dev/null || true
kill -TERM "$sim_pid"
kill -CONT "$sim_pid"
wait "$sim_pid" || true
sim_pid=
echo "killed after ${seconds} s: $(wc -l <"$work/killed.kvl") lines logged"
"$bin/tessaly-live-log" check --prefix 2 --faults "$work/faults.csv" "$work/sent.txt" "$work/killed.kvl"
lines=$(wc -l <"$work/killed.kvl")
times=$(wc -l <"$work/killed.kvl.times")
echo "times: $times lines"
tr -d '\r' <"$work/killed.kvl.times" | awk -F'\t' -v lines="$lines" '
  NF != 3 || $1 != NR || $2 !~ /^[0-9-]+T[0-9:.]+Z$/ || $3 !~ /^[0-9]+$/ { print "times line " NR ": " $0; bad = 1 }
  END { if (NR < lines || NR > lines + 1) { print NR " times for " lines " records"; bad = 1 }; exit bad }'
