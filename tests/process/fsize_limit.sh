#!/usr/bin/env bash
# The real binary under a file-size limit (a full disk that even root cannot get past):
# saving a file larger than the limit must show the error box and leave the program
# running with its document, not let SIGXFSZ end it, and the file on disk stays as it was.
set -euo pipefail
BIN=$(readlink -f "$1")

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 171
cd "$WORK/docs"

# A visible window titled exactly "Scrivle" other than the main window: the error box.
error_box() { xdotool search --onlyvisible --name '^Scrivle$' 2>/dev/null | grep -vx "$MAIN" | head -n1; }
box_shown() { [ -n "$(error_box)" ]; }
box_gone() { ! box_shown; }
titled() { title_of "$MAIN" | grep -qF "$1"; }

# 200 KB of text; the program may write at most 64 KB per file.
for _ in $(seq 4000); do printf 'ligne de texte ordinaire, assez longue\r\n'; done > essai.txt
cp essai.txt "$WORK/original"

(ulimit -f 64; exec "$BIN" essai.txt) &
APID=$!
wait_window 30 '^Scrivle' "the main window"
MAIN=$WIN
wait_for 20 "the document in the title" titled '[essai.txt]'
focus "$MAIN"
xdotool type --delay 30 "abc"
wait_for 20 "the typed text to mark the document modified" titled '[* essai.txt]'

# save_refused <attempt>: Ctrl+S must bring the error box and change nothing on disk;
# then the box is closed with Return and the program goes on.
save_refused() {
  focus "$MAIN"
  xdotool key ctrl+s
  poll 30 box_shown || {
    ended "$APID" && fail "the program was killed by save $1"
    fail "no error box after save $1 past the file-size limit"
  }
  ended "$APID" && fail "the program ended at save $1"
  cmp -s essai.txt "$WORK/original" || fail "the file on disk changed at save $1"
  [ -z "$(find . -name '.essai.txt.*')" ] || fail "a temporary file was left beside the document"
  focus "$(error_box)"
  xdotool key Return
  poll 20 box_gone || fail "the error box of save $1 did not close"
}

save_refused 1
# Still running, still holding the modified document: a second save is refused the same way.
wait_for 10 "the document to stay modified" titled '[* essai.txt]'
save_refused 2
ended "$APID" && fail "the program ended after the box"
cmp -s essai.txt "$WORK/original" || fail "the file on disk changed"
echo "fsize_limit: save refused with a box, program alive, file unchanged"
