#!/usr/bin/env bash
# Configures and builds the sanitizer tree build-asan/ with clang:
# AddressSanitizer and UndefinedBehaviorSanitizer over the core, its tools and
# their tests, and the libFuzzer programs of tests/fuzz in the same build
# (libFuzzer's coverage in every library). scripts/test.sh runs its tests,
# scripts/fuzz.sh its fuzz programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
command -v clang++ >/dev/null || bash "$root/scripts/deps.sh"
CC=clang CXX=clang++ bash "$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g" \
  -DTESSALY_SANITIZE=ON -DTESSALY_FUZZ=ON -DTESSALY_CORE_ONLY=ON -DTESSALY_BENCH=OFF
