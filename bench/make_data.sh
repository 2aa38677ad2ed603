#!/bin/sh
# Makes the benchmark inputs in bench/data/ when they are missing:
# one million KVL and KVS records with 1 % faulty lines, and one million KVL
# records of a live part (10 a second) with its reception times, NMEA (the
# GPS at 1 Hz) and cable out beside it.
set -e
here=$(cd "$(dirname "$0")" && pwd)
gen=${TESSALY_GEN_SURVEY:-$here/../tools/survey/gen_survey.py}
mkdir -p "$here/data"
for kind in kvl kvs; do
  file=$here/data/${kind}_1m.$kind
  if [ ! -s "$file" ]; then
    echo "making $file" >&2
    python3 "$gen" --kind $kind --records 1000000 --bad-fraction 0.01 --seed 1 -o "$file"
  fi
done
gps=$here/data/kvl_1m_gps.kvl
if [ ! -s "$gps.cable" ]; then
  echo "making $gps with its .times, .nmea and .cable" >&2
  python3 "$gen" --kind kvl --records 1000000 --rate 10 --gps-rate 1 --cable 70 --seed 1 -o "$gps" \
    --times-out "$gps.times" --nmea-out "$gps.nmea"
  # The 70 m of cable the generator laid, out from the first record on.
  awk -F '\t' 'NR == 1 { printf "%s\t70\r\n", $2; exit }' "$gps.times" > "$gps.cable"
fi
