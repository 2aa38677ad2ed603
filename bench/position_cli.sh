#!/bin/sh
# tessaly-cli position on a long survey: HOURS of records at 10 Hz with 10 Hz
# GPS fixes (five sentences an epoch), generated with their reception times
# and NMEA, positioned in follow mode. Prints the time and the peak memory.
#
# usage: bench/position_cli.sh [BUILD_DIR] [HOURS]     # defaults: build, 1
# Target: a day's survey (24 hours) positioned within a few minutes and a
# few hundred MB on the survey laptop; the time and memory grow with the
# records and the fixes, nothing more.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
hours=${2:-1}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

records=$((hours * 36000))
python3 "$here/../tools/survey/gen_survey.py" --kind kvl --records "$records" --rate 10 --gps-rate 10 \
  --cable 70 -o "$out/s.kvl" --nmea-out "$out/s.kvl.nmea" --times-out "$out/s.kvl.times"
mkdir -p "$out/home/Lib"
TESSALY_HOME="$out/home/" /usr/bin/time -f "%e s, %M KB peak" \
  "$build/bin/tessaly-cli" position --cable 70 --mode follow "$out/s.kvl" "$out/positions.csv" 2> "$out/time"
echo "$records records, $(wc -l < "$out/s.kvl.nmea") sentences: $(tail -1 "$out/time")"
