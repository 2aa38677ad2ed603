#!/usr/bin/env bash
# Rewrites the expected outputs of the golden logs (tests/golden/expected/)
# with the tessaly-cli of a build, case by case as tests/golden/cases.tsv
# lists them. Run it after a change that is meant to change what the tool
# writes, look at the differences (git diff tests/golden), and commit them
# with that change.
#   scripts/refresh-golden.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" --target tessaly-cli > /dev/null
cli="$build/bin/tessaly-cli"
golden="$root/tests/golden"

# An empty program home: the map datum is WGS 84 unless a case says otherwise.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir "$home/Lib"

rm -rf "$golden/expected"
mkdir "$golden/expected"
cd "$root"
while IFS=$'\t' read -r -a fields; do
  [[ ${#fields[@]} -eq 0 || ${fields[0]} == \#* ]] && continue
  name=${fields[0]}
  input=${fields[1]}
  out="$golden/expected/$name"
  status=0
  TESSALY_HOME="$home" LC_ALL=C "$cli" "${fields[@]:2}" --errors "$out.errors.txt" "$input" "$out.vdg" \
    2> "$home/stderr" || status=$?
  { echo "exit $status"; cat "$home/stderr"; } > "$out.status.txt"
done < "$golden/cases.tsv"
echo "Rewrote $(ls "$golden/expected" | wc -l) files in tests/golden/expected/"
