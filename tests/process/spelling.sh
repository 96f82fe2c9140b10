#!/usr/bin/env bash
# Spell checking seen from outside, under Xvfb: "Bonjour le mondde" typed into a new
# document gets a wavy red underline under "mondde" alone (found in a screenshot: the red
# pixels lie under the last six of the seventeen cells of the line), and the first
# suggestion of the word's context menu makes it "monde" (checked in the saved file).
# Skipped (status 0, with a note) where Hunspell or the French dictionary is missing.
set -euo pipefail
BIN=$(readlink -f "$1")
DICS="${DICPATH:-}:/usr/share/hunspell:/usr/local/share/hunspell"
found=""
IFS=: read -ra dirs <<<"$DICS"
for d in "${dirs[@]}"; do
  for n in fr_FR fr; do
    [ -n "$d" ] && [ -f "$d/$n.aff" ] && [ -f "$d/$n.dic" ] && found=yes
  done
done
[ -n "$found" ] || { echo "no French dictionary: skipped"; exit 0; }

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh" 171 import convert cmp
cd "$WORK/docs"
: > essai.txt

wait_for() {  # wait_for <seconds> <command...>
  local t=$1; shift
  for _ in $(seq $((t * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
main_window() { xdotool search --onlyvisible --name '^Scrivle' | head -n1; }

# Pixels of a colour in the screenshot as "x y" lines.
pixels() {  # pixels <png> <hex colour>
  convert "$1" txt:- | awk -v c="$2" '$0 ~ c { split($1, p, /[,:]/); print p[1], p[2] }'
}
# Sets RED_MINX RED_MAXX RED_MINY from a fresh screenshot; false when nothing is red.
red_box() {
  import -window root "$WORK/shot.png" 2>/dev/null || return 1
  local box
  box=$(pixels "$WORK/shot.png" '#FF0000' | awk 'NR == 1 { a = $1; b = $1; y = $2 }
    { if ($1 < a) a = $1; if ($1 > b) b = $1; if ($2 < y) y = $2 }
    END { if (NR > 0) print a, b, y; else exit 1 }') || return 1
  read -r RED_MINX RED_MAXX RED_MINY <<<"$box"
}

"$BIN" essai.txt &
APID=$!
wait_for 20 main_window || { echo "main window never appeared"; exit 1; }
w=$(main_window)
xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
wait_for 5 true
xdotool type --delay 60 "Bonjour le mondde"

wait_for 15 red_box || { echo "no red underline appeared"; exit 1; }
# The black text of the same line (the band of cells just above the underline): its
# leftmost pixel is the start of "B". The underline must begin about 11 cells on and run
# to the end of the text, 17 cells in all.
x0=$(pixels "$WORK/shot.png" '#000000' | awk -v y0=$((RED_MINY - 14)) -v y1=$((RED_MINY - 1)) \
  -v xmax=$((RED_MAXX + 2)) '$2 >= y0 && $2 <= y1 && $1 <= xmax { if (m == "" || $1 < m) m = $1 }
  END { print m }')
[ -n "$x0" ] || { echo "no text found above the underline"; exit 1; }
span=$((RED_MAXX + 1 - x0))
start_cells_x100=$(((RED_MINX - x0) * 1700 / span))
echo "underline x $RED_MINX..$RED_MAXX, text from x $x0: starts at cell $((start_cells_x100 / 100)).$((start_cells_x100 % 100)) of 17"
if [ "$start_cells_x100" -lt 1050 ] || [ "$start_cells_x100" -gt 1150 ]; then
  echo "the underline is not under \"mondde\" alone"; cp "$WORK/shot.png" /tmp/spelling-fail.png; exit 1
fi

# The context menu of the word, its first item: the first suggestion.
windows() { xdotool search --onlyvisible --class scrivle 2>/dev/null | wc -l; }
menu_open() { [ "$(windows)" -gt "$before" ]; }
no_red() { ! red_box; }
before=$(windows)
xdotool mousemove $(((RED_MINX + RED_MAXX) / 2)) $((RED_MINY - 6))
xdotool click 3
wait_for 5 menu_open || { echo "no context menu appeared"; exit 1; }
xdotool key Down Return
wait_for 5 no_red || true
xdotool key ctrl+s
printf 'Bonjour le monde' > expected.bin
wait_for 10 cmp -s essai.txt expected.bin || {
  echo "saved bytes:"; od -c essai.txt; exit 1; }
if red_box; then echo "still underlined after the correction"; exit 1; fi
echo "spelling: only \"mondde\" underlined, the first suggestion gives \"monde\""
