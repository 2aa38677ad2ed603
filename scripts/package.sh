#!/usr/bin/env bash
# Builds the Debian package tessaly_<version>_amd64.deb from the Release build
# (build/) with CPack: the four programs, their menu entry, icon and manual
# pages, and the default settings and sample logs (packaging/). Only what the
# package holds is built, not the test programs. The package lands in OUTDIR
# (default: the checkout's root); its path is the last line printed.
#   scripts/package.sh [OUTDIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$root}"
out=$(cd "${1:-$root}" && pwd)
bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target tessaly_package_files --parallel "$(nproc)"
staging=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-package.XXXXXX")
trap 'rm -rf "$staging"' EXIT
cpack --config "$root/build/CPackConfig.cmake" -B "$staging" >"$staging/cpack.log" 2>&1 ||
  { cat "$staging/cpack.log"; exit 1; }
package=$(ls "$staging"/tessaly_*_amd64.deb)
mv "$package" "$out/"
echo "$out/$(basename "$package")"
