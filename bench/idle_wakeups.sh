#!/usr/bin/env bash
# Idle wake-ups: Scrivle with a 64 KB calculator text open, its window left alone under
# Xvfb with openbox. Prints the context switches of all its threads and the CPU ticks over
# SECONDS (default 20), then the poll calls strace counts over 10 s more.
#   bench/idle_wakeups.sh BUILD_DIR [SECONDS]
# Public tools only: Xvfb, openbox, xdotool, strace, /proc.
set -euo pipefail
BUILD=$(readlink -f "${1:?usage: $0 BUILD_DIR [SECONDS]}")
SECS=${2:-20}
for tool in Xvfb openbox xdotool strace; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
WORK=$(mktemp -d)
XPID="" WPID="" APID=""
cleanup() {
  [ -n "$APID" ] && kill -9 "$APID" 2>/dev/null || true
  [ -n "$WPID" ] && kill "$WPID" 2>/dev/null || true
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
for n in $(seq 230 260); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then DISPLAY_NUM=$n; break; fi
done
Xvfb ":$DISPLAY_NUM" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XPID=$!
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
WPID=$!
export XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export SCRIVLE_REGISTRY="$WORK/registry.reg"
unset QT_QPA_PLATFORM
mkdir -p "$WORK/docs"
"$BUILD/bench/make_text" "$WORK/docs/cours.9xt" 65000
"$BUILD/scrivle" "$WORK/docs/cours.9xt" >/dev/null 2>&1 &
APID=$!
disown "$APID"
for _ in $(seq 300); do
  xdotool search --onlyvisible --name cours.9xt >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 3  # the start-up work settles
switches() {
  local total=0 f n
  for f in /proc/"$APID"/task/*/status; do
    n=$(awk '/ctxt_switches/ { s += $2 } END { print s }' "$f")
    total=$((total + n))
  done
  echo "$total"
}
ticks() { awk '{ print $14 + $15 }' "/proc/$APID/stat"; }
s0=$(switches) t0=$(ticks)
sleep "$SECS"
s1=$(switches) t1=$(ticks)
echo "idle ${SECS} s: $((s1 - s0)) context switches, $((t1 - t0)) CPU ticks of 10 ms"
timeout 10 strace -f -c -e trace=poll,ppoll -p "$APID" 2>&1 | awk '/total/ { print "poll calls in 10 s:", $(NF-1) }' || true
