#!/usr/bin/env bash
# Checks the Debian package as a survey laptop gets it, from the Release build
# (build/, made first when missing): its files, its menu entry
# (desktop-file-validate), lintian (no error), its manual pages; then it
# installs it with apt-get, runs tessaly-cli from /usr/bin, starts the program
# under Xvfb with its menu entry's command and a fresh user (the settings are
# copied into the user's folder and a sample log opens), and removes it again,
# checking that nothing but the user's folder is left.
#
# Not root, or the package already installed by hand: the programs are checked
# in a throw-away folder (dpkg -x) instead, and the installed package is left
# alone. The package is never left installed by this script, and one check
# runs at a time on a machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-check-package.XXXXXX")
installed=no
xvfb=
gui=

fail() {
  echo "check-package: $*" >&2
  exit 1
}

stop() {
  [ -z "$1" ] && return
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

cleanup() {
  stop "$gui"
  stop "$xvfb"
  if [ "$installed" = yes ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 tessaly >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Another test run on this machine must not install or remove the package
# while this one checks it.
lock=/run/lock
[ -w "$lock" ] || lock=${TMPDIR:-/tmp}
exec 9>"$lock/tessaly-check-package.lock"
flock -w 900 9 || fail "another package check did not end within 15 minutes"

# ---- The package file ----
deb=$(bash "$root/scripts/package.sh" "$work" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")
[ "$(basename "$deb")" = "tessaly_${version}_amd64.deb" ] || fail "unexpected package name: $deb"
[ "$(dpkg-parsechangelog -l "$root/packaging/changelog" -S Version)" = "$version" ] ||
  fail "the latest entry of packaging/changelog is not version $version"

expected_files() {
  printf '%s\n' usr/bin/tessaly usr/bin/tessaly-cli usr/bin/tessaly-live-log usr/bin/tessaly-sim \
    usr/share/applications/tessaly.desktop usr/share/doc/tessaly/changelog.gz \
    usr/share/doc/tessaly/copyright usr/share/icons/hicolor/scalable/apps/tessaly.svg
  for size in 16 22 24 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/tessaly.png"; done
  for page in tessaly tessaly-cli tessaly-sim tessaly-live-log; do echo "usr/share/man/man1/$page.1.gz"; done
  (cd "$root" && find Lib Projects -type f | sed 's|^|usr/share/tessaly/|')
}
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
diff <(expected_files | sort) <(echo "$packaged") >"$work/files.diff" ||
  { cat "$work/files.diff"; fail "the package's files differ from the list (<: missing, >: not expected)"; }
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6serialport6 libjpeg62-turbo zlib1g qt6-qpa-plugins; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

tree=$work/tree
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree/usr/share/applications/tessaly.desktop" ||
  fail "desktop-file-validate rejects the menu entry"
for page in "$tree"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || echo "man failed")
  [ -z "$warnings" ] || fail "$(basename "$page") does not render cleanly: $warnings"
done
# lintian: errors fail the check; warnings and notes are listed.
lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

# ---- Installed, or unpacked in a throw-away folder ----
status=$(dpkg-query -W -f='${Status}' tessaly 2>/dev/null || true)
if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null && [ "$status" != "install ok installed" ]; then
  installed=yes  # from here on the clean-up removes it, even after a half-done install
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install of the package failed"; }
  prefix=/usr
  [ "$(command -v tessaly-cli)" = /usr/bin/tessaly-cli ] || fail "tessaly-cli is not found in /usr/bin"
else
  echo "check-package: not installing (not root, or tessaly is installed already):" \
    "the programs run from a throw-away folder (dpkg -x)"
  prefix=$tree/usr
fi
# Each program runs as a new user would run it: a bare environment, a fresh
# home folder.
mkdir -p "$work/cli-user" "$work/gui-user"
cli_user=(env -i "PATH=$prefix/bin:/usr/bin:/bin" "HOME=$work/cli-user" LC_ALL=C.UTF-8)
gui_user=(env -i "PATH=$prefix/bin:/usr/bin:/bin" "HOME=$work/gui-user" LC_ALL=C.UTF-8)
samples=$prefix/share/tessaly/Projects

[ "$("${cli_user[@]}" tessaly-cli --version)" = "tessaly-cli $version" ] ||
  fail "tessaly-cli --version does not print tessaly-cli $version"
"${cli_user[@]}" tessaly-cli export "$samples/line01.kvl" "$work/line01.vdg" ||
  fail "tessaly-cli export of a sample log failed"
[ "$(grep -c . "$work/line01.vdg")" -gt 100 ] || fail "tessaly-cli export wrote too few lines"
[ -f "$work/cli-user/.local/share/tessaly/Lib/UTM.ega" ] ||
  fail "tessaly-cli did not copy the default settings into the user's folder"

# The program from its menu entry's command, a sample log for %F.
entry=$(sed -n 's/^Exec=//p' "$prefix/share/applications/tessaly.desktop")
read -r -a command <<<"${entry//%F/$samples/line01.kvl}"
Xvfb -displayfd 8 -screen 0 1280x800x24 -nolisten tcp 8>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
user_data=$work/gui-user/.local/share/tessaly
"${gui_user[@]}" DISPLAY=":$(cat "$work/display")" "${command[@]}" >"$work/gui.log" 2>&1 &
gui=$!
# Opening a log records it in the recent files list (Lib/Files.ega).
for _ in $(seq 200); do
  if [ -f "$user_data/Lib/Files.ega" ] && ! cmp -s "$user_data/Lib/Files.ega" "$prefix/share/tessaly/Lib/Files.ega"; then
    break
  fi
  kill -0 "$gui" 2>/dev/null || { cat "$work/gui.log"; fail "the program ended at its start"; }
  sleep 0.1
done
cmp -s "$user_data/Lib/Files.ega" "$prefix/share/tessaly/Lib/Files.ega" &&
  { cat "$work/gui.log"; fail "the program did not open the sample log within 20 s"; }
for file in Lib/SerialPort.ega Lib/View.ega Lib/UTM.ega Lib/Brenthal.jpg Projects/line01.kvl Projects/line08.pnav; do
  [ -f "$user_data/$file" ] || fail "$file was not copied into the user's folder"
done
sleep 1
kill -0 "$gui" 2>/dev/null || { cat "$work/gui.log"; fail "the program ended after opening the log"; }
stop "$gui"
gui=
stop "$xvfb"
xvfb=

# ---- Removal ----
if [ "$installed" = yes ]; then
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 tessaly >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get remove failed"; }
  installed=no
  while read -r file; do
    [ ! -e "/$file" ] || fail "/$file is left after the removal"
  done <<<"$packaged"
  for folder in /usr/share/tessaly /usr/share/doc/tessaly; do
    [ ! -e "$folder" ] || fail "$folder is left after the removal"
  done
  [ -f "$user_data/Lib/View.ega" ] || fail "the removal took the user's settings"
  echo "check-package: installed, ran and removed $(basename "$deb") cleanly"
else
  echo "check-package: $(basename "$deb") checked without installing it"
fi
