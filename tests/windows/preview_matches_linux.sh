#!/usr/bin/env bash
# "/preview FILE OUT.png [89|92]" of the Windows program under Wine and of the Linux
# program: the same exit code, the same message on standard error and the same image,
# byte for byte, for every file of the test data (calculator texts, plain texts and other
# calculator files), for the model forced either way, and for the failures (missing file,
# bad arguments, an image that cannot be written).
# Usage: preview_matches_linux.sh LINUX_BIN WINDOWS_EXE [DATA_DIR]
# (WINEPREFIX and friends come from the caller).
set -euo pipefail
LINUX_BIN=$(readlink -f "$1")
WIN_EXE=$(readlink -f "$2")
DATA=$(readlink -f "${3:-$(dirname "$0")/../data}")
[ -d "$DATA" ] || { echo "no test data in $DATA"; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home"

status=0
count=0
# run_both <label> <file to copy in, or -> <arguments after /preview...>: both programs in
# a folder of their own holding the file, with the same relative arguments, so that the
# messages (which name the file) can be compared as they are.
run_both() {
  local label=$1 src=$2
  shift 2
  count=$((count + 1))
  local side dir
  for side in linux windows; do
    dir=$WORK/$count/$side
    mkdir -p "$dir"
    if [ "$src" != - ]; then cp "$src" "$dir/"; fi
  done
  local rc_l=0 rc_w=0
  (cd "$WORK/$count/linux" &&
    env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" QT_QPA_PLATFORM=offscreen \
      timeout 60 "$LINUX_BIN" /preview "$@" >/dev/null 2>"$WORK/$count/linux.err") || rc_l=$?
  (cd "$WORK/$count/windows" &&
    timeout 120 wine "$WIN_EXE" /preview "$@" >/dev/null 2>"$WORK/$count/windows.err.raw") ||
    rc_w=$?
  tr -d '\r' <"$WORK/$count/windows.err.raw" >"$WORK/$count/windows.err"
  if [ "$rc_l" != "$rc_w" ]; then
    echo "DIFFERENT EXIT for $label: linux $rc_l, windows $rc_w"
    sed 's/^/   windows: /' "$WORK/$count/windows.err"
    status=1
  elif ! diff "$WORK/$count/linux.err" "$WORK/$count/windows.err" >/dev/null; then
    echo "DIFFERENT MESSAGE for $label:"
    diff "$WORK/$count/linux.err" "$WORK/$count/windows.err" | sed 's/^/   /' || true
    status=1
  elif ! diff -r "$WORK/$count/linux" "$WORK/$count/windows" >/dev/null; then
    echo "DIFFERENT FILES for $label:"
    diff -r "$WORK/$count/linux" "$WORK/$count/windows" | sed 's/^/   /' || true
    status=1
  else
    local what
    what=$(head -n1 "$WORK/$count/linux.err")
    [ -n "$what" ] || what="$(stat -c %s "$WORK/$count/linux/out.png" 2>/dev/null || echo no) bytes of image"
    echo "same: $label (exit $rc_l: $what)"
  fi
}

for src in "$DATA"/ti-text/* "$DATA"/preview/* "$DATA"/other/*; do
  [ -f "$src" ] || continue
  run_both "$(basename "$src")" "$src" "$(basename "$src")" out.png
done
# The model forced against the one the file's name gives.
for src in "$DATA"/preview/sample-89.txt "$DATA"/ti-text/cours_optique.9xt; do
  for model in 89 92; do
    run_both "$(basename "$src") $model" "$src" "$(basename "$src")" out.png "$model"
  done
done
# Failures: nothing written, the same French message.
sample=$DATA/ti-text/cours_optique.9xt
run_both "missing file" - absent.89t out.png
run_both "no image named" "$sample" cours_optique.9xt
run_both "unknown model" "$sample" cours_optique.9xt out.png 93
run_both "image folder missing" "$sample" cours_optique.9xt nowhere/out.png
echo "$count runs compared"
exit $status
