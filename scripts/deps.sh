#!/usr/bin/env bash
# Installs the Debian 12 packages Tessaly needs to build, test, fuzz and run.
# Only what is missing is installed, and nothing is touched (no package list
# update, no locale generation) when nothing is missing. clang and its
# runtime libraries (libFuzzer among them) build the fuzz programs; the
# packaging tools make and check the Debian package (scripts/package.sh,
# scripts/check-package.sh).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  python3 locales socat xvfb xauth pngquant
  gdal-bin parallel gpsd gpsd-clients
  clang libclang-rt-14-dev
  dpkg-dev lintian desktop-file-utils librsvg2-bin man-db
  hyperfine
)
missing=()
for p in "${packages[@]}"; do
  # Read whole before testing: with pipefail an early-exiting grep -q could
  # make an installed package look missing.
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A locale whose decimal separator is a comma, for the locale tests; made
# only when it does not exist yet.
locales=$(locale -a 2>/dev/null || true)
if ! grep -qix 'de_DE\.utf-\?8' <<<"$locales"; then
  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
