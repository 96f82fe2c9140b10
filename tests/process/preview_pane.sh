#!/usr/bin/env bash
# The "Aperçu" pane of the real program under Xvfb: F6 shows it, typing a tag changes its
# pixels, and a click on a character of the strip puts the caret there (the letter typed
# next lands in front of that character in the saved file). Then "/preview" on the
# command line: an image for a good file, a French message and exit 1 without any image
# for a missing or unreadable one.
set -euo pipefail
BIN=$(readlink -f "$1")

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 171 import convert cmp
cd "$WORK/docs"
printf 'premier\r\nsecond' > essai.txt

main_window() { xdotool search --onlyvisible --name '^Scrivle' | head -n1; }
keys() {
  local w k; w=$(main_window)
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  # The X server hands the keys over in order; the delay only paces them like a person.
  xdotool key --delay 60 "$@"
}
shot() { import -window root "$1"; }
# Top-left corner of what the liquid-crystal paper covers: the strip's first pixel.
strip_origin() {
  convert "$1" -fill black +opaque '#C4CFA1' -format '%@' info: | sed 's/^[0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\)$/\1,\2/'
}
# The pane's pixels only: the strip's first 240 × 60 screen pixels.
pane_crop() {
  local o; o=$(strip_origin "$1")
  convert "$1" -crop "240x60+${o%,*}+${o#*,}" +repage "$2"
}

"$BIN" essai.txt &
APID=$!
poll 20 main_window || { echo "main window never appeared"; exit 1; }
poll 20 bash -c "xdotool search --onlyvisible --name 'essai\.txt' | grep -q ." ||
  { echo "the document never showed in the title"; exit 1; }
keys F6
poll 10 bash -c "import -window root '$WORK/s0.png' && convert '$WORK/s0.png' txt:- | grep -qi '#C4CFA1'" ||
  { echo "the pane did not appear with F6"; exit 1; }
shot before.png
pane_crop before.png before-pane.png
[ -z "${PREVIEW_SHOT:-}" ] || cp before.png "$PREVIEW_SHOT"

# Typing "#I" at the start of the text makes the first line inverse in the pane.
keys ctrl+Home numbersign I
poll 10 bash -c "import -window root '$WORK/docs/after.png' && ! cmp -s <(convert '$WORK/docs/after.png' -crop '240x60+$(strip_origin before.png | tr , +)' +repage rgb:-) <(convert before-pane.png rgb:-)" ||
  { echo "the pane's pixels did not change after typing a tag"; exit 1; }

# A click on the first letter of the second line (strip row 10, column 1 at zoom 2).
o=$(strip_origin before.png)
w=$(main_window)
xdotool mousemove --sync $(( ${o%,*} + 2 )) $(( ${o#*,} + 20 )) click 1
# The click, the letter and the save reach the program in this order.
keys X ctrl+s
printf '#Ipremier\r\nXsecond' > expected.txt
poll 10 cmp -s essai.txt expected.txt || {
  echo "saved text:"; od -c essai.txt; exit 1; }
kill "$APID"; wait "$APID" 2>/dev/null || true; APID=""

# The command line.
"$BIN" /preview essai.txt out.png 89 || { echo "/preview failed on a good file"; exit 1; }
[ "$(identify -format '%w' out.png)" = 160 ] || { echo "wrong width"; exit 1; }
if "$BIN" /preview absent.89t none.png 2> err.txt; then echo "/preview succeeded on a missing file"; exit 1; fi
grep -q "n'existe pas" err.txt || { echo "no French message:"; cat err.txt; exit 1; }
mkdir dossier.92t
if "$BIN" /preview dossier.92t none.png 2> err.txt; then echo "/preview succeeded on a folder"; exit 1; fi
grep -q "Impossible d'ouvrir le fichier" err.txt || { cat err.txt; exit 1; }
[ ! -e none.png ] || { echo "an image was left behind"; exit 1; }
[ -z "$(ls -A | grep -v -e '^essai.txt$' -e '^expected.txt$' -e '^out.png$' -e '^err.txt$' -e '^dossier.92t$' -e '\.png$')" ] || {
  echo "stray files:"; ls -A; exit 1; }
echo "preview pane: F6 shows it, a tag changes its pixels, a click moves the caret; /preview fails cleanly"
