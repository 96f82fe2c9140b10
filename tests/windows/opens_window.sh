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
title=$(xdotool getwindowname "$(xdotool search --onlyvisible --name '^Scrivle' | head -n1)")
echo "window: $title"
case "$title" in
  *"$name"*) ;;
  *) echo "the window does not name $name"; exit 1 ;;
esac
if [ -n "$SHOT" ]; then
  w=$(xdotool search --onlyvisible --name '^Scrivle' | head -n1)
  xdotool windowsize "$w" 1000 640 windowmove "$w" 0 0 2>/dev/null || true
  sleep 3  # let the window settle before the picture; nothing is asserted on it
  import -window root -crop 1000x660+0+0 +repage "$SHOT"
  echo "screenshot: $SHOT"
fi
