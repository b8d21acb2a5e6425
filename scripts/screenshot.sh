#!/usr/bin/env bash
# Builds WinVELMAR, starts it on a virtual X screen (Xvfb) and saves a
# screenshot of the whole screen as a PNG, so that anyone can see what the
# window looks like.
#   bash scripts/screenshot.sh [output.png]     (default: build/screenshot.png)
# SCREEN_SIZE (default 1280x1024x24) and SETTLE_SECONDS (default 3) may be set.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshot.png}
BUILD_DIR=${BUILD_DIR:-build}
if [ "${SKIP_BUILD:-0}" != 1 ]; then
  BUILD_DIR=$BUILD_DIR bash scripts/build.sh >/dev/null
fi
program=$BUILD_DIR/app/WinVELMAR
[ -x "$program" ] || { echo "no $program" >&2; exit 1; }

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done

Xvfb ":$display" -screen 0 "${SCREEN_SIZE:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done

# A temporary home keeps the run from touching the user's settings and log.
home=$(mktemp -d)
DISPLAY=":$display" QT_QPA_PLATFORM=xcb HOME="$home" TMPDIR="$home" "$program" >/dev/null 2>&1 &
app=$!
sleep "${SETTLE_SECONDS:-3}"
if ! kill -0 "$app" 2>/dev/null; then
  echo "WinVELMAR ended before the screenshot" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
DISPLAY=":$display" import -window root "$out"
rm -rf "$home"
echo "$out"
