#!/usr/bin/env bash
# "scrivle /zip FILE" as a separate process: no window, the compressor's boxes answered
# from a script (SCRIVLE_TEST_DIALOGS), the compressed file written beside FILE, exit 0.
set -euo pipefail
BIN=$(readlink -f "$1")
CORPUS=$(cd "$(dirname "$0")/../data/ti-text" && pwd)

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export XDG_RUNTIME_DIR="$WORK/runtime"
export SCRIVLE_REGISTRY="$WORK/registry.reg"
mkdir -p "$WORK/docs" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$WORK/docs"

fail() { echo "zip: $*"; exit 1; }

# run <answers> <args...>: starts the program with these box answers (one per line);
# the boxes shown end up in $WORK/answers.log, the exit status in $STATUS.
run() {
  printf '%s' "$1" > "$WORK/answers"
  rm -f "$WORK/answers.log"
  shift
  STATUS=0
  SCRIVLE_TEST_DIALOGS="$WORK/answers" timeout 20 "$BIN" "$@" >/dev/null 2>&1 || STATUS=$?
  [ "$STATUS" -ne 124 ] || fail "'$*' did not end (a box left unanswered?)"
  LOG=""
  [ ! -f "$WORK/answers.log" ] || LOG=$(cat "$WORK/answers.log")
}

# Little-endian / big-endian numbers read from a file.
byte_at() { od -An -tu1 -j "$2" -N 1 "$1" | tr -d ' '; }
be16_at() { echo $(( $(byte_at "$1" "$2") * 256 + $(byte_at "$1" $(($2 + 1))) )); }
le32_at() {
  echo $(( $(byte_at "$1" "$2") + 256 * $(byte_at "$1" $(($2 + 1))) \
    + 65536 * $(byte_at "$1" $(($2 + 2))) + 16777216 * $(byte_at "$1" $(($2 + 3))) ))
}

# 1. A course text compresses: the statistics box, then nothing else.
cp "$CORPUS/cours_optique.9xt" cours.9xt
chmod 444 cours.9xt
before=$(md5sum < cours.9xt)
run $'message\n' /zip cours.9xt
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
[ -f cours.9xy ] || fail "cours.9xy not written"
[ "$(md5sum < cours.9xt)" = "$before" ] || fail "the source was changed"
case "$LOG" in
  "message: Compression : 2887 -> "*'\r\n\r\nTaux de compression : '*' %') ;;
  *) fail "unexpected boxes: $LOG" ;;
esac
[ "$(printf '%s\n' "$LOG" | wc -l)" -eq 1 ] || fail "more than one box: $LOG"
size=$(stat -c %s cours.9xy)
[ "$size" -lt "$(stat -c %s cours.9xt)" ] || fail "not smaller than the source"
[ "$(byte_at cours.9xy 72)" -eq 28 ] || fail "type byte is not 0x1C"
[ "$(le32_at cours.9xy 76)" -eq "$size" ] || fail "file size field"
[ "$(be16_at cours.9xy 86)" -eq $((size - 90)) ] || fail "variable size field"
[ "$(tail -c 8 cours.9xy | head -c 6 | od -An -tx1 | tr -d ' \n')" = "005a495000f8" ] ||
  fail "trailer"
sum=0
for b in $(od -An -tu1 -v -j 86 -N $((size - 88)) cours.9xy); do sum=$((sum + b)); done
[ $(( (sum & 255) == $(byte_at cours.9xy $((size - 2))) && (sum >> 8 & 255) == $(byte_at cours.9xy $((size - 1))) )) -eq 1 ] ||
  fail "checksum"

# 2. A tiny text does not shrink: the question comes after the statistics; Yes deletes.
cp "$CORPUS/libtifiles_written_abc.89t" ABC.89T
run $'message\nconfirm yes\n' /zip ABC.89T
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
[ ! -e ABC.89y ] || fail "ABC.89y kept after Yes"
case "$LOG" in
  "message: Compression : 10 -> "*$'\n'"confirm: La compression n'a pas été efficace. Voulez-vous effacer le fichier zippé ? => yes") ;;
  *) fail "unexpected boxes: $LOG" ;;
esac
run $'message\nconfirm no\n' /zip ABC.89T
[ -f ABC.89y ] || fail "ABC.89y deleted after No"

# 3. "/zip" alone: the file is not a calculator text.
run $'message\n' /zip
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
[ "$LOG" = "message: Vous devez enregistrer le texte au format TI !!!" ] || fail "boxes: $LOG"

# 4. A missing file: no box at all, status 0, nothing written.
run '' /zip absent.89t
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS"
[ -z "$LOG" ] || fail "boxes for a missing file: $LOG"
[ ! -e absent.89y ] || fail "absent.89y written"

echo "zip: compressed file written, boxes as expected"
