#!/usr/bin/env bash
# End to end: the real binary under Xvfb, real key events, auto-save, a crash
# (SIGKILL), a restart that recovers both texts, marked modified.
set -euo pipefail
BIN=$(readlink -f "$1")
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 91
export SCRIVLE_AUTOSAVE_TIME=500
cd "$WORK/docs"
printf 'hello' > essai.txt

wait_for() {  # wait_for <seconds> <command...>
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
main_window() { xdotool search --onlyvisible --name '^Scrivle' | head -n1; }
type_into_main() {
  local w; w=$(main_window)
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  xdotool type --delay 30 "$1"
}

"$BIN" essai.txt &
APID=$!
wait_for 20 main_window || { echo "main window never appeared"; exit 1; }
sleep 2
type_into_main "typed "
xdotool key ctrl+n
sleep 0.5
type_into_main "brand new"
wait_for 30 test -s "$XDG_STATE_HOME/Scrivle/Nouveau1.tmp" || { echo "no auto-save of the new document"; ls -la "$XDG_STATE_HOME/Scrivle" || true; exit 1; }
wait_for 30 test -s "$XDG_STATE_HOME/Scrivle/essai.txt.tmp" || { echo "no auto-save of the opened document"; exit 1; }
sleep 2
grep -q 'brand new' "$XDG_STATE_HOME/Scrivle/Nouveau1.tmp"
grep -q 'typed hello' "$XDG_STATE_HOME/Scrivle/essai.txt.tmp"
kill -9 "$APID"; wait "$APID" 2>/dev/null || true; APID=""
# The journals would give the same texts back (tests/process/journal.sh): this test is
# about the auto-save files and the descriptions kept beside them.
rm -f "$XDG_STATE_HOME/Scrivle/"*.journal "$XDG_STATE_HOME/Scrivle/"*.journal.base

# Restart: the recovery question, answered Yes.
"$BIN" &
APID=$!
wait_for 20 xdotool search --onlyvisible --name '^Confirmation$' || { echo "no recovery question"; exit 1; }
box=$(xdotool search --onlyvisible --name '^Confirmation$' | head -n1)
xdotool windowfocus "$box"; sleep 0.3; xdotool key --window "$box" alt+o || true
sleep 0.3
xdotool search --onlyvisible --name '^Confirmation$' >/dev/null 2>&1 && { xdotool windowfocus "$box"; xdotool key Return; }
wait_for 30 bash -c "! ls '$XDG_STATE_HOME/Scrivle/'*.tmp" || { echo "temporary files not consumed"; exit 1; }

# Each recovered document is marked modified: closing it asks to save it. Save both.
for round in 1 2; do
  w=$(main_window); xdotool windowfocus "$w"; sleep 0.3
  xdotool key ctrl+F4
  wait_for 30 xdotool search --onlyvisible --name '^Confirmation$' || { echo "no close question: document not marked modified"; exit 1; }
  box=$(xdotool search --onlyvisible --name '^Confirmation$' | head -n1)
  xdotool windowfocus "$box"; sleep 0.3; xdotool key Return
  wait_for 30 xdotool search --onlyvisible --name 'Enregistrer le texte TI sous' || { echo "no save dialog"; exit 1; }
  dlg=$(xdotool search --onlyvisible --name 'Enregistrer le texte TI sous' | head -n1)
  xdotool windowfocus "$dlg"; sleep 0.3; xdotool key Return
  wait_for 30 bash -c "! xdotool search --onlyvisible --name 'Enregistrer le texte TI sous'" || { echo "document $round not saved"; ls -la "$WORK/docs"; exit 1; }
done
# Each went where it was: the new document as Nouveau1 with the default type, the opened
# one back to essai.txt, plain text.
wait_for 30 grep -q "brand new" "$WORK/docs/Nouveau1.9xt" || { echo "new document not saved back"; ls -la "$WORK/docs"; exit 1; }
wait_for 30 grep -qx "typed hello" "$WORK/docs/essai.txt" || { echo "essai.txt not saved back"; ls -la "$WORK/docs"; exit 1; }
echo "recovery: both texts found back and saved where they were"
