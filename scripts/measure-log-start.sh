#!/usr/bin/env bash
# Measures how long WinVELMAR takes to show its window, and to end after Exit,
# with a writable and with a read-only debug log folder. Runs the built program
# on a virtual X screen (Xvfb) and prints, for each folder, the times of every
# run and their median in milliseconds.
#   bash scripts/measure-log-start.sh            (RUNS=5 by default)
# Set SKIP_BUILD=1 to use the program as built.
# As root, permissions do not stop writing; the read-only folder is then a
# read-only bind mount in a private mount namespace (unshare), and both
# folders are measured that way so that the runs compare.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
RUNS=${RUNS:-5}
if [ "${SKIP_BUILD:-0}" != 1 ]; then
  BUILD_DIR=$BUILD_DIR bash scripts/build.sh >/dev/null
fi
program=$(cd "$BUILD_DIR/app" && pwd)/WinVELMAR
[ -x "$program" ] || { echo "no $program" >&2; exit 1; }

display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display"
# A window manager where there is one (the window takes the keyboard without).
wm=""
if command -v openbox >/dev/null 2>&1; then
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
fi

now_ms() { date +%s%3N; }

# One run with TEMP=$1: prints "<window shown> <ended after Exit>" in ms.
run_once() {
  local temp=$1 readonly=$2 t0 t1 t2 win
  local launch=("$program")
  if [ "$(id -u)" = 0 ]; then
    local ro="mount --bind '$temp/VKDebugInfo' '$temp/VKDebugInfo'"
    [ "$readonly" = 1 ] && ro="$ro && mount -o remount,ro,bind '$temp/VKDebugInfo'"
    launch=(unshare -m sh -c "$ro && exec '$program'")
  fi
  t0=$(now_ms)
  HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" TEMP="$temp" QT_QPA_PLATFORM=xcb \
    "${launch[@]}" >/dev/null 2>"$work/stderr" &
  app=$!
  win=""
  for _ in $(seq 2000); do
    win=$(xdotool search --onlyvisible --name '^WinVELMAR' 2>/dev/null | head -1) || true
    [ -n "$win" ] && break
    sleep 0.005
  done
  t1=$(now_ms)
  [ -n "$win" ] || { echo "the window did not show" >&2; exit 1; }
  sleep 0.5 # let it settle before Exit
  xdotool windowfocus --sync "$win" >/dev/null 2>&1 || true
  t2=$(now_ms)
  xdotool key alt+x
  wait "$app" || true
  app=""
  echo "$((t1 - t0)) $(($(now_ms) - t2))"
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

for mode in writable read-only; do
  temp="$work/$mode"
  mkdir -p "$temp/VKDebugInfo" "$work/home"
  readonly=0
  if [ "$mode" = read-only ]; then
    readonly=1
    [ "$(id -u)" = 0 ] || chmod a-w "$temp/VKDebugInfo"
  fi
  shown=()
  ended=()
  for _ in $(seq "$RUNS"); do
    read -r s e < <(run_once "$temp" "$readonly")
    shown+=("$s")
    ended+=("$e")
  done
  printf '%-10s window shown after %5s ms (median; runs: %s), ended %5s ms after Exit (runs: %s)\n' \
    "$mode:" "$(printf '%s\n' "${shown[@]}" | median)" "${shown[*]}" \
    "$(printf '%s\n' "${ended[@]}" | median)" "${ended[*]}"
  if [ "$mode" = read-only ]; then
    echo "  standard error of the last run: $(cat "$work/stderr")"
  fi
done
