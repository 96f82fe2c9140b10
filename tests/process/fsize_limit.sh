#!/usr/bin/env bash
# The real binary under a file-size limit (a full disk that even root cannot get past):
# saving a file larger than the limit must show the error box and leave the program
# running with its document, not let SIGXFSZ end it, and the file on disk stays as it was.
set -euo pipefail
BIN=$(readlink -f "$1")
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 171
cd "$WORK/docs"

fail() { echo "fsize_limit: $*"; exit 1; }
wait_for() {  # wait_for <seconds> <command...>
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
main_window() { xdotool search --onlyvisible --name '^Scrivle' | head -n1; }
# A visible window titled exactly "Scrivle" other than the main window: the error box.
error_box() { xdotool search --onlyvisible --name '^Scrivle$' | grep -vx "$MAIN" | head -n1; }

# 200 KB of text; the program may write at most 64 KB per file.
for _ in $(seq 4000); do printf 'ligne de texte ordinaire, assez longue\r\n'; done > essai.txt
cp essai.txt "$WORK/original"

(ulimit -f 64; exec "$BIN" essai.txt) &
APID=$!
wait_for 20 main_window || fail "main window never appeared"
MAIN=$(main_window)
sleep 2
xdotool windowfocus --sync "$MAIN" 2>/dev/null || xdotool windowfocus "$MAIN"
xdotool type --delay 30 "abc"
sleep 0.5
xdotool key ctrl+s

wait_for 20 error_box || {
  kill -0 "$APID" 2>/dev/null || fail "the program was killed by the save"
  fail "no error box after a save past the file-size limit"
}
kill -0 "$APID" 2>/dev/null || fail "the program ended"
cmp -s essai.txt "$WORK/original" || fail "the file on disk changed"
[ -z "$(find . -name '.essai.txt.*')" ] || fail "a temporary file was left beside the document"

# The box goes away, the program stays, and it still has the document to save.
box=$(error_box)
xdotool windowfocus "$box" 2>/dev/null || true
sleep 0.3
xdotool key Return || true
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Scrivle\$' | grep -vqx '$MAIN'" \
  || fail "the error box did not close"
sleep 0.5
kill -0 "$APID" 2>/dev/null || fail "the program ended after the box"
cmp -s essai.txt "$WORK/original" || fail "the file on disk changed"
echo "fsize_limit: save refused with a box, program alive, file unchanged"
