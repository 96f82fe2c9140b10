#!/usr/bin/env bash
# End to end: the real binary under Xvfb, real key events, auto-save, a crash
# (SIGKILL), a restart that recovers both texts, marked modified.
set -euo pipefail
BIN=$(readlink -f "$1")

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 91
export SCRIVLE_AUTOSAVE_TIME=500
cd "$WORK/docs"
printf 'hello' > essai.txt
SAVED="$XDG_STATE_HOME/Scrivle"

# The main window's title names the active document, with "* " once it is modified.
titled() { title_of "$MAIN" | grep -qF "$1"; }
no_autosave_left() { ! ls "$SAVED"/*.tmp; }
# Each recovered document goes back where it was: the new one as Nouveau1 with the default
# type, the opened one to essai.txt, plain text.
saved_files_at_least() {
  local n=0
  grep -q "brand new" "$WORK/docs/Nouveau1.9xt" 2>/dev/null && n=$((n + 1))
  grep -qx "typed hello" "$WORK/docs/essai.txt" 2>/dev/null && n=$((n + 1))
  [ "$n" -ge "$1" ]
}

"$BIN" essai.txt &
APID=$!
wait_window 30 '^Scrivle' "the main window"
MAIN=$WIN
wait_for 20 "the opened document in the title" titled '[essai.txt]'
focus "$MAIN"
xdotool type --delay 30 "typed "
wait_for 20 "the typed text to mark the document modified" titled '[* essai.txt]'
xdotool key ctrl+n
wait_for 20 "the new document to become active" titled '[Nouveau1]'
xdotool type --delay 30 "brand new"
wait_for 30 "the auto-save of the new document" grep -q 'brand new' "$SAVED/Nouveau1.tmp"
wait_for 30 "the auto-save of the opened document" grep -q 'typed hello' "$SAVED/essai.txt.tmp"
kill -9 "$APID"
wait "$APID" 2>/dev/null || true
APID=""
# The journals would give the same texts back (tests/process/journal.sh): this test is
# about the auto-save files and the descriptions kept beside them.
rm -f "$SAVED/"*.journal "$SAVED/"*.journal.base

# Restart: the recovery question, answered Yes ("&Oui"; Return if the shortcut is missed).
"$BIN" &
APID=$!
wait_window 30 '^Confirmation$' "the recovery question"
BOX=$WIN
focus "$BOX"
xdotool key alt+o
if ! poll 10 hidden '^Confirmation$'; then
  focus "$BOX"
  xdotool key Return
  wait_gone 20 '^Confirmation$' "the recovery question"
fi
wait_for 30 "the recovered auto-save files to be consumed" no_autosave_left
wait_window 30 '^Scrivle' "the main window after recovery"
MAIN=$WIN

# Each recovered document is marked modified: closing it asks to save it. Save both.
for round in 1 2; do
  focus "$MAIN"
  xdotool key ctrl+F4
  wait_window 30 '^Confirmation$' "the close question of document $round (not marked modified?)"
  focus "$WIN"
  xdotool key Return
  wait_window 30 'Enregistrer le texte TI sous' "the save dialog of document $round"
  focus "$WIN"
  xdotool key Return
  wait_gone 30 'Enregistrer le texte TI sous' "the save dialog of document $round"
  poll 30 saved_files_at_least "$round" || {
    ls -la "$WORK/docs"
    fail "document $round was not saved"
  }
done
grep -q "brand new" "$WORK/docs/Nouveau1.9xt" || fail "new document not saved back as Nouveau1.9xt"
grep -qx "typed hello" "$WORK/docs/essai.txt" || fail "essai.txt not saved back"
echo "recovery: both texts found back and saved where they were"
