#!/usr/bin/env bash
# The system clipboard between Scrivle and another program (xclip) under Xvfb: what
# Scrivle copies reads back as Unicode with LF line breaks; Unicode text with LF line
# breaks pastes into Scrivle as calculator codes with CR LF (checked in the saved file).
set -euo pipefail
BIN=$(readlink -f "$1")

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 141 xclip cmp od
cd "$WORK/docs"
# "α=1", CR LF, "fin": calculator bytes.
printf '\x80=1\r\nfin' > essai.txt

hex() { od -An -tx1 | tr -d ' \n'; }
clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null | hex)" = "$1" ]; }
titled() { title_of "$MAIN" | grep -qF "$1"; }

# until_done <seconds> <keys> <condition...>: presses the keys in the main window and
# gives the condition 2 s, again and again until it holds (true) or the time-out (false).
# The edit commands follow the selection and the clipboard on the window's next idle
# moment, so a key pressed right after the one that enables its command may find it still
# greyed; pressing the whole sequence again is harmless here.
until_done() {
  local deadline=$((SECONDS + $1)) keys=$2
  shift 2
  while :; do
    focus "$MAIN"
    # shellcheck disable=SC2086
    xdotool key $keys
    poll 2 "$@" && return 0
    [ "$SECONDS" -lt "$deadline" ] || return 1
  done
}

"$BIN" essai.txt &
APID=$!
wait_window 30 '^Scrivle' "the main window"
MAIN=$WIN
wait_for 20 "the document in the title" titled '[essai.txt]'

# Copy from Scrivle: Unicode with LF for the other program.
copied=$(printf 'α=1\nfin' | hex)
until_done 30 "ctrl+a ctrl+c" clipboard_is "$copied" || {
  echo "copied text reads back as:"
  xclip -o -selection clipboard | od -c | head
  fail "gave up after 30 s waiting for the copied text on the clipboard, as Unicode with LF"
}

# Paste from the other program: Greek letters and two lines, LF only.
printf 'αβ\nxy' | xclip -selection clipboard -i
wait_for 10 "xclip to own the clipboard" clipboard_is "$(printf 'αβ\nxy' | hex)"
printf '\x80\x81\r\nxy' > expected.bin
saved() { cmp -s essai.txt expected.bin; }
until_done 30 "ctrl+a ctrl+v ctrl+s" saved || {
  echo "saved bytes:"; od -An -tx1 essai.txt; echo "expected:"; od -An -tx1 expected.bin
  fail "gave up after 30 s waiting for the pasted text saved as calculator codes with CR LF"
}
echo "clipboard: Unicode with LF out, calculator codes with CR LF in"
