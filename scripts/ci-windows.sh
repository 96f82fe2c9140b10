#!/usr/bin/env bash
# Cross-compiles scrivle_core and its tests for Windows with mingw-w64 and runs them under
# Wine, so that the registry, settings and recent-files tests also pass on the real
# advapi32 registry. Then imports a store file written on Linux with the registry editor
# and reads it back. A quick check of the core alone, without Qt: each test in a process
# of its own. The whole Windows program (Qt for Windows built from Debian's sources,
# scrivle.exe, its package and its tests under Wine, these checks included) is
# scripts/windows.sh, which CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/${BUILD_DIR_WIN:-build-win}
JOBS=${JOBS:-2}

PACKAGES=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix wine wine64 libgtest-dev)
scripts/install-packages.sh "${PACKAGES[@]}"

TOOLCHAIN=$ROOT/cmake/mingw-w64.cmake

scripts/gtest-mingw.sh "$BUILD" "$TOOLCHAIN" "$JOBS"

echo "== scrivle_core and core_tests for Windows"
cmake -S . -B "$BUILD/scrivle" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DSCRIVLE_UI=OFF -DSCRIVLE_VALIDATORS=OFF -DSCRIVLE_BENCH=OFF \
  -DGTest_DIR="$BUILD/gtest/lib/cmake/GTest" \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
cmake --build "$BUILD/scrivle" -j"$JOBS" --target core_tests

echo "== a store file written on Linux"
cmake -S . -B "$BUILD/host" -G Ninja -DSCRIVLE_UI=OFF -DSCRIVLE_VALIDATORS=OFF \
  -DSCRIVLE_BENCH=OFF >/dev/null
cmake --build "$BUILD/host" -j"$JOBS" --target core_tests
SAMPLE=$BUILD/linux-store.reg
SCRIVLE_SAMPLE_STORE=$SAMPLE "$BUILD/host/tests/core_tests" \
  --gtest_filter=RegistryFile.SampleStoreForWindows --gtest_brief=1

echo "== tests under Wine"
export WINEPREFIX=$BUILD/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A persistent server, started before anything else, and a first program run that
# finishes the prefix set-up: otherwise CTest waits on the server's inherited pipe.
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit >/dev/null 2>&1 || true
# Every core test by default (WIN_TESTS narrows them to a pattern). Those that need what
# Windows lacks (symbolic links under Wine, file-size limits) skip with the reason.
(cd "$BUILD/scrivle" &&
  ctest --output-on-failure -j"$JOBS" --timeout 300 -R "${WIN_TESTS:-.}")

echo "== the tests wrote to the real registry"
wine reg query 'HKCU\Software\Scrivle CI\Proof' | tr -d '\r' | tee "$BUILD/proof.txt"
grep -q 'writer.*REG_SZ.*core_tests' "$BUILD/proof.txt"
grep -q 'count.*REG_DWORD.*0x12c' "$BUILD/proof.txt"

echo "== the Linux store imports with the registry editor and reads back the same"
wine reg delete 'HKCU\Software\Scrivle' /f >/dev/null 2>&1 || true
WIN_SAMPLE=$(winepath -w "$SAMPLE" 2>/dev/null)
wine regedit /s "$WIN_SAMPLE"
wine reg query 'HKCU\Software\Scrivle\Options' | tr -d '\r'
SCRIVLE_IMPORTED_STORE=$WIN_SAMPLE wine "$BUILD/scrivle/tests/core_tests.exe" \
  --gtest_filter=WinRegistry.ImportedStoreReadsBackTheSame 2>&1 | tr -d '\r' |
  tee "$BUILD/import.txt"
grep -q '\[  PASSED  \] 1 test' "$BUILD/import.txt"
echo "== Windows run passed"
