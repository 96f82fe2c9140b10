#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for a given time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     default: 60 s, every target
# Targets: calc_file compressor registry text_model preview_layout journal plain_text. JOBS=n runs n targets at once;
# FUZZ_RUNS=n stops each after n inputs from a fixed seed (a repeatable short run).
# Each target grows its working corpus in build-fuzz/corpus/<target> (seeded from
# fuzz/corpus/<target>); a failing input lands in fuzz/crashes/<target>/, where
# core_tests replays it from then on. Exits non-zero when a target failed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(calc_file compressor registry text_model preview_layout journal plain_text)

scripts/setup.sh
scripts/install-packages.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSCRIVLE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

run_one() {
  local t=$1 work=build-fuzz/corpus/$1 crashes=fuzz/crashes/$1
  mkdir -p "$work" "$crashes"
  local log=build-fuzz/logs/$t.log start=$SECONDS rc=0 extra=()
  [ -z "${FUZZ_RUNS:-}" ] || extra=(-runs="$FUZZ_RUNS" -seed=1)
  UBSAN_OPTIONS=print_stacktrace=1 "build-fuzz/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/" -print_final_stats=1 "${extra[@]}" >"$log" 2>&1 || rc=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz $t: $((SECONDS - start)) s, ${runs:-?} inputs, exit $rc (log: $log)"
  echo "$rc" >"build-fuzz/logs/$t.rc"
}

mkdir -p build-fuzz/logs
rm -f build-fuzz/logs/*.rc
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "${JOBS:-1}" ]; do wait -n || true; done
  run_one "$t" &
done
wait
failed=0
for t in "${targets[@]}"; do
  [ "$(cat "build-fuzz/logs/$t.rc" 2>/dev/null)" = 0 ] || failed=1
done
if find fuzz/crashes -type f 2>/dev/null | grep -q .; then
  echo "inputs that failed (replayed by core_tests):"
  find fuzz/crashes -type f
fi
exit $failed
