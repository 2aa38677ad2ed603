#!/bin/sh
# The document model's load of the one-million record KVL log against
# tessaly-cli export of the same file, in the same run, and the memory the
# loaded document holds.
#
# usage: bench/document_vs_export.sh [BUILD_DIR] [RUNS]
# Targets: load time at most 1.3 times the export time; at most 300 bytes
# per record, by the document's own accounting of its buffers and by the
# maximum resident set of the benchmark process.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
runs=${2:-7}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$here/make_data.sh"
in=$here/data/kvl_1m.kvl
lines=$(wc -l < "$in")
TESSALY_BENCH_FILE=$in /usr/bin/time -f "%M %U %S" -o "$out/rss" "$build/bin/document_bench" \
  --benchmark_filter='BM_DocumentLoad/2' --benchmark_repetitions="$runs" \
  --benchmark_min_time=0.01 --benchmark_format=json > "$out/doc.json"
hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$out/cli.json" \
  -n tessaly-cli "$build/bin/tessaly-cli export $in $out/cli.vdg" >&2
python3 - "$out/doc.json" "$out/cli.json" "$(cat "$out/rss")" "$lines" "$runs" <<'PY'
import json, statistics, sys
doc = json.load(open(sys.argv[1]))["benchmarks"]
runs = [b for b in doc if b.get("run_type") == "iteration"]
load = statistics.median(b["real_time"] for b in runs) / 1000.0
per_line = runs[0]["bytes_per_line"]
cli = json.load(open(sys.argv[2]))["results"][0]
export = cli["median"]
rss_kib, user, system = sys.argv[3].split()
rss_per_line = int(rss_kib) * 1024 / int(sys.argv[4])
ratio = load / export
print(f"document load median {load:.3f} s, tessaly-cli export median {export:.3f} s, "
      f"load / export = {ratio:.2f} (target <= 1.3)")
# CPU seconds tell the work apart when the machine is busy with other jobs.
loads = sum(b["iterations"] for b in runs)
load_cpu = (float(user) + float(system)) / loads
print(f"  cpu per run: document load {load_cpu:.3f} s (user+system of the benchmark process / {loads} loads), "
      f"tessaly-cli export {cli['user'] + cli['system']:.3f} s (mean user+system)")
print(f"document buffers {per_line:.1f} bytes per line (target <= 300); "
      f"benchmark max RSS {rss_per_line:.1f} bytes per line (target <= 300)")
sys.exit(0 if ratio <= 1.3 and per_line <= 300 and rss_per_line <= 300 else 1)
PY
