#!/usr/bin/env bash
# Process-level figures, Scrivle beside a minimal QPlainTextEdit program (bench/
# plain_editor_peer.cpp, maximized like Scrivle) in the same Xvfb session with a window
# manager:
#   - start-up: launch to a mapped window whose title names the file, for a 64 KB
#     calculator text and a 10 MB plain text (median of STARTUP_RUNS runs each, 15),
#     and the CPU time each process had used by then; bench/wait_mapped.cpp starts the
#     program and watches the X server's events for that window, so nothing polls the
#     server or takes a processor while the program starts;
#   - typing: CPU time per keystroke while xdotool types 300 characters into the same
#     documents (median of RUNS runs each, 7);
#   - idle: with the 64 KB text open and another program's window active, the wake-ups
#     (context switches of all its threads, from /proc) and the CPU time over IDLE_S
#     seconds (10; median of IDLE_RUNS runs each, 5).
# The two programs run in pairs, each first in every other pair.
# Public tools only: Xvfb, openbox, xdotool, libxcb, /proc and the kernel's process
# clocks. Writes the rows as TSV to the report.
#   BUILD_DIR=<build dir> bench/process_bench.sh --report=<report.tsv>
# SCRIVLE_BIN and PEER_BIN replace either program (two builds of Scrivle compared, say).
set -euo pipefail
OUT=""
for arg in "$@"; do
  case $arg in
    --report=*) OUT=${arg#--report=} ;;
    *) echo "usage: BUILD_DIR=<build dir> $0 --report=<file.tsv>" >&2; exit 2 ;;
  esac
done
[ -n "$OUT" ] || { echo "usage: BUILD_DIR=<build dir> $0 --report=<file.tsv>" >&2; exit 2; }
BUILD=$(readlink -f "${BUILD_DIR:-build-bench}")
RUNS=${RUNS:-7}
# A start is short and moves by tens of milliseconds on a loaded machine: more runs.
STARTUP_RUNS=${STARTUP_RUNS:-15}
IDLE_RUNS=${IDLE_RUNS:-5}
IDLE_S=${IDLE_S:-10}
SCRIVLE=${SCRIVLE_BIN:-$BUILD/scrivle}
PEER=${PEER_BIN:-$BUILD/bench/plain_editor_peer}
BENCH_DISPLAYS="170 219"
# shellcheck source=bench/x_session.sh
. "$(dirname "$0")/x_session.sh"
"$BUILD/bench/make_text" "$WORK/docs/cours.9xt" 65000
"$BUILD/bench/make_text" "$WORK/docs/gros.txt" 10000000
printf 'autre\n' >"$WORK/docs/autre.txt"

# The visible window whose title names the file; polls without sleeping, up to 30 s.
wait_window() {
  local name=$1 deadline=$(($(date +%s) + 30)) w
  while :; do
    w=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n1) || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    [ "$(date +%s)" -lt "$deadline" ] || { echo "no window named $name" >&2; return 1; }
  done
}
# CPU time of a process in microseconds: all its threads, those that ended included.
cpu_us() {
  "$BUILD/bench/cpu_time" "$1" 2>/dev/null || echo 0
}
# Waits until the process has used no CPU for 300 ms (its work is done), up to 20 s.
settle() {
  local before after
  for _ in $(seq 66); do
    before=$(cpu_us "$1"); sleep 0.3; after=$(cpu_us "$1")
    [ $((after - before)) -lt 3000 ] && return 0
  done
}
# Ends the program under test. Scrivle ended by a signal keeps the journal of what was
# typed and offers it back at the next start (as after a crash): each run starts afresh,
# as the peer does, so the journals of a typing run go with it.
stop_app() {
  kill "$APID" 2>/dev/null || true
  wait "$APID" 2>/dev/null || true
  # A program started by wait_mapped is not this shell's child: wait until it is gone.
  for _ in $(seq 500); do kill -0 "$APID" 2>/dev/null || break; sleep 0.01; done
  APID=""
  rm -rf "$XDG_STATE_HOME/Scrivle"
}

launch() {  # launch <program> <file>: starts it, prints the window id after mapping
  local prog=$1 file=$2
  if [ "$prog" = scrivle ]; then "$SCRIVLE" "$file" >/dev/null 2>&1 & else "$PEER" "$file" >/dev/null 2>&1 & fi
  APID=$!
}
startup_us() {  # startup_us <program> <file>
  local prog=$1 file=$2 bin=$PEER us _w cpu
  [ "$prog" = scrivle ] && bin=$SCRIVLE
  # wait_mapped starts the program and waits on the X server's events, not by polling,
  # for its window to be viewable with the file's name in its title.
  read -r APID us _w cpu < <("$BUILD/bench/wait_mapped" "$(basename "$file")" 30 "$bin" "$file" 2>/dev/null)
  [ "$us" -ge 0 ] || { echo "no window named $(basename "$file")" >&2; exit 1; }
  # The CPU time spent until then, which a loaded machine disturbs less than the clock.
  echo "$cpu" >>"$WORK/startcpu.$prog.$(basename "$file")"
  stop_app
  echo "$us"
}
TEXT=$(printf 'abcdefghij klmnopqrs tuvwxyz %.0s' $(seq 11) | cut -c1-300)
typing_us() {  # CPU microseconds per keystroke
  local prog=$1 file=$2 w c0 c1
  launch "$prog" "$file"
  w=$(wait_window "$(basename "$file")")
  settle "$APID"
  xdotool windowactivate --sync "$w" >/dev/null 2>&1 || xdotool windowfocus "$w"
  settle "$APID"
  c0=$(cpu_us "$APID")
  xdotool type --delay 8 "$TEXT"
  settle "$APID"
  c1=$(cpu_us "$APID")
  stop_app
  echo $(((c1 - c0) / ${#TEXT}))
}
# Context switches of all the threads of a process: each is a wake-up followed by a sleep.
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'
}
idle_us() {  # prints the wake-ups; appends the CPU microseconds to idlecpu.<program>
  local prog=$1 file=$2 other s0 s1 c0 c1
  launch "$prog" "$file"
  wait_window "$(basename "$file")" >/dev/null
  settle "$APID"
  # Another program's window takes the focus, as when the person works elsewhere.
  "$PEER" "$WORK/docs/autre.txt" >/dev/null 2>&1 &
  OPID=$!
  other=$(wait_window autre.txt)
  xdotool windowactivate --sync "$other" >/dev/null 2>&1 || xdotool windowfocus "$other"
  settle "$APID"
  s0=$(switches "$APID") c0=$(cpu_us "$APID")
  sleep "$IDLE_S"  # the measured span itself
  s1=$(switches "$APID") c1=$(cpu_us "$APID")
  kill "$OPID" 2>/dev/null || true
  wait "$OPID" 2>/dev/null || true
  OPID=""
  stop_app
  echo $((c1 - c0)) >>"$WORK/idlecpu.$prog"
  echo $((s1 - s0))
}
# Which program of a pair goes first changes from one pair to the next: the first of two
# launches was measured slower, by 4 ms, with the same program in both places.
pair_order() { if [ $(($1 % 2)) -eq 1 ]; then echo scrivle peer; else echo peer scrivle; fi; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2)}'; }

declare -A R
for what in startup startcpu typing; do
  for doc in cours.9xt gros.txt; do R[$what.scrivle.$doc]=1 R[$what.peer.$doc]=1; done
done
R[idle.scrivle]=0 R[idle.peer]=0 R[idlecpu.scrivle]=0 R[idlecpu.peer]=0
if [ -z "${ONLY:-}" ] || [ "$ONLY" = idle ]; then
  : >"$WORK/idle.scrivle" && : >"$WORK/idle.peer" && : >"$WORK/idlecpu.scrivle" && : >"$WORK/idlecpu.peer"
  for i in $(seq "$IDLE_RUNS"); do
    for prog in $(pair_order "$i"); do idle_us "$prog" "$WORK/docs/cours.9xt" >>"$WORK/idle.$prog"; done
  done
  for prog in scrivle peer; do
    R[idle.$prog]=$(median <"$WORK/idle.$prog")
    R[idlecpu.$prog]=$(median <"$WORK/idlecpu.$prog")
  done
  echo "idle: scrivle $(tr '\n' ' ' <"$WORK/idle.scrivle")| peer $(tr '\n' ' ' <"$WORK/idle.peer")" >&2
fi
for what in startup typing; do
  # ONLY=startup, ONLY=typing or ONLY=idle measures one kind (the others then read 1 µs or 0).
  [ -n "${ONLY:-}" ] && [ "$ONLY" != "$what" ] && continue
  for doc in cours.9xt gros.txt; do
    : >"$WORK/$what.scrivle.$doc" && : >"$WORK/$what.peer.$doc"
    n=$RUNS
    [ "$what" = startup ] && n=$STARTUP_RUNS
    for i in $(seq "$n"); do
      for prog in $(pair_order "$i"); do
        "${what}_us" "$prog" "$WORK/docs/$doc" >>"$WORK/$what.$prog.$doc"
      done
    done
    if [ "$what" = startup ]; then
      R[startcpu.scrivle.$doc]=$(median <"$WORK/startcpu.scrivle.$doc")
      R[startcpu.peer.$doc]=$(median <"$WORK/startcpu.peer.$doc")
    fi
    R[$what.scrivle.$doc]=$(median <"$WORK/$what.scrivle.$doc")
    R[$what.peer.$doc]=$(median <"$WORK/$what.peer.$doc")
    echo "$what $doc: scrivle $(tr '\n' ' ' <"$WORK/$what.scrivle.$doc")| peer $(tr '\n' ' ' <"$WORK/$what.peer.$doc")" >&2
  done
done

ms() { awk -v v="$1" 'BEGIN { printf "%.0f ms", v / 1000 }'; }
kms() { awk -v v="$1" 'BEGIN { printf "%.2f ms", v / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f×", a / b }'; }
le() { [ "$1" -le "$2" ] && echo yes || echo no; }
{
  printf 'program\tfigure\tmeasured\ttarget\tmet\talternative\tratio\n'
  s=${R[startup.scrivle.cours.9xt]} p=${R[startup.peer.cours.9xt]}
  printf 'process_bench.sh\tStart-up to a mapped window titled with a 64 KB calculator text (median of %s)\t%s\t≤ the peer\t%s\tminimal QPlainTextEdit program: %s\t%s\n' \
    "$STARTUP_RUNS" "$(ms "$s")" "$(le "$s" "$p")" "$(ms "$p")" "$(ratio "$p" "$s")"
  s=${R[startcpu.scrivle.cours.9xt]} p=${R[startcpu.peer.cours.9xt]}
  printf 'process_bench.sh\tCPU time until that window shows (same runs)\t%s\t≤ the peer\t%s\tminimal QPlainTextEdit program: %s\t%s\n' \
    "$(ms "$s")" "$(le "$s" "$p")" "$(ms "$p")" "$(ratio "$p" "$s")"
  s=${R[startup.scrivle.gros.txt]} p=${R[startup.peer.gros.txt]}
  printf 'process_bench.sh\tStart-up to a mapped window titled with a 10 MB plain text (median of %s)\t%s\t≥ 3× faster than the peer\t%s\tminimal QPlainTextEdit program: %s\t%s\n' \
    "$STARTUP_RUNS" "$(ms "$s")" "$(le $((3 * s)) "$p")" "$(ms "$p")" "$(ratio "$p" "$s")"
  s=${R[typing.scrivle.cours.9xt]} p=${R[typing.peer.cours.9xt]}
  printf 'process_bench.sh\tCPU per keystroke, 300 characters typed by xdotool into the 64 KB text (median of %s)\t%s\t≤ the peer\t%s\tminimal QPlainTextEdit program: %s\t%s\n' \
    "$RUNS" "$(kms "$s")" "$(le "$s" "$p")" "$(kms "$p")" "$(ratio "$p" "$s")"
  s=${R[typing.scrivle.gros.txt]} p=${R[typing.peer.gros.txt]}
  printf 'process_bench.sh\tCPU per keystroke, 300 characters typed by xdotool into the 10 MB text (median of %s)\t%s\t≤ the peer\t%s\tminimal QPlainTextEdit program: %s\t%s\n' \
    "$RUNS" "$(kms "$s")" "$(le "$s" "$p")" "$(kms "$p")" "$(ratio "$p" "$s")"
  s=${R[idle.scrivle]} p=${R[idle.peer]}
  printf 'process_bench.sh\tIdle %s s with the 64 KB text open and another window active: wake-ups (median of %s)\t%s\t≤ the peer\t%s\tminimal QPlainTextEdit program: %s\t\n' \
    "$IDLE_S" "$IDLE_RUNS" "$s" "$(le "$s" "$p")" "$p"
  s=${R[idlecpu.scrivle]} p=${R[idlecpu.peer]}
  printf 'process_bench.sh\tCPU time over those %s s (same runs)\t%s\t≤ the peer\t%s\tminimal QPlainTextEdit program: %s\t\n' \
    "$IDLE_S" "$(kms "$s")" "$(le "$s" "$p")" "$(kms "$p")"
} >"$OUT"
cat "$OUT" >&2
