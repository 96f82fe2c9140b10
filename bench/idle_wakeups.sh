#!/usr/bin/env bash
# Idle wake-ups: Scrivle with a 64 KB calculator text open, its window left alone under
# Xvfb with openbox. Prints the context switches of all its threads and the CPU ticks over
# SECONDS (default 20), then the poll calls strace counts over 10 s more.
#   bench/idle_wakeups.sh BUILD_DIR [SECONDS]
# Public tools only: Xvfb, openbox, xdotool, strace, /proc.
set -euo pipefail
BUILD=$(readlink -f "${1:?usage: $0 BUILD_DIR [SECONDS]}")
SECS=${2:-20}
BENCH_TOOLS=strace BENCH_DISPLAYS="230 260"
# shellcheck source=bench/x_session.sh
. "$(dirname "$0")/x_session.sh"
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
