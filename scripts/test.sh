#!/usr/bin/env bash
# Installs what is missing, checks that every include points down the layers,
# builds everything and runs every test: the full suite and a short live
# logging soak, then the core tests again under AddressSanitizer and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/check-layers.sh"
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
export QT_QPA_PLATFORM=offscreen
(cd "$root/build" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
# A live session of 30 s from the simulator, faults and a hang-up included.
bash "$root/bench/live_soak.sh" --short "$root/build"
bash "$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSALY_SANITIZE=ON -DTESSALY_CORE_ONLY=ON -DTESSALY_BENCH=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --timeout 600 -j "$(nproc)")
