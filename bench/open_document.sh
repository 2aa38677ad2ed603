#!/bin/sh
# Opening a log in the program, headless, against tessaly-cli export of the
# same file, in the same run; and the peak memory of the whole program.
#
# usage: bench/open_document.sh [BUILD_DIR] [RUNS]
# Targets: opening the one-million record KVL log (OpenDocument until grid,
# chart and raw text are shown) takes at most 1.5 times the export; the
# program's peak resident memory is at most 6 times the file's size; a
# 1,000-record log opens, window included, in under 0.3 s.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
runs=${2:-5}
gen=${TESSALY_GEN_SURVEY:-$here/../tools/survey/gen_survey.py}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$here/make_data.sh"
big=$here/data/kvl_1m.kvl
small=$here/data/kvl_1k.kvl
[ -s "$small" ] || python3 "$gen" --kind kvl --records 1000 --bad-fraction 0.01 --seed 1 -o "$small"

# A scratch program folder: the bench writes the recent-files list.
mkdir -p "$out/home"
cp -r "$build/bin/Lib" "$out/home/Lib"
export TESSALY_HOME="$out/home/"
export QT_QPA_PLATFORM=offscreen

seconds() {  # prints "wall user+system" seconds of a command
  /usr/bin/time -f "%e %U %S" -o "$out/time" "$@" > /dev/null
  awk '{ print $1, $2 + $3 }' "$out/time"
}

: > "$out/open"; : > "$out/export"; : > "$out/small"
i=0
while [ "$i" -lt "$runs" ]; do
  "$build/bin/open_document_bench" "$big" >> "$out/open"
  seconds "$build/bin/tessaly-cli" export "$big" "$out/cli.vdg" >> "$out/export"
  "$build/bin/open_document_bench" "$small" >> "$out/small"
  i=$((i + 1))
done

python3 - "$out/open" "$out/export" "$out/small" <<'PY'
import re, statistics, sys
def fields(path):
    return [dict(re.findall(r"(\w+)=([\d.]+)", line)) for line in open(path) if "=" in line]
opens = fields(sys.argv[1])
exports = [line.split() for line in open(sys.argv[2]) if line.strip()]
smalls = fields(sys.argv[3])
open_s = statistics.median(float(r["seconds"]) for r in opens)
export_s = statistics.median(float(e[0]) for e in exports)
open_cpu = statistics.median(float(r["cpu_seconds"]) for r in opens)
export_cpu = statistics.median(float(e[1]) for e in exports)
peak = max(int(r["vmhwm_kib"]) for r in opens) * 1024
size = int(opens[0]["file_bytes"])
small_s = statistics.median(float(r["seconds"]) for r in smalls)
ratio = open_s / export_s
print(f"open 1M-record KVL ({size / 1e6:.1f} MB, {opens[0]['records']} records): median {open_s:.3f} s; "
      f"tessaly-cli export median {export_s:.3f} s; open / export = {ratio:.2f} (target <= 1.5)")
# CPU seconds tell the work apart when the machine is busy with other jobs.
print(f"  cpu: open {open_cpu:.3f} s, export {export_cpu:.3f} s, open / export = {open_cpu / export_cpu:.2f}")
print(f"peak resident memory of the program {peak / 1e6:.1f} MB = {peak / size:.2f} x file size (target <= 6)")
print(f"open 1,000-record KVL with its window: median {small_s * 1000:.0f} ms (target < 300 ms)")
sys.exit(0 if ratio <= 1.5 and peak <= 6 * size and small_s < 0.3 else 1)
PY
