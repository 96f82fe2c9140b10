#!/usr/bin/env bash
# The Windows program under Wine and Xvfb (with openbox) opens a calculator text in its
# window. Usage: opens_window.sh WINDOWS_EXE FILE [SCREENSHOT.png]
# (WINEPREFIX and friends come from the caller.)
set -euo pipefail
EXE=$(readlink -f "$1")
FILE=$(readlink -f "$2")
SHOT=${3:+$(readlink -f "$3")}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 71
OBPID=""
if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  OBPID=$!
fi
trap '[ -n "$OBPID" ] && kill "$OBPID" 2>/dev/null; cleanup' EXIT

wait_for() {  # wait_for <seconds> <command...>
  local t=$1
  shift
  for _ in $(seq $((t * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
# Wine draws every window of a session on the display its first program found: a
# session started without one (the tests, offscreen) would swallow this window. A
# session of its own, then, on this display, ended with the test.
wineserver -k 2>/dev/null || true
wineserver -w
trap '[ -n "$OBPID" ] && kill "$OBPID" 2>/dev/null; wineserver -k 2>/dev/null; cleanup' EXIT
name=$(basename "$FILE")
cp "$FILE" "$WORK/docs/$name"
cd "$WORK/docs"
wine "$EXE" "$(winepath -w "$WORK/docs/$name")" >"$WORK/wine.log" 2>&1 &
APID=$!
# The main window, then the document's own window inside it (its caption is the file name).
wait_for 90 xdotool search --onlyvisible --name '^Scrivle' || {
  echo "no main window"
  tail -n 20 "$WORK/wine.log"
  exit 1
}
# The frame shows first; its caption names the document once it is open.
names_file() {
  local t
  t=$(xdotool getwindowname "$(xdotool search --onlyvisible --name '^Scrivle' | head -n1)")
  [[ $t == *"$name"* ]]
}
wait_for 30 names_file || {
  echo "the window does not name $name"
  exit 1
}
echo "window: $(xdotool getwindowname "$(xdotool search --onlyvisible --name '^Scrivle' | head -n1)")"
if [ -n "$SHOT" ]; then
  sleep 3  # let the window settle before the picture; nothing is asserted on it
  # The whole screen: the window fills it, and a crop would cut the text's lines.
  import -window root "$SHOT"
  echo "screenshot: $SHOT"
fi
