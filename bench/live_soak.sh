#!/usr/bin/env bash
# Soak of a live logging session: tessaly-sim streams a KV7100 log at 115200
# baud as fast as the line allows, with 1 % faulty records, garbage between
# records (some holding '$', CR and LF), records split across writes, records
# broken by a line break and one hang-up half way that leaves records in
# flight (the device unplugged for 1.5 s); a headless logging window
# (tessaly-live-log) records it. The parts must then hold exactly the good
# records sent (the generator's faults list and the simulator's report say
# which), in order, none lost or twice, across part changes and the
# reconnection; of the records in flight, those that arrived.
#
# --gps: a GPS streams on a second device at the same time, 10 epochs a
# second of five sentences at 115200 baud, 1 % of them with a wrong checksum
# and 1 % of the epochs without a fix; the parts' NMEA files must then hold
# every sentence the GPS sent, in order, once, the wrong checksums marked,
# and every part a reception time for each of its lines (rows 1 to N, times
# never going back).
#
#   bench/live_soak.sh [--short] [--gps] [BUILD_DIR]
#
# 10 minutes with parts of 33000 records; --short: 30 s with parts of 2000
# (run by scripts/test.sh). Exit status 0 when the parts agree. KEEP_WORK=1
# keeps the run's files (logs, the simulator's report) for a look.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=600
per_part=33000
if [[ ${1:-} == --short ]]; then
  seconds=30
  per_part=2000
  shift
fi
gps=
if [[ ${1:-} == --gps ]]; then
  gps=1
  shift
fi
bin=$(cd "${1:-$root/build}" && pwd)/bin
work=$(mktemp -d)
sim_pid=
log_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
  [[ -n $log_pid ]] && kill "$log_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  if [[ -n ${KEEP_WORK:-} ]]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# About 230 records a second go over the line: a log that lasts the run, one
# hang-up after 55 % of it.
records=$((seconds * 230))
hangup_after=$((records * 55 / 100))
python3 "$root/tools/survey/gen_survey.py" --kind kvl --records "$records" --bad-fraction 0.01 --seed 11 \
  -o "$work/source.kvl" --faults-out "$work/faults.csv" ${gps:+--rate 230 --gps-rate 10 --nmea-out "$work/source.nmea"}
gps_sim=()
gps_log=()
if [[ -n $gps ]]; then
  gps_sim=(--gps "$work/source.nmea" --gps-link "$work/gps" --gps-baud 115200 --gps-bad-checksum 0.01
           --gps-invalid 0.01 --gps-sent "$work/gps-sent.txt")
  gps_log=(--gps-device "$work/gps" --gps-baud 115200)
fi
"$bin/tessaly-sim" stream --baud 115200 --rate 0 --seed 5 --garbage 0.05 --garbage-any --split 0.2 --burst 0.05 \
  --broken 0.01 --hangup-after "$hangup_after" --hangup-ms 1500 --hangup-in-flight \
  --wait-open --link "$work/tty1" --sent "$work/sent.txt" "${gps_sim[@]}" \
  "$work/source.kvl" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [[ -e $work/tty1 ]] && break; sleep 0.1; done
QT_QPA_PLATFORM=offscreen TESSALY_SERIAL_DEVICE="$work/tty%d" "$bin/tessaly-live-log" log \
  --records-per-part "$per_part" "${gps_log[@]}" "$work/soak.kvl" >"$work/log.out" 2>"$work/log.err" &
log_pid=$!
wait "$sim_pid"  # the simulator ends once the reader has taken every byte
sim_pid=
sleep 2  # the window takes what is still on its way
kill -TERM "$log_pid"
wait "$log_pid"
log_pid=
mapfile -t parts < <(sed -n 's/^part //p' "$work/log.out")
echo "sent: $(grep -c '^[RSX] ' "$work/sent.txt") records ($(grep -c , "$work/faults.csv") lines faulty)," \
  "$(grep -c '^G ' "$work/sent.txt") garbage runs, $(grep -c '^S ' "$work/sent.txt") split records," \
  "$(grep -c '^X ' "$work/sent.txt") broken, $(grep -c '^H ' "$work/sent.txt") hang-up(s)"
echo "logged: ${#parts[@]} part(s), $(sed -n 's/^records //p' "$work/log.out") records"
"$bin/tessaly-live-log" check --faults "$work/faults.csv" "$work/sent.txt" "${parts[@]}"
[[ -z $gps ]] || python3 "$root/bench/live_soak_gps_check.py" "$work/gps-sent.txt" "${parts[@]}"
