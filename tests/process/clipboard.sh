#!/usr/bin/env bash
# The system clipboard between Scrivle and another program (xclip) under Xvfb: what
# Scrivle copies reads back as Unicode with LF line breaks; Unicode text with LF line
# breaks pastes into Scrivle as calculator codes with CR LF (checked in the saved file).
set -euo pipefail
BIN=$(readlink -f "$1")
for tool in Xvfb xdotool xclip cmp od; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 141
cd "$WORK/docs"
# "α=1", CR LF, "fin": calculator bytes.
printf '\x80=1\r\nfin' > essai.txt

wait_for() {  # wait_for <seconds> <command...>
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
main_window() { xdotool search --onlyvisible --name '^Scrivle' | head -n1; }
# One key at a time, with time for the window's idle refresh of the edit commands.
keys() {
  local w k; w=$(main_window)
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  for k in "$@"; do xdotool key "$k"; sleep 0.4; done
}

"$BIN" essai.txt &
APID=$!
wait_for 20 main_window || { echo "main window never appeared"; exit 1; }
sleep 1

# Copy from Scrivle: Unicode with LF for the other program.
keys ctrl+a ctrl+c
wait_for 5 bash -c "[ \"\$(xclip -o -selection clipboard 2>/dev/null | od -An -tx1 | tr -d ' \n')\" = \"$(printf 'α=1\nfin' | od -An -tx1 | tr -d ' \n')\" ]" || {
  echo "copied text reads back as:"; xclip -o -selection clipboard | od -c | head; exit 1; }

# Paste from the other program: Greek letters and two lines, LF only.
printf 'αβ\nxy' | xclip -selection clipboard -i
sleep 0.3
keys ctrl+a ctrl+v ctrl+s
printf '\x80\x81\r\nxy' > expected.bin
wait_for 10 cmp -s essai.txt expected.bin || {
  echo "saved bytes:"; od -An -tx1 essai.txt; echo "expected:"; od -An -tx1 expected.bin; exit 1; }
echo "clipboard: Unicode with LF out, calculator codes with CR LF in"
