#!/usr/bin/env bash
# Installs what is missing, builds Tessaly and starts it. Without a display it
# says so and shows the command-line tool at work on a bundled sample log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
bin="$root/build/bin"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$bin/tessaly" ]; then
  exec "$bin/tessaly" "$@"
fi
sample=$(ls "$bin"/Projects/*.kvl 2>/dev/null | head -n 1)
if [ -x "$bin/tessaly" ]; then
  echo "No display found, so the Tessaly window cannot open here."
else
  echo "The Tessaly window is not part of this build yet."
fi
echo "Showing the command-line tool on the bundled sample $(basename "$sample") instead:"
echo
echo "\$ tessaly-cli kind $(basename "$sample")"
"$bin/tessaly-cli" kind "$sample"
out=$(mktemp --suffix=.vdg)
errors=$(mktemp --suffix=.txt)
echo "\$ tessaly-cli export --errors errors.txt $(basename "$sample") grid.vdg"
"$bin/tessaly-cli" export --errors "$errors" "$sample" "$out"
echo "First rows of grid.vdg:"
head -n 4 "$out" | cut -c 1-160
echo "First entry of errors.txt:"
head -n 4 "$errors"
echo "\$ tessaly-cli utm 45.20575 -63.5"
"$bin/tessaly-cli" utm 45.20575 -63.5
rm -f "$out" "$errors"
