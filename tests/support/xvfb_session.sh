# shellcheck shell=bash
# Sourced by the process tests: a work folder, a display of our own (first free one
# from $1 on), a private environment for the program, clean-up at exit, and waits for
# conditions (a window mapped or gone, a file written, a process ended), each bounded by
# a time-out that fails the test with a message saying what never happened.
# Sets WORK, XPID, APID (the test stores the program's pid there).
# Usage: source xvfb_session.sh FIRST_DISPLAY [TOOL...]: the tools the test needs besides
# Xvfb and xdotool; a missing one fails the test before anything starts.
TEST_NAME=$(basename "$0" .sh)
fail() {
  echo "$TEST_NAME: $*" >&2
  exit 1
}
for tool in Xvfb xdotool "${@:2}"; do
  command -v "$tool" >/dev/null || fail "missing $tool"
done

# poll <seconds> <command...>: succeeds as soon as the command does; fails after <seconds>.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# wait_for <seconds> <what> <command...>: as poll, but a time-out fails the test.
wait_for() {
  local t=$1 what=$2
  shift 2
  poll "$t" "$@" || fail "gave up after $t s waiting for $what"
}

# The first visible window whose title matches the extended regular expression.
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
visible() { [ -n "$(window "$1")" ]; }
hidden() { ! visible "$1"; }
has_focus() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# wait_window <seconds> <title regex> <what>: waits until such a window is mapped and
# puts its id in WIN.
wait_window() {
  WIN=$(timeout "$1" xdotool search --sync --onlyvisible --name "$2" 2>/dev/null | head -n1) || true
  [ -n "$WIN" ] || fail "gave up after $1 s waiting for $3 (a window titled /$2/)"
}

# wait_gone <seconds> <title regex> <what>: waits until no such window is visible.
wait_gone() {
  poll "$1" hidden "$2" || fail "gave up after $1 s waiting for $3 to close"
}

# focus <window>: gives it the keyboard focus and waits until the server reports it.
focus() {
  timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 && return 0
  xdotool windowfocus "$1" >/dev/null 2>&1 || true
  poll 10 has_focus "$1" || fail "window $1 never got the keyboard focus"
}

# wait_exit <seconds> <pid> <what>: waits until the process has ended.
wait_exit() {
  poll "$1" ended "$2" || fail "gave up after $1 s waiting for $3 to end"
}

# title_of <window>: its current title.
title_of() { xdotool getwindowname "$1" 2>/dev/null; }
WORK=$(mktemp -d)
XPID=""
APID=""
cleanup() {
  if [ -n "$APID" ]; then kill -9 "$APID" 2>/dev/null; wait "$APID" 2>/dev/null; fi || true
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

for n in $(seq "$1" $(($1 + 49))); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then DISPLAY_NUM=$n; break; fi
done
# -noreset: by default the server resets when its last client goes, and a program started
# right after another was killed could then find no display.
Xvfb ":$DISPLAY_NUM" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XPID=$!
export DISPLAY=":$DISPLAY_NUM"
poll 20 xdotool getmouselocation || fail "Xvfb did not start on $DISPLAY"

export XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export SCRIVLE_REGISTRY="$WORK/registry.reg"
unset QT_QPA_PLATFORM
mkdir -p "$WORK/docs"
