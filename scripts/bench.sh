#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in a Release tree (build-bench, or
# $BUILD_DIR; $BUILD_TYPE to change the type), runs every bench/*_bench program and writes
# their headline figures to docs/benchmarks.md, then copies that table into README.md
# between the bench markers. Extra arguments go to CMake.
#
# A benchmark joins by being there: bench/<name>_bench.cpp is built as the program <name>_bench,
# bench/<name>_bench.sh is run as it is (it finds the build in $BUILD_DIR); each is given
# --report=<file> and writes its rows there as TSV (see bench/bench_report.h).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
scripts/setup.sh

BUILD_DIR=${BUILD_DIR:-build-bench}
BUILD_TYPE=${BUILD_TYPE:-Release}
OUT=docs/benchmarks.md
COMMAND="scripts/bench.sh${*:+ $*}"
[ "$BUILD_TYPE" = Release ] || COMMAND="BUILD_TYPE=$BUILD_TYPE $COMMAND"
[ "$BUILD_DIR" = build-bench ] || COMMAND="BUILD_DIR=$BUILD_DIR $COMMAND"

names=()     # every benchmark, in name order
programs=()  # the ones to build
for src in bench/*_bench.cpp bench/*_bench.sh; do
  [ -e "$src" ] || continue
  name=$(basename "$src")
  name=${name%.*}
  names+=("$name")
  [ "${src##*.}" = sh ] || programs+=("$name")
done
if [ ${#names[@]} -eq 0 ]; then
  echo "no bench/*_bench.cpp or bench/*_bench.sh found" >&2
  exit 1
fi
mapfile -t names < <(printf '%s\n' "${names[@]}" | sort -u)

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" -DSCRIVLE_BENCH=ON \
  -DSCRIVLE_UI=ON -DSCRIVLE_VALIDATORS=OFF "$@" >/dev/null
# plain_editor_peer and make_text serve bench/process_bench.sh.
cmake --build "$BUILD_DIR" -j"$(nproc)" --target scrivle plain_editor_peer make_text \
  ${programs[@]+"${programs[@]}"}
export BUILD_DIR

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
failed=()
for name in "${names[@]}"; do
  echo "=== $name"
  if [ -f "bench/$name.sh" ]; then
    run=(bash "bench/$name.sh")
  else
    run=("$BUILD_DIR/bench/$name")
  fi
  if ! "${run[@]}" --report="$tmp/$name.tsv"; then
    failed+=("$name")
    rm -f "$tmp/$name.tsv"
  fi
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//')
[ -n "$cpu" ] || cpu=$(uname -m)

# One Markdown table for every program's rows; '|' inside a cell would end it early.
table() {
  echo "| program | figure | measured | target | met? | alternative, same run | ratio |"
  echo "|---|---|---|---|---|---|---|"
  for name in "${names[@]}"; do
    if [ ! -s "$tmp/$name.tsv" ]; then
      echo "| \`$name\` | (failed: no figures) | | | no | | |"
      continue
    fi
    tail -n +2 "$tmp/$name.tsv" | awk -F'\t' -v OFS=' | ' '{
      for (i = 1; i <= NF; ++i) gsub(/\|/, "\\|", $i)
      print "| `" $1 "`", $2, $3, $4, $5, $6, $7 " |"
    }'
  done
}

header="Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores ($cpu), $BUILD_TYPE build,\
 load average $load_before before and $load_after after, with \`$COMMAND\`."

{
  echo "# Benchmarks"
  echo
  echo "Written by \`scripts/bench.sh\`: each program in \`bench/\` times Scrivle's way beside"
  echo "the obvious alternative in the same run; the ratio is the alternative's time over ours."
  echo "Both sides of a row run the same number of times (at least 5) and each is summed up by"
  echo "its median; the alternative is measured on the same work, never scaled up. A row whose"
  echo "sides were not measured alike is never marked met. The C++ programs time runs of a"
  echo "millisecond or more in the CPU time of the thread doing the work, so that other"
  echo "processes on the machine do not count, and single edits of a microsecond on the wall"
  echo "clock. Benchmarks are not tests: nothing fails on a time."
  echo
  echo "$header"
  echo
  table
} >"$OUT.tmp"
mv "$OUT.tmp" "$OUT"
echo "wrote $OUT"

if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]} (README.md left as it was)" >&2
  exit 1
fi

# README.md: replace what lies between the markers, keep everything else.
if grep -q '^<!-- bench:begin -->$' README.md && grep -q '^<!-- bench:end -->$' README.md; then
  block="$tmp/block.md"
  {
    echo "$header"
    echo
    table
  } >"$block"
  awk -v block="$block" '
    /^<!-- bench:begin -->$/ { print; while ((getline line < block) > 0) print line; skip = 1; next }
    /^<!-- bench:end -->$/ { skip = 0 }
    !skip { print }
  ' README.md >"$tmp/README.md"
  cat "$tmp/README.md" >README.md
  echo "updated README.md"
else
  echo "README.md has no <!-- bench:begin --> / <!-- bench:end --> markers: left as it was" >&2
fi
echo "$ROOT/$OUT"
