#!/usr/bin/env bash
# End to end: type into an opened calculator file and a new document, wait 2 s, SIGKILL,
# restart, answer "Oui": every typed character is back in both, the opened document with
# its path, file type and calculator names. The auto-save interval stays at its default
# (5 minutes), so only the journals can have kept the typing.
set -euo pipefail
BIN=$(readlink -f "$1")
SEED=$(readlink -f "$(dirname "$0")/../../fuzz/corpus/calc_file/une_ligne_saut_final.89t")

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 131 cmp
unset SCRIVLE_AUTOSAVE_TIME
STATE="$XDG_STATE_HOME/Scrivle"
cd "$WORK/docs"
cp "$SEED" essai.89t
cp "$SEED" "$WORK/original.89t"

fail() { echo "journal: $*"; ls -la "$WORK/docs" "$STATE" 2>/dev/null || true; exit 1; }
wait_for() {  # wait_for <seconds> <command...>
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
main_window() { xdotool search --onlyvisible --name '^Scrivle' | head -n1; }
box() { xdotool search --onlyvisible --name "$1" | head -n1; }
focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true; }
type_into_main() {
  focus "$(main_window)"
  xdotool type --delay 40 "$1"
}
# The frame's title names the active document.
titled() { xdotool search --onlyvisible --name "^Scrivle - \\[$1\\]\$" >/dev/null 2>&1; }

"$BIN" essai.89t &
APID=$!
wait_for 30 titled 'essai\.89t' || fail "the document never opened"
type_into_main "typed journal "
xdotool key ctrl+n
wait_for 30 titled 'Nouveau1' || fail "no new document"
type_into_main "brand new text"
# The promise under test: what was typed 2 s before a crash is back.
sleep 2
ls "$STATE"/*.tmp >/dev/null 2>&1 && fail "an auto-save was written: the interval was not the default"
kill -9 "$APID"; wait "$APID" 2>/dev/null || true; APID=""

"$BIN" &
APID=$!
wait_for 30 box '^Confirmation$' || fail "no recovery question"
b=$(box '^Confirmation$')
focus "$b"; xdotool key --window "$b" alt+o || true
wait_for 30 bash -c "! xdotool search --onlyvisible --name '^Confirmation$'" || {
  focus "$b"; xdotool key Return; }
wait_for 30 bash -c "! xdotool search --onlyvisible --name '^Confirmation$'" || fail "the question stays"
# Each recovered document says so in its caption.
wait_for 30 titled '\* (essai\.89t|Nouveau1) \(récupéré\)' || fail "no recovered caption"

# Close both recovered documents, answering Oui and accepting the path the save dialog
# proposes: the opened one must go back to essai.89t, the new one to Nouveau1.9xt.
for round in 1 2; do
  focus "$(main_window)"
  xdotool key ctrl+F4
  wait_for 30 box '^Confirmation$' || fail "no close question (round $round): not marked modified"
  b=$(box "^Confirmation$"); focus "$b"; xdotool key Return
  wait_for 30 box 'Enregistrer le texte TI sous' || fail "no save dialog (round $round)"
  d=$(box "Enregistrer le texte TI sous"); focus "$d"; xdotool key Return
  wait_for 30 bash -c "! xdotool search --onlyvisible --name 'Enregistrer le texte TI sous'" ||
    fail "the save dialog stays (round $round)"
done
wait_for 30 test -s Nouveau1.9xt || fail "the new document was not saved where it was proposed"
wait_for 30 bash -c "grep -qa 'typed journal Bonjour tout le monde' essai.89t" ||
  fail "the opened document's typing is not back in essai.89t"
grep -qa 'brand new text' Nouveau1.9xt || fail "the new document's typing is not back"
cmp -n 8 essai.89t "$WORK/original.89t" >/dev/null || fail "essai.89t is no longer a TI-89 file"
cmp -i 10:10 -n 8 essai.89t "$WORK/original.89t" >/dev/null || fail "the folder name changed"
cmp -i 64:64 -n 8 essai.89t "$WORK/original.89t" >/dev/null || fail "the variable name changed"
echo "journal: both documents back with every typed character, path, type and names"
