#!/usr/bin/env bash
# Installs what is missing, checks that every include points down the layers,
# builds everything and runs every test: the full suite, a short live
# logging soak and the Debian package's check (install, start, removal),
# then the core tests again under AddressSanitizer and UBSan
# (built with clang, in build-asan/), then each fuzz target of that tree
# briefly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/check-layers.sh"
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
export QT_QPA_PLATFORM=offscreen
(cd "$root/build" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
# A live session of 30 s from the simulator, faults and a hang-up included.
bash "$root/bench/live_soak.sh" --short --gps "$root/build"
# The Debian package made from this build: files, menu entry, lintian, manual
# pages, then installed, run from /usr/bin and removed again.
bash "$root/scripts/check-package.sh"
bash "$root/scripts/build-asan.sh"
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --timeout 600 -j "$(nproc)")
# Every fuzz target of the same tree for a short while, so that a regression
# shows at once; scripts/fuzz.sh SECONDS runs them longer.
bash "$root/scripts/fuzz.sh" 5
