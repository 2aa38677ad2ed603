#!/bin/sh
# The byte rate tessaly-sim achieves on its pseudo-terminal, against the rate
# its line settings allow (8N1: baud / 10 bytes a second), read from the
# device by a small reader for about SECONDS at 9600 and at 115200 baud.
#
# usage: bench/sim_rate.sh [BUILD_DIR] [SECONDS]     # defaults: build, 5
# Target: the achieved rate within 5 % of the asked rate on an idle machine.
# It can never be above it: the reader's clock starts before it opens the
# device, and the simulator's only once the device is open.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
seconds=${2:-5}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

status=0
for baud in 9600 115200; do
  records=$((seconds * baud / 10 / 49 + 1))  # a KVL record is 49 bytes with CR LF
  python3 "$here/../tools/survey/gen_survey.py" --kind kvl --records "$records" -o "$out/log.kvl"
  "$build/bin/tessaly-sim" stream --baud "$baud" --rate 0 --wait-open --link "$out/tty" "$out/log.kvl" \
    > "$out/device" &
  sim=$!
  while [ ! -s "$out/device" ]; do sleep 0.05; done
  python3 - "$out/tty" "$baud" <<'PY' || status=1
import os, sys, time, tty
path, baud = sys.argv[1], int(sys.argv[2])
start = time.monotonic()
fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
tty.setraw(fd)
received, last = 0, start
while True:
    try:
        chunk = os.read(fd, 65536)
    except OSError:  # the device hung up at the end
        break
    if not chunk:
        break
    received += len(chunk)
    last = time.monotonic()
asked = baud / 10.0
achieved = received / (last - start)
print(f"{baud} baud 8N1: {received} bytes in {last - start:.3f} s = {achieved:.1f} bytes/s, "
      f"asked {asked:.1f} bytes/s, achieved / asked = {achieved / asked:.4f} (target 0.95 to 1)")
sys.exit(0 if 0.95 <= achieved / asked <= 1.0 else 1)
PY
  wait "$sim"
  rm -f "$out/device"
done
exit $status
