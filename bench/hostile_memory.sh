#!/bin/sh
# The memory of the document load on hostile files, against its bounds. What
# the loaded document holds (LogDocument::MemoryBytes): at most 3 bytes per
# byte of the file, 512 bytes per line and 1 MiB. The peak of the load (the
# growth of the process's maximum resident set over that of an empty file's
# load): at most 6 bytes per byte of the file, 512 bytes per line and 16 MiB,
# since the parser copies a line, and its fields, while it parses it.
#
# usage: bench/hostile_memory.sh [BUILD_DIR]
# Writes its files to a temporary folder (about 400 MB); exit status 1 when
# a file breaks the bound.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

record='$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4'
python3 - "$data" "$record" <<'PY'
import os, sys
data, record = sys.argv[1], sys.argv[2].encode()
mib = b"A" * (1 << 20)
def write(name, *parts):
    with open(os.path.join(data, name), "wb") as out:
        for part in parts:
            if isinstance(part, tuple):
                for _ in range(part[1]):
                    out.write(part[0])
            else:
                out.write(part)
write("empty.kvl", b"\r\n")
write("one-100MB-line.kvl", (mib, 100))
write("record-then-100MB-line.kvl", record + b"\r\n$KVMGD,", (mib, 100), b"\r\n")
write("100-lines-of-1MB.kvl", record + b"\r\n", (mib + b"\r\n", 100))
write("2M-rejected-short-lines.kvl", record + b"\r\n", (b"x\n", 2000000))
write("short-start-then-100MB.rtb", b"$MGD,+01234,00000000000\r\n" + b"\n" * 60000, (mib, 100))
write("1M-records.kvl", (record + b"\r\n", 1000000))
PY

printf '%-30s %9s %9s %9s %9s %9s %9s\n' file "file MiB" lines "held MiB" "bound" "peak MiB" "bound"
baseline=
status=0
for file in empty.kvl one-100MB-line.kvl record-then-100MB-line.kvl 100-lines-of-1MB.kvl \
            2M-rejected-short-lines.kvl short-start-then-100MB.rtb 1M-records.kvl; do
  TESSALY_BENCH_FILE=$data/$file /usr/bin/time -f %M -o "$data/rss" "$build/bin/document_memory_bench" \
    --benchmark_format=json > "$data/result.json"
  rss=$(cat "$data/rss")
  [ -n "$baseline" ] || baseline=$rss
  python3 - "$data/result.json" "$file" "$rss" "$baseline" <<'PY' || status=1
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
grown = (int(sys.argv[3]) - int(sys.argv[4])) / 1024.0
peak_bound = 6 * b["file_MiB"] + 512 * b["lines"] / (1 << 20) + 16
print(f"{sys.argv[2]:<30} {b['file_MiB']:9.1f} {int(b['lines']):9d} {b['held_MiB']:9.1f} "
      f"{b['bound_MiB']:9.1f} {grown:9.1f} {peak_bound:9.1f}")
sys.exit(0 if b["held_MiB"] <= b["bound_MiB"] and grown <= peak_bound else 1)
PY
done
exit $status
