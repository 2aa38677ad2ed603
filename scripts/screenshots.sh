#!/usr/bin/env bash
# Makes every picture of the guide (docs/guide.md) from the current build:
# a virtual screen (Xvfb), the instrument simulator with its GPS, and the
# program itself driven by tessaly-screenshots through the steps of
# docs/screenshots.steps. The pictures replace docs/images/*.png (a
# picture the steps no longer take is removed), cropped to their window and
# reduced to a palette (pngquant).
#
#   bash scripts/screenshots.sh [BUILD]     # BUILD: the build folder, default build
#
# SCREENSHOT_DISPLAY names the virtual screen's display (default :18).
# Not part of the test command; tessaly_screenshots_tests checks that every
# picture the guide shows is one the steps take.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$root" && realpath -m "${1:-build}")
display=${SCREENSHOT_DISPLAY:-:18}
bin=$build/bin
images=$root/docs/images

for tool in Xvfb pngquant; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (bash scripts/deps.sh installs it)" >&2; exit 1; }
done
if [ -e "/tmp/.X${display#:}-lock" ]; then
  echo "screenshots: display $display is taken; name another with SCREENSHOT_DISPLAY" >&2
  exit 1
fi
[ -f "$build/CMakeCache.txt" ] || { echo "screenshots: no build in $build (bash scripts/build.sh build)" >&2; exit 1; }
nice cmake --build "$build" --target tessaly-screenshots tessaly-sim tessaly_home_files -j2 >/dev/null

# The pictures show the program's folder (in its dialogs and file boxes):
# a short one of fixed name, made afresh.
work=/tmp/tessaly-guide
if ! mkdir -m 700 "$work" 2>/dev/null; then
  echo "screenshots: $work exists: another run is going on, or remove it" >&2
  exit 1
fi
xvfb=
failed=1
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  if [ "$failed" -eq 0 ]; then
    rm -rf "$work"
  else
    mv "$work" "$work.failed.$$" && echo "screenshots: the run's files, the screen at the failure among them: $work.failed.$$" >&2
  fi
}
trap cleanup EXIT

# A fresh program home: the default settings, the sample logs, and the
# generator's survey, live stream and memory data set.
home=$work/survey
mkdir -p "$home/sim" "$work/pictures"
cp -r "$bin/Lib" "$bin/Projects" "$home/"
gen() { python3 "$root/tools/survey/gen_survey.py" "$@"; }
# The survey as a live session leaves it: with its reception times and the
# ship's GPS beside it, the towfish on 150 m of cable (as the steps set in
# the positioning settings).
gen --kind kvl --lines 4 --line-length 1200 --line-spacing 150 --bad-fraction 0.01 --seed 7 --cable 150 \
  --marks-out "$home/Projects/survey.cmt" --times-out "$home/Projects/survey.kvl.times" \
  --nmea-out "$home/Projects/survey.kvl.nmea" -o "$home/Projects/survey.kvl"
gen --kind kvl --records 3000 --rate 5 --speed 9 --bad-fraction 0.02 --seed 64 --cable 150 \
  --nmea-out "$home/sim/live.nmea" -o "$home/sim/live.kvl"
gen --kind kvs --records 300 --seed 5 -o "$home/sim/memory.kvs"

Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done

echo "screenshots: running docs/screenshots.steps on $display"
TESSALY_HOME=$home TESSALY_SERIAL_DEVICE="$home/tty%d" DISPLAY=$display QT_QPA_PLATFORM=xcb \
  LC_ALL=C.UTF-8 TZ=UTC XDG_RUNTIME_DIR=$work \
  timeout 600 "$bin/tessaly-screenshots" "$root/docs/screenshots.steps" "$work/pictures"

mkdir -p "$images"
rm -f "$images"/*.png
for picture in "$work"/pictures/*.png; do
  name=$(basename "$picture")
  pngquant --quality 70-95 --speed 1 --strip --output "$images/$name" -- "$picture" 2>/dev/null ||
    cp "$picture" "$images/$name"
done
failed=0
echo "screenshots: $(ls "$images" | wc -l) pictures in docs/images ($(du -sh "$images" | cut -f1))"
