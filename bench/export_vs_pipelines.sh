#!/bin/sh
# tessaly-cli export against the awk + proj pipelines on the same one-million
# record logs, in the same run: median times, their ratio, and the peak
# memory of tessaly-cli export.
#
# usage: bench/export_vs_pipelines.sh [BUILD_DIR] [RUNS]
#   BUILD_DIR  build folder holding bin/tessaly-cli (default: build)
#   RUNS       timed runs of each command (default: 7)
# Targets: tessaly-cli at least 5 times faster than awk + proj for KVL and
# KVS; tessaly-cli's maximum resident set at most 64 MiB.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-7}
cli=$(cd "$build" && pwd)/bin/tessaly-cli
pipelines=${TESSALY_PIPELINES:-$here/pipelines}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$here/make_data.sh"
status=0
for kind in kvl kvs; do
  in=$here/data/${kind}_1m.$kind
  hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$out/$kind.json" \
    -n tessaly-cli "$cli export $in $out/cli.vdg" \
    -n awk+proj "sh $pipelines/${kind}_awk_proj.sh $in $out/awk.csv" >&2
  /usr/bin/time -f "%M" -o "$out/rss" "$cli" export "$in" "$out/cli.vdg"
  python3 - "$out/$kind.json" "$(cat "$out/rss")" "$kind" <<'PY' || status=1
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
cli, awk = results["tessaly-cli"]["median"], results["awk+proj"]["median"]
rss_mib = int(sys.argv[2]) / 1024
ratio = awk / cli
print(f"{sys.argv[3].upper()}: tessaly-cli export median {cli:.3f} s, awk+proj median {awk:.3f} s, "
      f"awk+proj / tessaly-cli = {ratio:.2f} (target >= 5); max RSS {rss_mib:.1f} MiB (target <= 64)")
# CPU seconds (children included) tell the work apart when the machine is busy.
cpu = {name: r["user"] + r["system"] for name, r in results.items()}
print(f"  cpu (mean user+system): tessaly-cli {cpu['tessaly-cli']:.3f} s, awk+proj {cpu['awk+proj']:.3f} s, "
      f"ratio {cpu['awk+proj'] / cpu['tessaly-cli']:.2f}")
sys.exit(0 if ratio >= 5 and rss_mib <= 64 else 1)
PY
done
exit $status
