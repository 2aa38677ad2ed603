#!/usr/bin/env bash
# Fails when a source folder includes a header of a folder it must not depend
# on: every dependency points down the layers, and the core uses no Qt.
# The allowed dependencies of each folder, in one place:
set -euo pipefail
declare -A allowed=(
  [core]=""
  [widgets]="core"
  [shell]="core widgets"
  [acquisition]="core widgets shell"
  [transfer]="core widgets shell"
  [app]="core widgets shell acquisition transfer"
  [tools/cli]="core tools/options"
  [tools/options]=""
  [tools/sim]="core tools/options"
  [tools/settings]="core"
  [tools/demo]="core widgets"
  [tools/live]="core widgets shell acquisition tools/sim tools/options"
  [tools/screenshots]="core widgets shell acquisition transfer app"
)
# Folders whose headers a source folder could name.
known="core widgets shell acquisition transfer app tests bench tools/cli tools/options tools/sim tools/live tools/settings tools/demo tools/screenshots"

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line text; do
    included=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")
    top=${included%%/*}
    [ "$top" = tools ] && top=$(cut -d/ -f1-2 <<<"$included")  # a tool folder is a layer of its own
    [ "$top" != "$included" ] || continue                     # a header beside the file
    [[ " $known " == *" $top "* ]] || continue                 # not a folder of this repository
    [ "$folder" != "$top" ] && [[ "$folder" != "$top/"* ]] || continue  # its own folder
    if [[ " ${allowed[$folder]} " != *" $top "* ]]; then
      echo "$file:$line: $folder/ must not include $included (allowed: ${allowed[$folder]:-nothing})"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' "$folder" || true)
done
# The core and the tools that run without a window system use no Qt.
for folder in core tools/cli tools/options tools/sim tools/settings; do
  if grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' --include='*.h' --include='*.cpp' "$folder"; then
    echo "$folder/ is GUI-free: the lines above include Qt"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "layers: every include points down"
exit "$status"
