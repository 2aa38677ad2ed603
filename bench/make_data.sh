#!/bin/sh
# Makes the benchmark inputs in bench/data/ when they are missing:
# one million KVL and KVS records with 1 % faulty lines.
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
