#!/usr/bin/env bash
# Runs the libFuzzer programs of tests/fuzz, built in the sanitizer tree
# (scripts/build-asan.sh: clang, AddressSanitizer and UndefinedBehaviorSanitizer),
# each for SECONDS (default 20) from its seed corpus. New inputs go to
# build-asan/fuzz-corpus/, never to the repository. A target that crashes or
# breaks an invariant leaves the input in build-asan/fuzz-findings/<target>/,
# which is printed; the exit status is then 1 (after every target has run).
# FUZZ_OPTIONS adds libFuzzer options, for a long run for example:
#   FUZZ_OPTIONS=-runs=10000000 nice -n 19 scripts/fuzz.sh 1800 fuzz_settings
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
seconds=${1:-20}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
all=(fuzz_record_line fuzz_record_file fuzz_log_kind fuzz_document_load fuzz_pnav_header fuzz_settings
     fuzz_break_decoder fuzz_events_file fuzz_survey_lines fuzz_nmea fuzz_gps_files fuzz_live_session fuzz_live_gps)
targets=("${all[@]}")
[ $# -eq 0 ] || targets=("$@")

bash "$root/scripts/build-asan.sh"

# The dictionary of a target, when one helps it.
dictionary() {
  case $1 in
    fuzz_record_line | fuzz_record_file | fuzz_document_load | fuzz_log_kind | fuzz_live_session) echo records.dict ;;
    fuzz_pnav_header) echo pnav.dict ;;
    fuzz_settings) echo settings.dict ;;
    fuzz_survey_lines) echo survey.dict ;;
    fuzz_nmea | fuzz_gps_files | fuzz_live_gps) echo nmea.dict ;;
  esac
}

# The targets write their files to a scratch folder under TMPDIR: memory
# (/dev/shm) keeps the disk out of every run.
[ -n "${TMPDIR:-}" ] || { [ -w /dev/shm ] && export TMPDIR=/dev/shm; }
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$findings/" ${FUZZ_OPTIONS:-})
  dict=$(dictionary "$target")
  [ -z "$dict" ] || options+=(-dict="$root/tests/fuzz/dict/$dict")
  echo "== $target: $seconds s"
  if ! "$build/bin/$target" "${options[@]}" "$corpus" "$root/tests/fuzz/corpus/$target" \
       >"$build/$target.log" 2>&1; then
    failed+=("$target")
    tail -n 60 "$build/$target.log"
    for input in "$findings"/*; do
      [ -f "$input" ] || continue
      echo "-- input kept in $input:"
      od -A d -c "$input" | head -n 40
    done
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)|cov: .*ft:' "$build/$target.log" | tail -n 3
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "Every fuzz target ran $seconds s without a finding."
